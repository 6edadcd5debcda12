#!/usr/bin/env python3
"""Runs clang-tidy 14 with the repository's .clang-tidy over every tracked .cpp file in a built
tree's compile_commands.json and fails, naming each finding, when it finds anything.

Usage: check-tidy.py [BUILD_DIR=build]

A run over the whole tree from an empty cache takes 10 to 13 minutes on two cores, so results are
kept, like ccache's, in $ZANDREL_TIDY_CACHE (default ~/.cache/zandrel-tidy, outside the checkout)
under a key made of everything that decides a file's result: its preprocessed text, its compile
command, the configuration clang-tidy reads for it (its .clang-tidy files as clang-tidy resolves
them, so a comment changes nothing) and the clang-tidy version. Paths inside the checkout are keyed
and kept relative to it, so another clone of the tree reuses them.
"""
import concurrent.futures
import functools
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys
import tempfile
import time

TIDY = os.environ.get("ZANDREL_CLANG_TIDY", "clang-tidy-14")
CLANG = os.environ.get("ZANDREL_CLANG", "clang++-14")
CHECKOUT_TOKEN = "@CHECKOUT@"
# Entries unused for this long are dropped, so the cache holds what recent trees need.
CACHE_DAYS = 30


def run(args, **kwargs):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, **kwargs)


def compile_arguments(entry):
    if "arguments" in entry:
        return list(entry["arguments"])
    return shlex.split(entry["command"])


def without_output(args):
    """The compile command without its object file, which names the build folder's layout only."""
    kept, skip = [], False
    for arg in args:
        if skip:
            skip = False
        elif arg == "-o":
            skip = True
        elif not arg.startswith("-o"):
            kept.append(arg)
    return kept


def cache_key(entry, checkout, version, config):
    args = without_output(compile_arguments(entry))
    # What clang itself sees decides the result, so clang (not the build's compiler) preprocesses,
    # keeping the comments: a NOLINT is one.
    pre = subprocess.run([CLANG] + args[1:] + ["-E", "-C", "-o", "-", "-Wno-unknown-warning-option"],
                         cwd=entry["directory"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if pre.returncode != 0:
        return None
    digest = hashlib.sha256()
    for part in (version, config, " ".join(args[1:]), entry["directory"]):
        digest.update(part.replace(checkout, CHECKOUT_TOKEN).encode() + b"\0")
    digest.update(pre.stdout.replace(checkout.encode(), CHECKOUT_TOKEN.encode()))
    return digest.hexdigest()


@functools.lru_cache(maxsize=None)
def effective_config(folder):
    """The configuration clang-tidy applies to the files of folder."""
    return run([TIDY, "--dump-config"], cwd=folder, check=True).stdout.decode()


def tidy_file(entry, checkout, database, header_filter, cache_dir, version):
    """Returns (file, findings text, whether it came from the cache); findings text is empty when clean."""
    config = effective_config(os.path.dirname(os.path.realpath(entry["file"])))
    key = cache_key(entry, checkout, version, config)
    stored = os.path.join(cache_dir, key[:2], key) if key else None
    if stored and os.path.exists(stored):
        with open(stored, encoding="utf-8") as f:
            result = json.load(f)
        os.utime(stored)
        return entry["file"], result["findings"].replace(CHECKOUT_TOKEN, checkout), True
    done = run([TIDY, "--quiet", "-p", database, "--header-filter", header_filter, entry["file"]],
               cwd=checkout)
    output = done.stdout.decode("utf-8", "replace")
    # Only the diagnostics count; the rest is clang-tidy's count of what it suppressed.
    findings = "\n".join(line for line in output.splitlines()
                         if not re.match(r"^\d+ warnings? (and \d+ errors? )?generated\.$", line)
                         and not line.startswith("Suppressed ")
                         and not line.startswith("Use -header-filter"))
    if done.returncode != 0 and not findings:
        findings = f"{entry['file']}: clang-tidy exited with {done.returncode}\n{output}"
    # A crash or a signal says nothing about the file: only a finished run is kept.
    if stored and done.returncode >= 0 and done.returncode in (0, 1):
        os.makedirs(os.path.dirname(stored), exist_ok=True)
        scratch = f"{stored}.{os.getpid()}"
        with open(scratch, "w", encoding="utf-8") as f:
            json.dump({"findings": findings.replace(checkout, CHECKOUT_TOKEN)}, f)
        os.replace(scratch, stored)
    return entry["file"], findings, False


def prune(cache_dir):
    limit = time.time() - CACHE_DAYS * 86400
    for folder, _, files in os.walk(cache_dir):
        for name in files:
            path = os.path.join(folder, name)
            if os.path.getmtime(path) < limit:
                os.remove(path)


def main():
    checkout = os.path.realpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    build = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(checkout, "build"))
    database = os.path.join(build, "compile_commands.json")
    if not os.path.exists(database):
        print(f"{database} is missing: configure and build the tree first", file=sys.stderr)
        return 1
    tracked = set(run(["git", "ls-files", "-z", "--", "*.cpp", "*.h"], cwd=checkout, check=True)
                  .stdout.decode().split("\0"))
    # A source compiled into two targets (the fuzz drivers reuse the libraries' files) is checked once.
    entries = {}
    with open(database, encoding="utf-8") as f:
        for entry in json.load(f):
            relative = os.path.relpath(os.path.realpath(entry["file"]), checkout)
            if relative in tracked and relative not in entries:
                entries[relative] = entry
    # The tree's own headers, not the generated ones in the build folder nor the system's.
    folders = sorted({path.split("/")[0] for path in tracked if "/" in path and path.endswith(".h")})
    header_filter = "^" + re.escape(checkout) + "/(" + "|".join(map(re.escape, folders)) + ")/"
    version = run([TIDY, "--version"], check=True).stdout.decode()
    cache_dir = os.environ.get("ZANDREL_TIDY_CACHE",
                               os.path.join(os.path.expanduser("~"), ".cache", "zandrel-tidy"))
    os.makedirs(cache_dir, exist_ok=True)

    start = time.monotonic()
    findings, reused = {}, 0
    # clang-tidy checks every command the database has for a file, so it gets one command per file.
    with tempfile.TemporaryDirectory() as single, \
            concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        with open(os.path.join(single, "compile_commands.json"), "w", encoding="utf-8") as f:
            json.dump(list(entries.values()), f)
        jobs = [pool.submit(tidy_file, entry, checkout, single, header_filter, cache_dir, version)
                for _, entry in sorted(entries.items())]
        for job in concurrent.futures.as_completed(jobs):
            name, text, cached = job.result()
            reused += cached
            if text:
                findings[name] = text
    prune(cache_dir)

    # A header's finding comes once from every file that includes it: each is printed once.
    seen, report = set(), []
    for name in sorted(findings):
        for block in re.split(r"\n(?=\S+:\d+:\d+: (?:warning|error):)", findings[name]):
            if block not in seen:
                seen.add(block)
                report.append(block)
    took = time.monotonic() - start
    print(f"clang-tidy: {len(entries)} files, {reused} from the cache, {took:.0f} s")
    if report:
        print("\n".join(report))
        count = sum(1 for block in report if re.match(r"\S+:\d+:\d+: (warning|error):", block))
        print(f"clang-tidy: {count} findings", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

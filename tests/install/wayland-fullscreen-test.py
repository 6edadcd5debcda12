#!/usr/bin/env python3
"""The program under a headless Wayland compositor with no X server: it starts, loads the lobby,
and a player's fullscreen button takes the screen, reported by the page, until the page leaves it.
The compositor has no input devices, so the button is pressed through the engine's remote debugging
protocol, as a user's press (userGesture)."""
import base64
import http.server
import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

WIDTH, HEIGHT = 1280, 800
PAGE = b"""<html><head><meta charset="utf-8"><title>Lobby</title><style>
body { margin: 0 } #player { position: fixed; inset: 0; display: flex } #player button { flex: 1 }
</style></head><body><div id="player"><button id="enter">full</button><button id="leave">leave</button></div>
<script>
let sent = 0;
function report(event) {
    const fs = document.fullscreenElement ? 1 : 0;
    fetch('/report?event=' + event + '&fs=' + fs + '&w=' + innerWidth + '&h=' + innerHeight + '&n=' + ++sent)
        .catch(() => {});
}
document.getElementById('enter').onclick = () =>
    document.getElementById('player').requestFullscreen().then(() => report('granted'), () => report('refused'));
document.getElementById('leave').onclick = () => document.exitFullscreen();
document.addEventListener('fullscreenchange', () => report(document.fullscreenElement ? 'in' : 'out'));
addEventListener('resize', () => report('resize'));
report('loaded');
</script></body></html>"""

reports = []


def latest():
    """The page's last report without its number: reports may arrive out of order."""
    if not reports:
        return ""
    last = max(reports, key=lambda r: int(r.rsplit("&n=", 1)[1]))
    return last.rsplit("&n=", 1)[0]


class Site(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/report?"):
            reports.append(self.path[len("/report?"):])
        body = PAGE if self.path.startswith("/?") else b"{}"
        self.send_response(200)
        self.send_header("Content-Type", "text/html" if body is PAGE else "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    do_POST = do_GET

    def log_message(self, *args):
        pass


def fail(message, logs=()):
    print("FAIL: " + message, file=sys.stderr)
    print("reports: " + "; ".join(reports), file=sys.stderr)
    for log in logs:
        if os.path.exists(log):
            print("--- " + log + "\n" + open(log, errors="replace").read()[-3000:], file=sys.stderr)
    sys.exit(1)


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.2)
    return True


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class DevTools:
    """One page's remote debugging connection: a websocket carrying JSON commands."""

    def __init__(self, url):
        host, path = url[len("ws://"):].split("/", 1)
        name, port = host.split(":")
        self.connection = socket.create_connection((name, int(port)), timeout=30)
        key = base64.b64encode(os.urandom(16)).decode()
        self.connection.sendall(("GET /%s HTTP/1.1\r\nHost: %s\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                 "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n" % (path, host, key)).encode())
        reply = b""
        while b"\r\n\r\n" not in reply:
            reply += self.connection.recv(1)
        if b" 101 " not in reply.split(b"\r\n")[0]:
            raise RuntimeError("no websocket: %r" % reply)
        self.next_id = 0

    def _read(self, count):
        data = b""
        while len(data) < count:
            chunk = self.connection.recv(count - len(data))
            if not chunk:
                raise RuntimeError("connection closed")
            data += chunk
        return data

    def call(self, method, params):
        self.next_id += 1
        message = json.dumps({"id": self.next_id, "method": method, "params": params}).encode()
        mask = os.urandom(4)
        header = bytes([0x81]) + (bytes([0x80 | len(message)]) if len(message) < 126
                                  else bytes([0x80 | 126]) + struct.pack(">H", len(message)))
        self.connection.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(message)))
        while True:
            first, second = self._read(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack(">H", self._read(2))[0]
            elif length == 127:
                length = struct.unpack(">Q", self._read(8))[0]
            payload = self._read(length)
            if first & 0x0F == 1 and json.loads(payload).get("id") == self.next_id:
                return json.loads(payload)


def main():
    build = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp()
    processes = []
    try:
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        wayland = "zandrel-fullscreen-%d" % os.getpid()
        weston_log = os.path.join(work, "weston.log")
        processes.append(subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--socket=" + wayland, "--idle-time=0",
             "--width=%d" % WIDTH, "--height=%d" % HEIGHT],
            env=dict(os.environ, XDG_RUNTIME_DIR=runtime), stdout=open(weston_log, "w"), stderr=subprocess.STDOUT))
        if not wait_for(lambda: os.path.exists(os.path.join(runtime, wayland)), 30):
            fail("weston did not start", [weston_log])

        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Site)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        site = "http://127.0.0.1:%d" % server.server_address[1]

        program = os.path.join(work, "program")
        shutil.copytree(os.path.join(build, "program"), program, symlinks=True)
        with open(os.path.join(program, "config.xml"), "w") as config:
            config.write('<?xml version="1.0" encoding="utf-8"?>\n<config><Channel url=""/>'
                         '<Update url="%s/update/check"/><Notify powerboot="0" test="0" optionexit="0"/>'
                         '<Account/><Site url="%s"/></config>\n' % (site, site))
        debugging = free_port()
        program_log = os.path.join(work, "program.log")
        logs = [weston_log, program_log]
        processes.append(subprocess.Popen(
            [os.path.join(program, "zandrel")],
            env={"HOME": work, "PATH": "/usr/bin:/bin", "XDG_RUNTIME_DIR": runtime, "WAYLAND_DISPLAY": wayland,
                 "QTWEBENGINE_DISABLE_SANDBOX": "1", "QTWEBENGINE_REMOTE_DEBUGGING": "127.0.0.1:%d" % debugging},
            stdout=open(program_log, "w"), stderr=subprocess.STDOUT))
        if not wait_for(lambda: any(r.startswith("event=loaded") for r in reports), 120):
            fail("the lobby never loaded", logs)

        pages = []

        def lobby_target():
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % debugging, timeout=10) as answer:
                    pages[:] = [t for t in json.load(answer) if t.get("type") == "page" and "miniClient" in t["url"]]
            except OSError:
                return False
            return bool(pages)

        if not wait_for(lobby_target, 120):
            fail("the page cannot be reached for debugging", logs)
        page = DevTools(pages[0]["webSocketDebuggerUrl"])

        def press(button):
            page.call("Runtime.evaluate", {"expression": "document.getElementById('%s').click()" % button,
                                           "userGesture": True})

        press("enter")
        filled = "fs=1&w=%d&h=%d" % (WIDTH, HEIGHT)
        if not wait_for(lambda: latest().endswith(filled), 120):
            fail("the page did not get the whole screen", logs)
        if any(r.startswith("event=refused") for r in reports):
            fail("the request was refused", logs)
        press("leave")
        if not wait_for(lambda: any(r.startswith("event=out") for r in reports)
                        and "fs=0" in latest() and not latest().endswith("w=%d&h=%d" % (WIDTH, HEIGHT)),
                        60):
            fail("the page did not give the screen back", logs)
        print("fullscreen in and out on Wayland")
    finally:
        for process in reversed(processes):
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

#!/bin/bash
# Runs the test suite of a sanitizer build with the suppressions for the libraries that
# are not instrumented. Usage: run-suite.sh BUILD_DIR [ctest arguments...]
set -u
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
shift
# The engine frees some of its own objects through a base without a virtual destructor of
# the same size; the check cannot be limited to one library, so it is off.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_odr_violation=0:new_delete_type_mismatch=0:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export TSAN_OPTIONS="suppressions=$here/tsan.supp:halt_on_error=0:second_deadlock_stack=1:report_signal_unsafe=0:die_after_fork=0:${TSAN_OPTIONS:-}"
exec ctest --test-dir "$build" --output-on-failure "$@"

#!/usr/bin/env bash
# Builds everything into build-sanitize/ with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test there; then runs the helper programs on every sample file, so that
# a report in a child process whose output a test never sees still fails the run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$root/build-sanitize

"$root/tools/build.sh" --sanitize

# Every report stops the program and fails its test: abort_on_error turns a report into
# SIGABRT, which a parent process sees as a crash, not as an ordinary refusal.
# verify_asan_link_order=0: the fault-injection tests preload their own uninstrumented
# file-call shim (tests/faults), which then comes before the sanitizer's runtime.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:verify_asan_link_order=0
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$here/lsan-suppressions.txt:print_suppressions=0
# The sanitizer's report already holds the stack; Qt Test's debugger dump only buries it.
export QTEST_DISABLE_STACK_DUMP=1

status=0
ctest --test-dir "$build" --output-on-failure || status=1
"$here/check-helpers.sh" "$build/bin" "$root/tests/data" || status=1
exit $status

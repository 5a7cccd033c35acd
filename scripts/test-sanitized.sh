#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (g++, -DTESSALINE_SANITIZE=ON) in build-asan and runs the whole test suite
# headless under them. Any sanitizer report fails its test.
#   bash scripts/test-sanitized.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=${TESSALINE_ASAN_BUILD:-build-asan}
# -O1 with line tables only: the sanitizers' advice, and half the compile
# time of -O2 -g, with stack traces that still name files and lines.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DTESSALINE_SANITIZE=ON
cmake --build "$build" --parallel "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan-qt.supp:print_suppressions=0}
# Qt Test stops a test function after 5 minutes; under the sanitizers on a
# busy machine a function that generates whole suites can take longer.
export QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-1500000}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"

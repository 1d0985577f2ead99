#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything as the plain Release build that packagers make and
# runs every test on it; then builds everything once more with Clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test again there and runs each fuzz target for a
# bounded time; last the ThreadSanitizer build of the threaded tests.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKB_BUILD_GUI=ON -DKB_BUILD_BENCH=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# One Clang build serves the sanitizer run of the tests and the fuzzers (lean: see KB_ASAN).
# A sanitizer report stops its test (no recovery); the suppressions are the toolkit's own leaks.
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=None -DKB_ASAN=ON \
  -DKB_BUILD_GUI=ON -DKB_BUILD_FUZZERS=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS="detect_leaks=1" \
  LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="print_stacktrace=1" \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" \
  -LE '^(house|slow)$'  # the sources are checked above, and the package is built once
# Each fuzz target for 30 s on its seeds; what it finds is kept under tests/fuzz/crashes/.
./scripts/run-fuzzers.sh build-asan 30

cmake -S . -B build-tsan -G Ninja -DKB_TSAN=ON
cmake --build build-tsan -j"$jobs" --target tsan_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan -L tsan --output-on-failure -j"$jobs"

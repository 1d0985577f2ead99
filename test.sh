#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything and runs every test, then the ThreadSanitizer
# build of the threaded tests, then compiles the plain Release build that packagers make (its
# tests are the ones above, so they do not run twice).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKB_BUILD_GUI=ON -DKB_BUILD_BENCH=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-tsan -G Ninja -DKB_TSAN=ON
cmake --build build-tsan -j"$jobs" --target tsan_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan -L tsan --output-on-failure -j"$jobs"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-release -j"$jobs"

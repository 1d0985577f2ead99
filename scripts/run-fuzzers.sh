#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target of a sanitizer build (-DKB_ASAN=ON -DKB_BUILD_FUZZERS=ON, Clang) for a
# bounded time on a copy of its seeds (tests/fuzz/corpus/<target>/), as many at once as there
# are processors. An input that makes a target fail (crash, sanitizer report, leak, timeout,
# memory limit) is kept in tests/fuzz/crashes/<target>/, where the target's replay test runs
# it in every build from then on; the run then fails.
#   scripts/run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]   (default 30)
set -euo pipefail
build=$(realpath "$1")
seconds=${2:-30}
source_dir=$(realpath "$(dirname "$0")/..")
jobs=$(nproc 2>/dev/null || echo 2)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LSAN_OPTIONS="suppressions=$source_dir/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_one() {  # TARGET: one bounded run; its outcome goes to $work/TARGET.status
  local target=$1 dir=$work/$1
  mkdir -p "$dir/corpus" "$dir/found"
  cp "$source_dir/tests/fuzz/corpus/$target/"* "$dir/corpus/"
  local status=0
  # -rss_limit_mb and -timeout bound each input as -max_total_time bounds the run; the seeds
  # set the longest input (libFuzzer's default), so whole records can be mutated.
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
    -print_final_stats=1 -artifact_prefix="$dir/found/" "$dir/corpus" >"$dir/log" 2>&1 ||
    status=$?
  echo "$status" >"$work/$target.status"
}

targets=()
for seeds in "$source_dir"/tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  if [ ! -x "$build/tests/fuzz/$target" ]; then
    echo "fuzz: $target is not built in $build" >&2
    exit 1
  fi
  targets+=("$target")
done

for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_one "$target" &
done
wait

failed=0
for target in "${targets[@]}"; do
  status=$(cat "$work/$target.status")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target/log")
  if [ "$status" -eq 0 ]; then
    echo "fuzz: $target: ${runs:-?} inputs in ${seconds} s, nothing found"
    continue
  fi
  failed=1
  echo "fuzz: $target FAILED (exit $status):" >&2
  # The report and its stack, without the shadow-memory legend; then libFuzzer's last words.
  sed -n '/==ERROR\|runtime error\|ERROR: libFuzzer\|deadly signal/,/^SUMMARY/p' \
    "$work/$target/log" | head -n 60 >&2
  grep -E '^(MS:|artifact_prefix)' "$work/$target/log" >&2 || tail -n 20 "$work/$target/log" >&2
  keep=$source_dir/tests/fuzz/crashes/$target
  mkdir -p "$keep"
  for input in "$work/$target/found/"*; do
    [ -f "$input" ] || continue
    name=$(basename "$input")
    cp "$input" "$keep/$name"
    echo "fuzz: kept $keep/$name; reproduce: $build/tests/fuzz/$target $keep/$name" >&2
  done
done
exit "$failed"

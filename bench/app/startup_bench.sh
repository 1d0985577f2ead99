#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of kbconfig on a copy of the demo directory holding 10 profiles and 100 macros, under
# a private Xvfb: the time from exec to the main window being mapped, beside the same figure
# for a minimal Qt Widgets program started the same way (goal: ratio under 1.5), and the
# resident memory of both with their windows shown (goal: under 32 MB), and its ratio; then the
# same a second later, once the first frame is drawn and the delayed starts have run. For
# scale, the minimal program also shows a line of text, which reads the font configuration.
#   bench/app/startup_bench.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${2:-5}
minimal="$build/bench/app/minimal_qt_window"
watcher="$build/bench/app/map_watcher"
[ -x "$minimal" ] && [ -x "$watcher" ] && [ -x "$build/demo/kbconfig" ] ||
  cmake --build "$build" --target minimal_qt_window map_watcher kbconfig kbctl

work=$(mktemp -d)
app="$work/app"
mkdir -p "$app" "$work/tmp"
cp -r "$build/demo/kbconfig" "$build/demo/kbctl" "$build/demo/KB" "$build/demo/res" "$app/"
export TMPDIR="$work/tmp"
# 100 macros of 20 actions and 10 profiles.
python3 - "$work" <<'PY'
import struct, sys
for i in range(100):
    record = bytearray(36108)
    record[100:104] = struct.pack("<i", 1)
    record[104:108] = struct.pack("<i", 20)
    for a in range(20):
        at = 108 + a * 12
        record[at:at + 4] = bytes([4 + a % 20, 1 + a % 2, 10, 0])
    open("%s/M%03d.mco" % (sys.argv[1], i), "wb").write(record)
PY
"$app/kbctl" --app-dir "$app" profiles >/dev/null
for f in "$work"/M*.mco; do "$app/kbctl" --app-dir "$app" import-macro "$f" >/dev/null; done
"$app/kbctl" --app-dir "$app" export-profile 0 "$work/P.kpo" >/dev/null
for i in $(seq 2 10); do "$app/kbctl" --app-dir "$app" import-profile "$work/P.kpo" >/dev/null; done

exec 3< <(Xvfb -displayfd 1 -nolisten tcp -noreset -br -screen 0 1024x768x24 2>/dev/null)
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

# Milliseconds from the start until a window of that title is mapped, in $ms; the process in
# $pid. The watcher waits on the X server's report of the map rather than polling for it, so the
# program it times has both cores.
shown_after() {  # <title> <program...>
  local line
  line=$("$watcher" "$@") || exit 1
  ms=${line% *}
  pid=${line#* }
}
stop() {
  kill "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
}
median() { sort -n | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}'; }

app_times=()
qt_times=()
text_times=()
app_rss=()
qt_rss=()
app_settled=()
qt_settled=()
rss_now() { awk '/VmRSS/{print $2}' "/proc/$pid/status"; }
# Resident memory is read twice: when the window is mapped, and a second later, when the first
# frame is drawn and the delayed starts (tray icon, watchers) have run.
for _ in $(seq 1 "$runs"); do
  shown_after "Keyboard Configuration" "$app/kbconfig"
  app_times+=("$ms")
  app_rss+=("$(rss_now)")
  sleep 1
  app_settled+=("$(rss_now)")
  stop
  shown_after "Minimal Qt Window" "$minimal"
  qt_times+=("$ms")
  qt_rss+=("$(rss_now)")
  sleep 1
  qt_settled+=("$(rss_now)")
  stop
  shown_after "Minimal Qt Window" "$minimal" --text
  text_times+=("$ms")
  stop
done
app_ms=$(printf '%s\n' "${app_times[@]}" | median)
qt_ms=$(printf '%s\n' "${qt_times[@]}" | median)
memory() {  # <label> <kbconfig KB> <minimal KB>
  awk -v l="$1" -v r="$2" -v q="$3" \
    'BEGIN{printf "%s kbconfig %.1f MB, minimal Qt program %.1f MB, ratio %.2f\n", l, r / 1024, q / 1024, r / q}'
}
echo "kbconfig, 10 profiles and 100 macros: window shown after $app_ms ms (median of $runs)"
echo "minimal Qt Widgets program:           window shown after $qt_ms ms"
awk -v a="$app_ms" -v q="$qt_ms" 'BEGIN{printf "ratio: %.2f (goal under 1.5)\n", a / q}'
# What any window that lays out text pays before it shows: the font configuration.
text_ms=$(printf '%s\n' "${text_times[@]}" | median)
awk -v t="$text_ms" -v a="$app_ms" -v q="$qt_ms" \
  'BEGIN{printf "the minimal program with one line of text: %.1f ms (%.2f of the bare window; kbconfig %.2f of it)\n", t, t / q, a / t}'
memory "resident memory with the window shown (median, goal under 32 MB):" \
  "$(printf '%s\n' "${app_rss[@]}" | median)" "$(printf '%s\n' "${qt_rss[@]}" | median)"
memory "one second later, drawn and settled (median):" \
  "$(printf '%s\n' "${app_settled[@]}" | median)" "$(printf '%s\n' "${qt_settled[@]}" | median)"

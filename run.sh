#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the program on the demo application directory
# (virtual keyboard, fresh Data/ on the first run). Without a display it runs the program under
# a private Xvfb for a few seconds and saves a picture of its window to shots/main.png.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKB_BUILD_GUI=ON -DKB_BUILD_BENCH=ON
cmake --build build -j"$jobs"

demo=build/demo
# The virtual keyboard appends every report it receives (and every framing violation) here.
export KB_VIRTUAL_LOG="$PWD/$demo/transfers.log"
echo "== demo application directory: $demo (virtual keyboard in $demo/KB/Torvane_3.so)"
echo "== what an apply sends is appended to $KB_VIRTUAL_LOG"

if [ -n "${DISPLAY:-}" ]; then
  echo "== starting $demo/kbconfig"
  exec "$demo/kbconfig"
fi

echo "== no display: running $demo/kbconfig under a private Xvfb"
mkdir -p shots
exec 3< <(Xvfb -displayfd 1 -nolisten tcp -noreset -br -screen 0 1024x768x24 2>/dev/null)
xvfb_pid=$!
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
"$demo/kbconfig" >shots/.kbconfig.log 2>&1 &
app_pid=$!
stop() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap stop EXIT
title="Keyboard Configuration"
for _ in $(seq 1 200); do
  xwininfo -root -tree 2>/dev/null | grep -q "\"$title\"" && break
  kill -0 "$app_pid" 2>/dev/null || { echo "kbconfig ended early:" >&2; cat shots/.kbconfig.log >&2; exit 1; }
  sleep 0.05
done
sleep 2  # the keyboard's arrival and the first paint
id=$(xwininfo -root -tree | grep "\"$title\"" | head -1 | awk '{print $1}')
geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
  /Width:/{w=$2} /Height:/{h=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')
import -window root -crop "$geometry" +repage shots/main.png
echo "== the program's window: shots/main.png"

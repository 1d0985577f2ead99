#!/usr/bin/env bash
# Photographs the program's main window under a private Xvfb: the key page with a few changed
# keys, the lighting and macro pages, and the no-keyboard page. PNG files go to shots/.
#   scripts/render_app.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-shots}
preview="$build/tests/app/app_preview"
[ -x "$preview" ] || cmake --build "$build" --target app_preview kbconfig
mkdir -p "$out"
app=$(mktemp -d)
cp -r "$build/demo/KB" "$build/demo/res" "$app/"
cp "$preview" "$app/"
mkdir -p "$app/Data/kb/kb_3" "$app/tmp"
export TMPDIR="$app/tmp"
# The default store, made by a first start, then a few keys changed in it.
QT_QPA_PLATFORM=offscreen timeout 3 "$app/app_preview" "$app" custom 2>/dev/null || true
python3 - "$app/Data/kb/kb_3/data.pros" <<'PY'
import struct, sys
KEYS = 44 + 144 + 4668  # store header, record head, the first bank's keys
ENTRY = 104
store = bytearray(open(sys.argv[1], "rb").read())
def assign(key, kind, code, param=0):
    at = KEYS + key * ENTRY
    store[at + 1] = kind
    store[at + 3] = param
    store[at + 4:at + 8] = struct.pack(">I", code)
assign(3, 121, 0x29)           # Caps Lock gives Esc
assign(5, 121, 0xE0)           # Left Ctrl as a plain usage
assign(81, 121, 0x04)          # Enter gives A
assign(14, 16, 0x0106, 0x01)   # W gives Ctrl+C
assign(0, 0, 0xFFFFFFFF)       # Esc disabled
open(sys.argv[1], "wb").write(store)
PY
stop() { kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$app"; }
exec 3< <(Xvfb -displayfd 1 -nolisten tcp -noreset -br -screen 0 1024x768x24 2>/dev/null)
xvfb_pid=$!
trap stop EXIT
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
title="Keyboard Configuration"
for page in custom light light18 macro macro_mouse macro_move unplugged keymenu hover shortcut picker; do
  "$app/app_preview" "$app" "$page" 2>"$out/.preview.log" &
  pid=$!
  for _ in $(seq 1 200); do
    xwininfo -root -tree 2>/dev/null | grep -q "\"$title\"" && break
    sleep 0.05
  done
  sleep 1.5
  id=$(xwininfo -root -tree | grep "\"$title\"" | head -1 | awk '{print $1}')
  geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')
  import -window root -crop "$geometry" +repage "$out/main_$page.png"
  kill $pid
  wait $pid 2>/dev/null || true
  echo "$out/main_$page.png"
done

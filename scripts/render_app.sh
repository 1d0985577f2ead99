#!/usr/bin/env bash
# Photographs the program's main window under a private Xvfb: the key page with a few changed
# keys (long ones among them: a shortcut, macro names), the key menu and its media submenu, the
# lighting and macro pages, and the no-keyboard page. PNG files go to shots/; with a scale of 2
# the program runs with QT_SCALE_FACTOR=2 on a 1920x1200 screen and the files end in _x2.
#   scripts/render_app.sh [build folder] [output folder] [scale: 1 or 2]
# KB_XVFB_DISPLAY=N takes display :N instead of the first free one.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-shots}
scale=${3:-1}
case "$scale" in
  1) screen=1024x768x24 suffix="" ;;
  2) screen=1920x1200x24 suffix="_x2"; export QT_SCALE_FACTOR=2 ;;
  *) echo "scale must be 1 or 2" >&2; exit 2 ;;
esac
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
def assign(key, kind, code, param=0, macro=None):
    at = KEYS + key * ENTRY
    store[at + 1] = kind
    store[at + 3] = param
    store[at + 4:at + 8] = struct.pack(">I", code)
    if macro is not None:  # the name the entry keeps, 24 UTF-16 units from byte 12
        store[at + 12:at + 60] = macro.encode("utf-16-le").ljust(48, b"\0")[:46] + b"\0\0"
assign(3, 121, 0x29)           # Caps Lock gives Esc
assign(5, 121, 0xE0)           # Left Ctrl as a plain usage
assign(81, 16, 0x054C, 0x05)   # Enter gives Ctrl+Alt+Delete (a wide cap: the words)
assign(14, 16, 0x0106, 0x01)   # W gives Ctrl+C
assign(9, 16, 0x0304, 0x03)    # A gives Ctrl+Shift+A (a standard cap: the short form)
assign(15, 17, 0x10000000, 0, "Greeting")                 # S runs a macro
assign(21, 17, 0x10000000, 0, "Greeting for new people")  # D: the longest name an entry holds
assign(10, 68, 0x040000B5)     # Q: next track
assign(0, 0, 0xFFFFFFFF)       # Esc disabled
open(sys.argv[1], "wb").write(store)
PY
stop() { kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$app"; }
exec 3< <(Xvfb ${KB_XVFB_DISPLAY:+:$KB_XVFB_DISPLAY} -displayfd 1 -nolisten tcp -noreset -br \
  -screen 0 "$screen" 2>/dev/null)
xvfb_pid=$!
trap stop EXIT
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
title="Keyboard Configuration"
# Every wait is bounded: a window that does not come up is reported and skipped.
for page in custom light light18 macro macro_mouse macro_move unplugged keymenu keymenu_media hover \
            hover_macro shortcut picker; do
  "$app/app_preview" "$app" "$page" 2>"$out/.preview.log" &
  pid=$!
  id=""
  for _ in $(seq 1 200); do
    id=$(timeout 5 xwininfo -root -tree 2>/dev/null | grep "\"$title\"" | head -1 | awk '{print $1}') || true
    [ -n "$id" ] && break
    sleep 0.05
  done
  if [ -z "$id" ]; then
    echo "$page: no window titled \"$title\"" >&2
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    continue
  fi
  sleep 1.5
  shot="$out/main_$page$suffix.png"
  if [[ $page == keymenu* ]]; then
    # Menus may reach beyond the window: the whole screen.
    timeout 20 import -window root "$shot"
  else
    geometry=$(timeout 5 xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
      /Width:/{w=$2} /Height:/{h=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')
    timeout 20 import -window root -crop "$geometry" +repage "$shot"
  fi
  kill $pid
  wait $pid 2>/dev/null || true
  echo "$shot"
done

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Photographs the program's main window under a private Xvfb: the key page with a few changed
# keys (long ones among them: a shortcut, macro names), the key menu and its media submenu, the
# lighting and macro pages, and the no-keyboard page. PNG files go to shots/
#   scripts/render_app.sh [build folder] [output folder]
# QT_SCALE_FACTOR=2 photographs them at twice the size (the files get "@2x" in their names);
# KB_SHOT_DISPLAY=N runs the private Xvfb on display :N. Every wait is bounded: a window that
# does not come up ends the script with a message.
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
QT_QPA_PLATFORM=offscreen timeout 3 "$app/app_preview" "$app" custom >/dev/null 2>&1 || true
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
. scripts/shot_support.sh
start_xvfb
stop() {
  stop_xvfb
  rm -rf "$app"
}
trap stop EXIT
for page in custom light light18 macro macro_mouse macro_move unplugged keymenu keymenu_media hover \
            hover_macro pending singlekey shortcut picker applinks applinks_unavailable applinks_combo \
            profilemenu; do
  shoot_preview "$out/main_$page$suffix.png" 1.5 "$app/app_preview" "$app" "$page" || exit 1
done

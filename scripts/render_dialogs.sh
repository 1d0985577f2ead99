#!/usr/bin/env bash
# Photographs the message box and the name dialogs under a private Xvfb, for looking at the
# skin: PNG files go to shots/ (not tracked). Needs a GUI build:
#   scripts/render_dialogs.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-shots}
preview="$build/tests/shell/shell_dialog_preview"
[ -x "$preview" ] || cmake --build "$build" --target shell_dialog_preview
mkdir -p "$out"

# The server picks a free display and writes its number once it accepts clients.
# -noreset: the server would otherwise reset, refusing clients for a moment, each time its last
# client leaves (xwininfo, a finished preview).
exec 3< <(Xvfb -displayfd 1 -nolisten tcp -noreset -br -screen 0 1024x768x24 2>/dev/null)
xvfb_pid=$!
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
# Wait for the server to be gone: a server still cleaning up could delete the socket of the
# next run's server on the same number.
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || return 0
  while kill -0 "$xvfb_pid" 2>/dev/null; do sleep 0.05; done
}
trap stop_xvfb EXIT

shoot() {  # <dialog> <window text> [picture name]
  local dialog=$1 title=$2 picture=${3:-$1}
  "$preview" "$PWD/res" "$dialog" 2>"$out/.preview.log" &
  local pid=$!
  for _ in $(seq 1 200); do
    xwininfo -root -tree 2>/dev/null | grep -q "\"$title\"" && break
    kill -0 $pid 2>/dev/null || { echo "preview $dialog ended early:" >&2; cat "$out/.preview.log" >&2; return 1; }
    sleep 0.05
  done
  sleep 0.5  # first paint
  import -window root -crop "$(window_geometry "$title")" +repage "$out/$picture.png"
  kill $pid
  wait $pid 2>/dev/null || true
  echo "$out/$picture.png"
}

window_geometry() {  # WxH+X+Y of the window with that title, frame included
  local id
  id=$(xwininfo -root -tree | grep "\"$1\"" | head -1 | awk '{print $1}')
  xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{printf "%dx%d+%d+%d", w, h, x, y}'
}

shoot msg MsgWnd
shoot confirm MsgWnd
shoot configname KB_3_EditConfigName
shoot macroname KB_3_EditMacroName
shoot "$PWD/tests/shell/data/gallery.xml" LayoutPreview gallery
shoot "$PWD/tests/shell/data/gallery_menu.xml" kbui menu  # a menu window has no title of its own

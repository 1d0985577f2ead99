#!/usr/bin/env bash
# Photographs the message boxes (warnings and the file commands' reports), the name dialogs, the
# save-file dialog and the theme gallery under a private Xvfb, for looking at the skin: PNG files
# go to shots/ (not tracked). Needs a GUI build:
#   scripts/render_dialogs.sh [build folder] [output folder]
# QT_SCALE_FACTOR=2 photographs them at twice the size (the files get "@2x" in their names).
# Every wait is bounded: a window that does not come up ends the script with a message.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-shots}
preview="$build/tests/shell/shell_dialog_preview"
[ -x "$preview" ] || cmake --build "$build" --target shell_dialog_preview
mkdir -p "$out"
scale=${QT_SCALE_FACTOR:-1}
suffix=$([ "$scale" = 1 ] && echo "" || echo "@${scale}x")

# The server picks a free display (or takes KB_SHOT_DISPLAY's number) and writes its number
# once it accepts clients. -noreset: the server would otherwise reset, refusing clients for a
# moment, each time its last client leaves (a finished preview).
exec 3< <(exec Xvfb ${KB_SHOT_DISPLAY:+:$KB_SHOT_DISPLAY} -displayfd 1 -nolisten tcp -noreset \
  -br -screen 0 1920x1200x24 2>/dev/null)
xvfb_pid=$!
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
# Wait (a bounded time) for the server to be gone: a server still cleaning up could delete the
# socket of the next run's server on the same number.
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || return 0
  for _ in $(seq 1 100); do kill -0 "$xvfb_pid" 2>/dev/null || return 0; sleep 0.05; done
  kill -9 "$xvfb_pid" 2>/dev/null || true
}
trap stop_xvfb EXIT

stop_preview() {  # <pid>: asks, then insists
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 1 40); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
  kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# The preview prints its window's rectangle in Qt's logical pixels; the screen has physical ones.
physical() {  # WxH+X+Y -> the same times the scale
  awk -v g="$1" -v s="$scale" 'BEGIN { split(g, a, /[x+]/);
    printf "%dx%d+%d+%d", a[1] * s, a[2] * s, a[3] * s, a[4] * s }'
}

shoot() {  # <dialog> [picture name]
  local dialog=$1 picture=${2:-$1} geometry="" pid
  "$preview" "$PWD/res" "$dialog" >"$out/.preview.out" 2>"$out/.preview.log" &
  pid=$!
  for _ in $(seq 1 200); do
    geometry=$(sed -n 's/^geometry //p' "$out/.preview.out")
    [ -n "$geometry" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$geometry" ]; then
    echo "preview $dialog showed no window:" >&2
    cat "$out/.preview.log" >&2
    stop_preview $pid
    return 1
  fi
  sleep 0.5  # first paint
  timeout 20 import -window root -crop "$(physical "$geometry")" +repage "$out/$picture$suffix.png"
  stop_preview $pid
  echo "$out/$picture$suffix.png"
}

shoot_screen() {  # <dialog> <picture name> [seconds to let it come up]: a window of its own
  local dialog=$1 picture=$2 pid
  "$preview" "$PWD/res" "$dialog" >"$out/.preview.out" 2>"$out/.preview.log" &
  pid=$!
  sleep "${3:-2}"
  kill -0 $pid 2>/dev/null || { echo "preview $dialog ended early:" >&2; cat "$out/.preview.log" >&2; return 1; }
  timeout 20 import -window root "$out/$picture$suffix.png"
  stop_preview $pid
  echo "$out/$picture$suffix.png"
}

shoot msg
shoot confirm
shoot notprofile
shoot exported
shoot imported
shoot imported_many
shoot configname
shoot macroname
shoot "$PWD/tests/shell/data/gallery.xml" gallery
shoot "$PWD/tests/shell/data/gallery_menu.xml" menu
shoot_screen savefile savefile

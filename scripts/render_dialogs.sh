#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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
. scripts/shot_support.sh
start_xvfb
trap stop_xvfb EXIT

shoot() {  # <dialog> [picture name]
  shoot_preview "$out/${2:-$1}$suffix.png" 0.5 "$preview" "$PWD/res" "$1"
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

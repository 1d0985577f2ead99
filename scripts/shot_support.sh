# SPDX-License-Identifier: GPL-3.0-or-later
# What the screenshot scripts share, sourced by them: a private Xvfb, previews that print their
# window's rectangle, and pictures of that rectangle. Every wait is bounded.
#   QT_SCALE_FACTOR=2   pictures at twice the size, named "...@2x.png"
#   KB_SHOT_DISPLAY=N   the private server on display :N instead of the first free one

scale=${QT_SCALE_FACTOR:-1}
suffix=$([ "$scale" = 1 ] && echo "" || echo "@${scale}x")

# The server picks a free display (or takes KB_SHOT_DISPLAY's number) and writes its number
# once it accepts clients. -noreset: the server would otherwise reset, refusing clients for a
# moment, each time its last client leaves (a finished preview). Sets DISPLAY and xvfb_pid.
start_xvfb() {
  exec 3< <(exec Xvfb ${KB_SHOT_DISPLAY:+:$KB_SHOT_DISPLAY} -displayfd 1 -nolisten tcp -noreset \
    -br -screen 0 1920x1200x24 2>/dev/null)
  xvfb_pid=$!
  local number
  read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$number"
}

# Waits (a bounded time) for the server to be gone: a server still cleaning up could delete the
# socket of the next run's server on the same number.
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || return 0
  for _ in $(seq 1 100); do kill -0 "$xvfb_pid" 2>/dev/null || return 0; sleep 0.05; done
  kill -9 "$xvfb_pid" 2>/dev/null || true
}

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

# Runs a preview that prints "geometry WxH+X+Y" once its window is up, lets it paint for
# <seconds>, and saves that rectangle of the screen as <picture>. Fails, saying why, when no
# window comes up in 10 s.
shoot_preview() {  # <picture> <seconds> <preview command...>
  local picture=$1 settle=$2 geometry="" pid
  shift 2
  "$@" >"$out/.preview.out" 2>"$out/.preview.log" &
  pid=$!
  for _ in $(seq 1 200); do
    geometry=$(sed -n 's/^geometry //p' "$out/.preview.out")
    [ -n "$geometry" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$geometry" ]; then
    echo "$* showed no window:" >&2
    cat "$out/.preview.log" >&2
    stop_preview $pid
    return 1
  fi
  sleep "$settle"
  timeout 20 import -window root -crop "$(physical "$geometry")" +repage "$picture"
  stop_preview $pid
  echo "$picture"
}

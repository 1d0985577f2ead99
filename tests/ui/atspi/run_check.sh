#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a pyatspi check script against real windows: a private Xvfb, a private session bus
# (whose activation starts the accessibility bus), and Debian's pyatspi, which is installed for
# /usr/bin/python3 only. Exits 77 (skipped) when one of them is missing or the bus does not come
# up; otherwise with the script's status.
#   run_check.sh <check script> [arguments of the script...]
set -euo pipefail
script=$1
shift
py=/usr/bin/python3
for tool in Xvfb dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "skipped: at-spi2-core is not installed"; exit 77; }
"$py" -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }

# -displayfd: the server picks a free display and writes its number once it accepts clients.
exec 3< <(Xvfb -displayfd 1 -nolisten tcp -noreset -screen 0 1024x768x24 2>/dev/null)
xvfb_pid=$!
read -r -t 20 number <&3 || { echo "skipped: Xvfb did not start"; exit 77; }
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || return 0
  while kill -0 "$xvfb_pid" 2>/dev/null; do sleep 0.05; done
}
trap stop_xvfb EXIT
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
unset QT_ACCESSIBILITY NO_AT_BRIDGE

set +e
dbus-run-session -- bash -c '
  # The accessibility bus answers on the session bus once it runs.
  for _ in $(seq 1 50); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
      >/dev/null 2>&1 && exec "$@"
    sleep 0.1
  done
  echo "skipped: the accessibility bus did not start"
  exit 77' bash "$py" "$script" "$@"
status=$?
exit $status

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a pyatspi check script against real windows: a private Xvfb, a private session bus
# (whose activation starts the accessibility bus), and Debian's pyatspi, which is installed for
# /usr/bin/python3 only. Fails when one of them is missing or the bus does not come up (a broken
# test machine is to be seen, not skipped: scripts/install-deps.sh installs them all); otherwise
# exits with the script's status.
#   run_check.sh <check script> [arguments of the script...]
set -euo pipefail
script=$1
shift
py=/usr/bin/python3
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in Xvfb dbus-run-session; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi2-core is not installed"
"$py" -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is not installed"

# -displayfd: the server picks a free display and writes its number once it accepts clients.
exec 3< <(Xvfb -displayfd 1 -nolisten tcp -noreset -screen 0 1024x768x24 2>/dev/null)
xvfb_pid=$!
read -r -t 20 number <&3 || fail "Xvfb did not start"
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || return 0
  while kill -0 "$xvfb_pid" 2>/dev/null; do sleep 0.05; done
}
trap stop_xvfb EXIT
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
# The private X server is the whole desktop, even when the tests run inside a Wayland session.
unset WAYLAND_DISPLAY SWAYSOCK I3SOCK
unset QT_ACCESSIBILITY NO_AT_BRIDGE

set +e
"$(dirname "$0")/with_a11y_bus.sh" "$py" "$script" "$@"
status=$?
exit $status

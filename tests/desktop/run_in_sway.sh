#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a pyatspi check script inside a real Wayland compositor: Debian's sway on its headless
# backend, with Xwayland, a private session bus (whose activation starts the accessibility bus)
# and Debian's pyatspi. sway refuses to run as root, so as root everything below runs as the
# unprivileged user "nobody" in a folder of its own. A missing piece is a failure, not a skip:
# the install script brings every one of them.
#   run_in_sway.sh <check script> <application directory> [programs put beside the program]
set -euo pipefail
script=$(realpath "$1")
bundle=$(realpath "$2")
extras=("${@:3}")
py=/usr/bin/python3
for tool in sway swaymsg wtype grim Xwayland dbus-run-session setpriv; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "FAIL: at-spi2-core is not installed"; exit 1; }
"$py" -c 'import pyatspi' 2>/dev/null || { echo "FAIL: python3-pyatspi is not installed"; exit 1; }

if [ "$(id -u)" = 0 ]; then
  work=$(mktemp -d /tmp/kb_sway.XXXXXX)
  trap 'rm -rf "$work"' EXIT
  cp -r "$bundle" "$work/bundle"
  for extra in "${extras[@]}"; do cp "$extra" "$work/bundle/"; done
  # Flat, beside the check script, which finds the program driver and the AT-SPI helpers there.
  here=$(dirname "$(realpath "$0")")
  cp "$script" "$here/../ui/atspi/atspi_support.py" "$here/../ui/atspi/with_a11y_bus.sh" \
    "$here/../app/a11y/drive_program.py" "$0" "$work/"
  chown -R 65534:65534 "$work"
  chmod 755 "$work"
  set +e
  setpriv --reuid=65534 --regid=65534 --clear-groups env -u XDG_RUNTIME_DIR HOME="$work" \
    bash "$work/$(basename "$0")" "$work/$(basename "$script")" "$work/bundle"
  exit $?
fi

runtime=$(mktemp -d "${TMPDIR:-/tmp}/kb_sway_run.XXXXXX")
chmod 700 "$runtime"
cat >"$runtime/sway.conf" <<CONF
xwayland enable
output HEADLESS-1 resolution 1920x1080
exec sh -c 'echo "\$DISPLAY" > "$runtime/x_display"'
CONF
export XDG_RUNTIME_DIR=$runtime
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK QT_QPA_PLATFORM QT_ACCESSIBILITY NO_AT_BRIDGE
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$runtime/sway.conf" >"$runtime/sway.log" 2>&1 &
sway_pid=$!
stop_sway() {
  kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap stop_sway EXIT
for _ in $(seq 1 100); do
  [ -s "$runtime/x_display" ] && compgen -G "$runtime/sway-ipc.*" >/dev/null && break
  sleep 0.1
done
if ! [ -s "$runtime/x_display" ]; then
  echo "FAIL: sway did not start"; cat "$runtime/sway.log"; exit 1
fi
socket=$(compgen -G "$runtime/wayland-*" | grep -v lock | head -n1)
export WAYLAND_DISPLAY=$socket SWAYSOCK=$(compgen -G "$runtime/sway-ipc.*" | head -n1)
DISPLAY=$(cat "$runtime/x_display")
export DISPLAY

# Beside this script when it runs from the unprivileged copy, else in the source tree.
here=$(dirname "$(realpath "$0")")
with_bus=$here/with_a11y_bus.sh
[ -x "$with_bus" ] || with_bus=$here/../ui/atspi/with_a11y_bus.sh
set +e
"$with_bus" "$py" "$script" "$bundle"

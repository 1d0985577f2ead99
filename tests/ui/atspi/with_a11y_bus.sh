#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a private session bus once the accessibility bus, which the session bus
# starts on demand, answers there; fails when it does not come up.
#   with_a11y_bus.sh <command> [arguments...]
exec dbus-run-session -- bash -c '
  for _ in $(seq 1 50); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
      >/dev/null 2>&1 && exec "$@"
    sleep 0.1
  done
  echo "FAIL: the accessibility bus did not start" >&2
  exit 1' bash "$@"

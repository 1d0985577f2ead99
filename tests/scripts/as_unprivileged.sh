#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program as an ordinary user. Root passes every permission check, so a test of a
# refused write proves nothing as root (and root's only other way, the immutable flag, is not
# there on every file system); CI runs the tests as root, so they drop to "nobody" here, with a
# home and a temporary folder of their own. As any other user the program just runs.
#   as_unprivileged.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
[ "$(id -u)" -eq 0 ] || exec "$@"
user=65534
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
chown "$user:$user" "$home"
drop=(setpriv --reuid="$user" --regid="$user" --clear-groups)
if ! "${drop[@]}" sh -c '[ -x "$(command -v "$1")" ]' sh "$1"; then
  echo "FAIL: $1 cannot be run by an ordinary user (uid $user); build where others may read" >&2
  exit 1
fi
"${drop[@]}" env HOME="$home" TMPDIR="$home" "$@"

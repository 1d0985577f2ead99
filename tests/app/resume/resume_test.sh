#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's resume watcher on a real bus: a private bus in the role of the system bus, with a
# logind stand-in on it. PrepareForSleep(true) sends nothing to the keyboard; two seconds after
# PrepareForSleep(false) the program sends the resume handshake (begin, then end 0x66). Without
# any system bus the program runs all the same.
#   resume_test.sh <application directory with kbconfig, KB/ (the virtual keyboard), res/>
set -u
src=$1
here=$(cd "$(dirname "$0")" && pwd)
py=/usr/bin/python3
command -v dbus-daemon >/dev/null || { echo "skipped: dbus-daemon is not installed"; exit 77; }
"$py" -c 'import dbus' 2>/dev/null || { echo "skipped: python3-dbus is not installed"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do
    { kill "$p" && wait "$p"; } 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Milliseconds of a clock that never steps (the machine's uptime, in hundredths of a second): the
# wall clock may be set while the test runs, and once made a 2 s wait read as 19 s.
now_ms() {
  local up
  read -r up _ </proc/uptime
  echo $((10#${up/./} * 10))
}

app="$work/app"
mkdir -p "$app" "$work/tmp" "$work/home"
chmod 700 "$work/tmp"
cp -r "$src/kbconfig" "$src/KB" "$src/res" "$app/"
[ -e "$src/Quillet.so" ] && cp "$src/Quillet.so" "$app/"
export TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/tmp" HOME="$work/home" QT_QPA_PLATFORM=offscreen
export KB_VIRTUAL_LOG="$work/transfers.log"
log_lines() { if [ -e "$KB_VIRTUAL_LOG" ]; then wc -l <"$KB_VIRTUAL_LOG"; else echo 0; fi; }

# Up once it holds its stores, as a user would see its window.
wait_started() {
  for _ in $(seq 1 400); do
    [ -e "$app/Data/kb/kb_3/data.pros" ] && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
stop_program() {
  kill -TERM "$1"
  wait "$1"
  local code=$?
  [ "$code" = 0 ] || fail "the program ended with $code on SIGTERM: $(cat "$work/program.log")"
}

# The bus.
sed "s|unix:tmpdir=/tmp|unix:dir=$work|" "$here/system_bus.conf" >"$work/bus.conf"
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/address" \
  2>"$work/bus.log" &
pids+=($!)
for _ in $(seq 1 200); do
  [ -s "$work/address" ] && break
  sleep 0.05
done
address=$(head -n 1 "$work/address")
[ -n "$address" ] || fail "the private system bus did not start: $(cat "$work/bus.log")"

# logind.
coproc LOGIND { exec "$py" "$here/logind_standin.py" "$address"; }
pids+=("$LOGIND_PID")
ask() {
  echo "$1" >&"${LOGIND[1]}"
  local answer=""
  read -r -t 30 answer <&"${LOGIND[0]}"
  echo "$answer"
}
read -r -t 20 owned <&"${LOGIND[0]}"
[ "${owned:-}" = owned ] || fail "the logind stand-in could not take its name: ${owned:-}"

# The program, with the keyboard present.
DBUS_SYSTEM_BUS_ADDRESS="$address" "$app/kbconfig" 2>"$work/program.log" &
program=$!
pids+=("$program")
wait_started "$program" || fail "the program did not start: $(cat "$work/program.log")"
[ "$(ask "wait-for $program")" = ready ] || fail "the program did not join the system bus"
sleep 0.5  # its subscription follows its connection at once; this is a margin, not a pace
[ "$(log_lines)" = 0 ] || fail "something was sent at start-up"

[ "$(ask sleep)" = sent ] || fail "PrepareForSleep(true) was not sent"
sleep 3
[ "$(log_lines)" = 0 ] || fail "something was sent on the way to sleep: $(cat "$KB_VIRTUAL_LOG")"

[ "$(ask wake)" = sent ] || fail "PrepareForSleep(false) was not sent"
woke=$(now_ms)
first=""
for _ in $(seq 1 200); do
  if [ "$(log_lines)" != 0 ]; then
    first=$(now_ms)
    break
  fi
  sleep 0.02
done
[ -n "$first" ] || fail "no resume handshake within 4 s of the wake"
delay=$((first - woke))
[ "$delay" -ge 1800 ] || fail "the handshake came $delay ms after the wake, not two seconds"
[ "$delay" -le 3500 ] || fail "the handshake came $delay ms after the wake"
sleep 1
# Begin (header and unlock code), then end with index 0x66: two headers, two data reports.
mapfile -t lines <"$KB_VIRTUAL_LOG"
[ "${#lines[@]}" = 4 ] || fail "the handshake is not four reports: $(cat "$KB_VIRTUAL_LOG")"
[[ "${lines[0]}" == F\ 0E* && "${lines[2]}" == F\ 0866* ]] ||
  fail "the handshake is not begin, end 0x66: $(cat "$KB_VIRTUAL_LOG")"
grep -q violation "$KB_VIRTUAL_LOG" && fail "the keyboard saw a framing fault: $(cat "$KB_VIRTUAL_LOG")"
stop_program "$program"

# No system bus at all: the program runs as before and ends cleanly.
rm -f "$KB_VIRTUAL_LOG"
DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no_bus" "$app/kbconfig" 2>"$work/program.log" &
program=$!
pids+=("$program")
wait_started "$program" || fail "without a system bus the program did not start: $(cat "$work/program.log")"
sleep 1.5  # past the watcher's start
kill -0 "$program" 2>/dev/null || fail "without a system bus the program ended: $(cat "$work/program.log")"
stop_program "$program"
echo "resume handshake $delay ms after the wake; nothing on the way to sleep; runs without a bus"

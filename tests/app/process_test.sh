#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program as processes: a second start hands over to the first and exits 1 at once, also
# after the first was killed with -9 (its lock and socket are taken over); while it runs, kbctl
# reads its stores but refuses to change them and says why; SIGTERM ends it through its own exit,
# which saves the stores.
#   process_test.sh <application directory with kbconfig, kbctl, KB/, res/>
set -u
src=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do
    { kill -9 "$p" && wait "$p"; } 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
app="$work/app"
mkdir -p "$app" "$work/tmp"
chmod 700 "$work/tmp"  # a runtime folder is private to its user
cp -r "$src/kbconfig" "$src/kbctl" "$src/KB" "$src/res" "$app/"
# A private temporary folder: the single-instance lock and socket of this test only.
export TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/tmp" QT_QPA_PLATFORM=offscreen
fail() { echo "FAIL: $*" >&2; exit 1; }

# The terminal's questions are answered without a display, a window or the instance's lock.
terminal=(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY timeout 5 "$app/kbconfig")
out=$("${terminal[@]}" --help) || fail "kbconfig --help failed"
grep -q -- '--login' <<<"$out" || fail "kbconfig --help does not name --login: $out"
out=$("${terminal[@]}" --version) || fail "kbconfig --version failed"
[[ $out =~ ^kbconfig\ [0-9]+\.[0-9]+$ ]] || fail "kbconfig --version: $out"
"${terminal[@]}" --no-such-option 2>/dev/null
[ $? -eq 2 ] || fail "a wrong option did not end kbconfig with 2"
[ -z "$(ls -A "$work/tmp")" ] || fail "a terminal answer left files behind: $(ls -A "$work/tmp")"

start_first() {
  "$app/kbconfig" 2>"$work/first.log" &
  first=$!
  pids+=("$first")
  # Up once the single-instance lock names it (its first line is the holder's pid; after a
  # kill -9 the old lock still names the dead one) and it holds the stores. A loaded machine
  # may take a while to start it, which is not what this test measures.
  local lock="$work/tmp/Korva Talvix Software.lock"
  for _ in $(seq 1 400); do
    [ "$(head -n 1 "$lock" 2>/dev/null)" = "$first" ] && [ -e "$app/Data/kb/kb_3/data.pros" ] &&
      break
    sleep 0.05
  done
  [ "$(head -n 1 "$lock" 2>/dev/null)" = "$first" ] ||
    fail "the first instance did not take the single-instance lock in 20 s"
  kill -0 "$first" 2>/dev/null || fail "the first instance ended: $(cat "$work/first.log")"
}

second_exits_1() {
  local code
  # Within a second: timeout ends it with 124 otherwise (timed by the kernel, not the wall clock).
  timeout 1 "$app/kbconfig" 2>/dev/null
  code=$?
  [ "$code" != 124 ] || fail "second start took longer than 1 s"
  [ "$code" = 1 ] || fail "second start exited $code, not 1"
  kill -0 "$first" 2>/dev/null || fail "the first instance ended after the second start"
}

start_first
second_exits_1

# kbctl: reading works, writing is refused with the reason.
"$app/kbctl" --app-dir "$app" profiles >/dev/null || fail "kbctl could not read while the program runs"
out=$("$app/kbctl" --app-dir "$app" import-profile "$work/none.kpo" 2>&1)
code=$?
[ "$code" != 0 ] || fail "kbctl wrote while the program runs"
echo "$out" | grep -q "kbconfig is running" || fail "kbctl did not say why: $out"

# A killed first instance leaves its lock and socket behind; the next start takes them over.
{ kill -9 "$first" && wait "$first"; } 2>/dev/null
start_first
second_exits_1

# Another user of the machine starts it meanwhile, with no runtime folder and the name of its
# private folder in the shared temporary folder taken by someone else: it comes up all the same,
# and a second start of that user goes to it.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  shared="$work/shared" other_home="$work/other"
  mkdir -p "$shared/kbconfig-65534" "$other_home"
  chmod 1777 "$shared"
  chmod 777 "$shared/kbconfig-65534"
  chown 65534:65534 "$other_home"
  chmod 755 "$work"
  chmod -R a+rX "$app"
  as_other=(env -u XDG_RUNTIME_DIR TMPDIR="$shared" HOME="$other_home"
    XDG_DATA_HOME="$other_home/data" setpriv --reuid=65534 --regid=65534 --clear-groups)
  "${as_other[@]}" "$app/kbconfig" 2>"$work/other.log" &
  other=$!
  pids+=("$other")
  other_lock="$other_home/.cache/kbconfig-65534/Korva Talvix Software.lock"
  for _ in $(seq 1 200); do
    [ "$(head -n 1 "$other_lock" 2>/dev/null)" = "$other" ] && break
    kill -0 "$other" 2>/dev/null || fail "the other user's start ended: $(cat "$work/other.log")"
    sleep 0.05
  done
  [ "$(head -n 1 "$other_lock" 2>/dev/null)" = "$other" ] ||
    fail "the other user's instance did not take its own lock: $(cat "$work/other.log")"
  timeout 5 "${as_other[@]}" "$app/kbconfig" 2>/dev/null
  code=$?
  [ "$code" = 1 ] || fail "a second start of the other user exited $code, not 1"
  kill -TERM "$other"
  wait "$other"
  code=$?
  [ "$code" = 0 ] || fail "the other user's instance exited $code after SIGTERM"
  kill -0 "$first" 2>/dev/null || fail "the first user's instance ended"
fi

# A termination signal (a logout, `kill`) ends it through its own exit: the profiles are saved
# (the store is a new file), it exits 0 and gives the stores back to kbctl.
store="$app/Data/kb/kb_3/data.pros"
before=$(stat -c %i "$store")
kill -TERM "$first"
for _ in $(seq 1 200); do
  kill -0 "$first" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$first" 2>/dev/null && fail "SIGTERM did not end the program in 10 s"
wait "$first"
code=$?
[ "$code" = 0 ] || fail "after SIGTERM the program exited $code: $(cat "$work/first.log")"
[ "$(stat -c %i "$store")" != "$before" ] || fail "SIGTERM ended the program without saving"
[ -e "$work/tmp/Korva Talvix Software" ] && fail "the socket is left after SIGTERM"
[ -e "$work/tmp/Korva Talvix Software.lock" ] && fail "the lock is left after SIGTERM"
"$app/kbctl" --app-dir "$app" import-profile "$work/none.kpo" 2>&1 | grep -q "kbconfig is running" &&
  fail "the stores were still held after the program ended"

# A signal in the middle of the start (a logout right at login) waits until the program can take
# it, and still ends it through its own exit. It is sent as soon as main holds it (SIGTERM's bit
# in the blocked mask); before main runs, no program can take a signal.
"$app/kbconfig" 2>"$work/early.log" &
early=$!
pids+=("$early")
for _ in $(seq 1 2000); do
  mask=$(awk '/^SigBlk/{print $2}' "/proc/$early/status" 2>/dev/null)
  [ -n "$mask" ] && (( (16#$mask >> 14) & 1 )) && break
done
kill -TERM "$early"
wait "$early"
code=$?
[ "$code" = 0 ] || fail "a SIGTERM early in the start ended it with $code: $(cat "$work/early.log")"
echo "ok"

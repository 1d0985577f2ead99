#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a copy of the tree as a packager would, checks it with lintian,
# and, as root with apt, tries it as a new user would: installs it, starts kbconfig as an
# unprivileged user under a private Xvfb, runs kbctl as root and as that user (each keeps their
# own store in their home; nothing under /usr changes), and purges it, leaving nothing under /usr.
#   scripts/check-package.sh WORK_DIR [--no-install]
# WORK_DIR holds the copy and the packages (it is emptied first). An installed kbconfig package
# is left alone: the install part is skipped then, as it is without root or apt.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: $0 WORK_DIR [--no-install]" >&2; exit 2; }
work=$1
install=yes
[ "${2:-}" = "--no-install" ] && install=no
fail() { echo "FAIL: $*" >&2; exit 1; }

# The copy: what git knows of the tree (tracked, and new files not ignored), else all but builds.
tree=$work/kbconfig
rm -rf "$work"
mkdir -p "$tree"
if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$source_dir" && git ls-files -co --exclude-standard -z |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf -) | tar -xf - -C "$tree"
else
  (cd "$source_dir" && tar --exclude='./build*' --exclude=./debian/build -cf - .) | tar -xf - -C "$tree"
fi

echo "== dpkg-buildpackage -us -uc -b (log: $work/build.log)"
launchers=()
if command -v ccache >/dev/null; then
  launchers=(CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
(cd "$tree" && env "${launchers[@]}" DEB_BUILD_OPTIONS="nocheck parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" \
  dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1) ||
  { tail -n 40 "$work/build.log" >&2; fail "dpkg-buildpackage failed"; }
version=$(cd "$tree" && dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb=$work/kbconfig_${version}_${arch}.deb
changes=$work/kbconfig_${version}_${arch}.changes
[ -f "$deb" ] || fail "no $deb"
[ -f "$work/kbconfig-dbgsym_${version}_${arch}.deb" ] || fail "no -dbgsym package"

echo "== lintian"
lintian --fail-on error,warning --display-info --pedantic "$changes" | tee "$work/lintian.txt" ||
  fail "lintian found errors or warnings"

echo "== contents"
contents=$(dpkg-deb --contents "$deb")
for f in ./usr/bin/kbconfig ./usr/bin/kbctl ./usr/lib/kbconfig/kbconfig ./usr/lib/kbconfig/kbctl \
  ./usr/lib/kbconfig/KB/Torvane_3.so ./usr/lib/kbconfig/Quillet.so \
  ./usr/share/kbconfig/res/text.xml ./usr/share/kbconfig/res/main.xml \
  ./usr/lib/udev/rules.d/70-kbconfig.rules ./usr/share/applications/kbconfig.desktop \
  ./usr/share/metainfo/org.kbconfig.kbconfig.metainfo.xml \
  ./usr/share/icons/hicolor/256x256/apps/kbconfig.png \
  ./usr/share/man/man1/kbctl.1.gz ./usr/share/man/man1/kbconfig.1.gz \
  ./usr/share/bash-completion/completions/kbctl ./usr/share/doc/kbconfig/copyright \
  ./usr/share/doc/kbconfig/changelog.gz; do
  grep -q " $f\( \|$\)" <<<"$contents" || fail "the package lacks $f"
done
! grep -q '/usr/lib/kbconfig/res' <<<"$contents" || fail "the skin lies beside the programs"
unpacked=$work/unpacked
dpkg-deb -x "$deb" "$unpacked"
if nm -D "$unpacked/usr/lib/kbconfig/KB/Torvane_3.so" | grep -q 'vkb_\|virtual'; then
  fail "the virtual keyboard was packaged"
fi
# One version everywhere: the changelog's, the programs', the metainfo's newest release.
[ "$("$unpacked/usr/lib/kbconfig/kbctl" --version)" = "kbctl $version" ] ||
  fail "kbctl --version is not $version"
[ "$("$unpacked/usr/lib/kbconfig/kbconfig" --version)" = "kbconfig $version" ] ||
  fail "kbconfig --version is not $version"
release=$(grep -o '<release version="[^"]*" date="[^"]*"' \
  "$unpacked/usr/share/metainfo/org.kbconfig.kbconfig.metainfo.xml" | head -n 1)
date=$(date -u -d "$(cd "$tree" && dpkg-parsechangelog -S Date)" +%F)
[ "$release" = "<release version=\"$version\" date=\"$date\"" ] ||
  fail "the metainfo's newest release is $release, the changelog's $version of $date"
echo "package: ok ($(basename "$deb"))"

if [ "$install" = no ] || [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
  echo "install: skipped (needs root and apt)"
  exit 0
fi
if dpkg-query -W -f='${Status}' kbconfig 2>/dev/null | grep -q 'installed'; then
  echo "install: skipped (a kbconfig package is installed; it is left alone)"
  exit 0
fi

echo "== apt-get install $deb"
run=$work/run
mkdir -p "$run"
chmod 755 "$work" "$run"
usr_listing() { find /usr -xdev -printf '%p %s %T@\n' 2>/dev/null | sort; }
usr_listing >"$run/usr.before"
purged=no
xvfb_pid=
app_pid=
cleanup() {
  set +e
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ "$purged" = yes ] || dpkg --purge kbconfig >/dev/null 2>&1
}
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
  >"$run/apt.log" 2>&1 || { cat "$run/apt.log" >&2; fail "apt-get install"; }
desktop-file-validate /usr/share/applications/kbconfig.desktop || fail "desktop-file-validate"
appstreamcli validate --pedantic --no-net /usr/share/metainfo/org.kbconfig.kbconfig.metainfo.xml \
  >"$run/appstream.txt" 2>&1 || fail "appstreamcli: $(cat "$run/appstream.txt")"
installed_listing() { find /usr/lib/kbconfig /usr/share/kbconfig -printf '%p %s %T@\n' | sort; }
installed_listing >"$run/installed.before"

# An unprivileged user with a home and a runtime folder of its own.
user_home=$run/user
mkdir -p "$user_home/runtime"
chmod 700 "$user_home/runtime"
chown -R 65534:65534 "$user_home"
as_user() {
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$user_home" XDG_RUNTIME_DIR="$user_home/runtime" \
    ${DISPLAY:+DISPLAY=$DISPLAY} "$@"
}
root_home=$run/root
mkdir -p "$root_home"
as_root() { env -i PATH=/usr/bin:/bin HOME="$root_home" "$@"; }

echo "== kbctl as root and as a user"
[ "$(as_root kbctl profiles)" = "$(printf '0\tProfile_1\t*')" ] || fail "kbctl profiles as root"
[ "$(as_user kbctl profiles)" = "$(printf '0\tProfile_1\t*')" ] || fail "kbctl profiles as a user"
for home in "$root_home" "$user_home"; do
  [ -f "$home/.local/share/kbconfig/Data/kb/kb_3/data.pros" ] || fail "no store in $home"
done
as_root kbctl where | grep -q "^kb_3 profiles	$root_home/.local/share/kbconfig/" ||
  fail "kbctl where as root: $(as_root kbctl where)"
as_user kbctl where | grep -q "^udev rule	/usr/lib/udev/rules.d/70-kbconfig.rules$" ||
  fail "kbctl where as a user: $(as_user kbctl where)"

echo "== kbconfig as a user under Xvfb"
exec 3< <(exec Xvfb -displayfd 1 -nolisten tcp -noreset -screen 0 1280x800x24 2>/dev/null)
xvfb_pid=$!
read -r -t 20 number <&3 || fail "Xvfb did not start"
export DISPLAY=":$number"
# Started as one command, so that its process is the program's own (a function would be a
# shell of its own that a signal ends in the program's stead).
setpriv --reuid=65534 --regid=65534 --clear-groups \
  env -i PATH=/usr/bin:/bin HOME="$user_home" XDG_RUNTIME_DIR="$user_home/runtime" \
  DISPLAY="$DISPLAY" kbconfig >"$run/kbconfig.log" 2>&1 &
app_pid=$!
title="Keyboard Configuration"
for _ in $(seq 1 400); do
  xwininfo -root -tree 2>/dev/null | grep -q "\"$title\"" && break
  kill -0 "$app_pid" 2>/dev/null || fail "kbconfig ended: $(cat "$run/kbconfig.log")"
  sleep 0.05
done
xwininfo -root -tree | grep -q "\"$title\"" || fail "no kbconfig window in 20 s"
[ "$(readlink "/proc/$app_pid/exe")" = /usr/lib/kbconfig/kbconfig ] ||
  fail "the process started is not the installed program"
kill -TERM "$app_pid"
wait "$app_pid" || fail "kbconfig did not end with 0 on SIGTERM: $(cat "$run/kbconfig.log")"
app_pid=
kill "$xvfb_pid"
xvfb_pid=
unset DISPLAY

installed_listing >"$run/installed.after"
diff "$run/installed.before" "$run/installed.after" >&2 || fail "the installed files changed"

echo "== dpkg --purge kbconfig"
dpkg-query -L kbconfig >"$run/files"
dpkg --purge kbconfig >"$run/purge.log" 2>&1 || { cat "$run/purge.log" >&2; fail "dpkg --purge"; }
purged=yes
usr_listing >"$run/usr.after"
# Nothing of the package's files, and no path that was not there before it came, but the caches
# that the desktop's triggers rebuild for every package (icons, desktop entries).
while IFS= read -r f; do
  case $f in /usr/*) ;; *) continue ;; esac
  grep -q "^$f " "$run/usr.before" || [ ! -e "$f" ] || fail "left after the purge: $f"
done <"$run/files"
left=$(comm -13 <(cut -d' ' -f1 "$run/usr.before") <(cut -d' ' -f1 "$run/usr.after") |
  grep -v -E '/(icon-theme|mimeinfo)\.cache$' || true)
[ -z "$left" ] || fail "left under /usr after the purge: $left"
echo "install: ok (installed, used as root and as a user, purged)"

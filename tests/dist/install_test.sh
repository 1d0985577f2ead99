#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed layout, used as an ordinary user would: installs the build into a temporary
# prefix, validates the desktop files, runs the installed kbctl as a user whose home is a
# temporary folder and as root, and checks that nothing lands under the prefix. (The Debian
# package is tried by package_test.sh.)
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# An ordinary user: root is let through every permission check and would write into the prefix.
as_user() {
  local home=$1; shift
  if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$home"
    setpriv --reuid=65534 --regid=65534 --clear-groups \
      env -i PATH=/usr/bin:/bin HOME="$home" "$@"
  else
    env -i PATH=/usr/bin:/bin HOME="$home" "$@"
  fi
}

check_user_run() {  # APP_DIR_BIN LABEL: kbctl from an installed tree keeps its store in the home
  local kbctl=$1 label=$2 home
  home=$(mktemp -d "$work/home.XXXXXX")
  chmod 755 "$home"
  out=$(as_user "$home" "$kbctl" profiles) || fail "$label: kbctl profiles failed"
  [ "$out" = "$(printf '0\tProfile_1\t*')" ] || fail "$label: unexpected listing: $out"
  [ -f "$home/.local/share/kbconfig/Data/kb/kb_3/data.pros" ] ||
    fail "$label: the store is not in the user's data folder"
  as_user "$home" "$kbctl" --help | grep -q 'import-profile' || fail "$label: kbctl --help"
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/kbctl lib/kbconfig/kbctl lib/kbconfig/KB/Torvane_3.so share/kbconfig/res/text.xml \
  lib/udev/rules.d/70-kbconfig.rules share/applications/kbconfig.desktop \
  share/metainfo/org.kbconfig.kbconfig.metainfo.xml \
  share/icons/hicolor/48x48/apps/kbconfig.png share/icons/hicolor/256x256/apps/kbconfig.png; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ -L "$prefix/bin/kbctl" ] || fail "bin/kbctl is not a link into the application directory"
[ ! -e "$prefix/lib/kbconfig/res" ] || fail "the skin was installed beside the programs"
if grep -q 'vkb_\|virtual' <(nm -D "$prefix/lib/kbconfig/KB/Torvane_3.so" 2>/dev/null); then
  fail "the virtual keyboard was installed"
fi
desktop-file-validate "$prefix/share/applications/kbconfig.desktop"
metainfo=$prefix/share/metainfo/org.kbconfig.kbconfig.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" >"$work/appstream.txt" 2>&1 ||
  fail "appstreamcli validate --pedantic: $(cat "$work/appstream.txt")"
check_user_run "$prefix/bin/kbctl" installed

# The manual pages render, and kbctl's lists every command of its --help.
for page in kbctl kbconfig; do
  [ -f "$prefix/share/man/man1/$page.1" ] || fail "no manual page for $page"
  MANWIDTH=200 man -l "$prefix/share/man/man1/$page.1" >"$work/$page.txt" 2>"$work/man.err" ||
    fail "man -l $page.1"
  [ ! -s "$work/man.err" ] || fail "man -l $page.1: $(cat "$work/man.err")"
done
commands=$("$prefix/bin/kbctl" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR > 1 && NF {print $1}')
[ -n "$commands" ] || fail "kbctl --help lists no commands"
for command in $commands; do
  grep -q "^ *$command\b" "$work/kbctl.txt" || fail "the manual page lacks $command"
done
# The completion offers the same commands, and files after a command that takes one.
completion=$prefix/share/bash-completion/completions/kbctl
offered=$(bash -c "source '$completion'; COMP_WORDS=(kbctl ''); COMP_CWORD=1; _kbctl; echo \${COMPREPLY[*]}")
for command in $commands; do
  grep -qw -- "$command" <<<"$offered" || fail "the completion lacks $command"
done
touch "$work/a.mco"
files=$(cd "$work" && bash -c "source '$completion'; COMP_WORDS=(kbctl import-macro a.); COMP_CWORD=2; _kbctl; echo \${COMPREPLY[*]}")
[ "$files" = "a.mco" ] || fail "the completion offers no files after import-macro: $files"
# Root, who could write under the prefix, keeps its own store in its own data folder too.
root_home=$(mktemp -d "$work/root.XXXXXX")
env -i PATH=/usr/bin:/bin HOME="$root_home" "$prefix/bin/kbctl" profiles >/dev/null ||
  fail "kbctl profiles with the home $root_home failed"
[ -f "$root_home/.local/share/kbconfig/Data/kb/kb_3/data.pros" ] ||
  fail "the store is not in the data folder of $root_home"
where=$(env -i PATH=/usr/bin:/bin HOME="$root_home" "$prefix/bin/kbctl" where)
grep -q "^layout	installed$" <<<"$where" || fail "kbctl where: $where"
grep -q "^skin	$prefix/share/kbconfig/res/$" <<<"$where" || fail "kbctl where: $where"
[ ! -e "$prefix/lib/kbconfig/Data" ] || fail "the store landed in the prefix"
echo "install: ok"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the seed files of the fuzz targets (tests/fuzz/corpus/<target>/) from what the project
# itself writes: kbctl makes the stores, the profile and macro files and the reports of an apply;
# the skin's files are cut from res/. Rerun after a file format changes, then commit the result.
#   scripts/make-fuzz-seeds.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
source_dir=$(realpath "$(dirname "$0")/..")
corpus=$source_dir/tests/fuzz/corpus
kbctl=$build/tools/kbctl/kbctl
[ -x "$kbctl" ] || { echo "no kbctl in $build (cmake --build $build --target kbctl)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/app"
ln -s "$source_dir/res" "$work/app/res"
kb() { "$kbctl" --app-dir "$work/app" "$@" >/dev/null; }

# A recorded "hi": H and I pressed and released with the gaps a typist leaves, as the macro
# page saves it (name "Burst", loop time 1, 4 of 3000 actions used).
python3 - "$work/Burst.mco" <<'PY'
import struct, sys
name = "Burst".encode("utf-16-le").ljust(100, b"\0")
actions = [(0x0B, 1, 50), (0x0B, 2, 40), (0x0C, 1, 60), (0x0C, 2, 1)]
body = b"".join(struct.pack("<BBHii", code, kind, delay, 0, 0) for code, kind, delay in actions)
record = name + struct.pack("<ii", 1, len(actions)) + body.ljust(3000 * 12, b"\0")
assert len(record) == 36108
open(sys.argv[1], "wb").write(record)
PY

# A profile file whose first key plays that macro: the exported default profile with key 0 of
# the first bank bound (kind 17, loops 1, macro 0) and the macro appended, as the format says.
kb profiles
kb export-profile 0 "$work/plain.kpo"
python3 - "$work/plain.kpo" "$work/Burst.mco" "$work/Bound.kpo" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
key = 200 + 144 + 4668  # tag, record head, first bank's keys
data[key + 1] = 17
struct.pack_into("<i", data, key + 64, 1)
struct.pack_into("<i", data, key + 72, 0)
open(sys.argv[3], "wb").write(bytes(data) + open(sys.argv[2], "rb").read())
PY
kb import-macro "$work/Burst.mco"
kb import-profile "$work/Bound.kpo"

rm -rf "${corpus:?}"/*
mkdir -p "$corpus"/{profile_store_fuzz,profile_file_fuzz,macro_store_fuzz,macro_file_fuzz} \
  "$corpus"/{language_file_fuzz,virtual_report_fuzz,theme_fuzz,layout_fuzz}
data=$work/app/Data/kb/kb_3
cp "$data/data.pros" "$corpus/profile_store_fuzz/two_profiles.pros"
cp "$data/macro.mcos" "$corpus/macro_store_fuzz/two_macros.mcos"
"$kbctl" --app-dir "$work/app" export-profile 0 "$corpus/profile_file_fuzz/plain.kpo" >/dev/null
"$kbctl" --app-dir "$work/app" export-profile 1 "$corpus/profile_file_fuzz/bound.kpo" >/dev/null
"$kbctl" --app-dir "$work/app" export-macro 0 "$corpus/macro_file_fuzz/Burst.mco" >/dev/null

# The reports of a full apply of the profile with the macro, as selector byte + report
# (virtual_report_fuzz.cpp): even for a feature report, odd for an output report.
"$kbctl" --app-dir "$work/app" apply --dry-run >"$work/apply.log"
python3 - "$work/apply.log" "$corpus/virtual_report_fuzz/full_apply.bin" <<'PY'
import sys
out = bytearray()
for line in open(sys.argv[1]):
    kind, hexdigits = line.split()
    out += bytes([0 if kind == "F" else 1]) + bytes.fromhex(hexdigits)
open(sys.argv[2], "wb").write(out)
PY

# The skin: the theme, a few small layouts and the head of the language file.
cp "$source_dir/res/theme.xml" "$corpus/theme_fuzz/"
for layout in msg.xml singlekey.xml traymenu.xml KB/KB_3/macrolistitem.xml; do
  cp "$source_dir/res/$layout" "$corpus/layout_fuzz/$(echo "$layout" | tr / _)"
done
{
  head -n 12 "$source_dir/res/text.xml"
  sed -n '181,190p' "$source_dir/res/text.xml"  # texts with placeholders and non-ASCII
  tail -n 1 "$source_dir/res/text.xml"
} >"$corpus/language_file_fuzz/text_part.xml"
du -sh "$corpus"/*

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Puts the licence's SPDX line at the head of every source file of the tree, or checks that
every one has it.

  scripts/spdx.py          adds the line where it is missing (a second run changes nothing)
  scripts/spdx.py --check  names the files without it and fails

Source files: C and C++ (.c .cpp .h), Python, shell, CMake, and every other file that starts
with a #! line (debian/rules, maintainer scripts). The line goes first, or right after a #!
line, as a comment of the file's language. Files are those git knows (tracked or new and not
ignored), or every file outside the build folders where there is no git; hidden folders (the CI's
own) are left alone.
"""
import os
import subprocess
import sys

LICENCE = "GPL-3.0-or-later"
TAG = "SPDX-License-Identifier:"
LINE = f"{TAG} {LICENCE}"
# Where the tag may stand: within the first lines, so a later mention never counts.
HEAD_LINES = 3

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SKIPPED_FOLDERS = {".git", "debian/build", "debian/kbconfig", "debian/.debhelper"}


def tree_files():
    try:
        out = subprocess.run(
            ["git", "ls-files", "-co", "--exclude-standard", "-z"],
            cwd=ROOT, check=True, capture_output=True).stdout
        files = [f for f in out.decode().split("\0") if f]
        return sorted(f for f in files if not any(p.startswith(".") for p in f.split("/")))
    except (OSError, subprocess.CalledProcessError):
        found = []
        for folder, subfolders, files in os.walk(ROOT):
            rel = os.path.relpath(folder, ROOT)
            subfolders[:] = [d for d in subfolders
                             if not d.startswith(("build", "."))
                             and os.path.normpath(os.path.join(rel, d)) not in SKIPPED_FOLDERS]
            found += [os.path.normpath(os.path.join(rel, f)) for f in files]
        return sorted(found)


def comment_of(path, first_line):
    """The comment leader of a source file, or None for a file that is no source."""
    name = os.path.basename(path)
    if name.endswith((".c", ".cpp", ".h")):
        return "//"
    if name.endswith((".py", ".sh", ".cmake")) or name == "CMakeLists.txt":
        return "#"
    if first_line.startswith(b"#!"):
        return "#"
    return None


def head_has_tag(lines):
    return any(TAG.encode() in line for line in lines[:HEAD_LINES])


def main():
    check = sys.argv[1:] == ["--check"]
    if sys.argv[1:] and not check:
        sys.exit(__doc__)
    missing = []
    for rel in tree_files():
        path = os.path.join(ROOT, rel)
        if os.path.islink(path) or not os.path.isfile(path):
            continue
        with open(path, "rb") as f:
            data = f.read()
        lines = data.splitlines(keepends=True)
        leader = comment_of(rel, lines[0] if lines else b"")
        if leader is None or head_has_tag(lines):
            continue
        missing.append(rel)
        if check:
            continue
        new_line = f"{leader} {LINE}\n".encode()
        at = 1 if lines and lines[0].startswith(b"#!") else 0
        lines.insert(at, new_line)
        mode = os.stat(path).st_mode
        with open(path, "wb") as f:
            f.write(b"".join(lines))
        os.chmod(path, mode)
    if check and missing:
        print(f"no '{LINE}' line at the head (scripts/spdx.py adds it):")
        print("\n".join(missing))
        sys.exit(1)
    if not check and missing:
        print(f"added the licence line to {len(missing)} files")


if __name__ == "__main__":
    main()

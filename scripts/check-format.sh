#!/usr/bin/env sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails, naming the files, when a C or C++ file of the tree differs from .clang-format.
# Run from anywhere; `clang-format -i FILE` mends a file it names.
cd "$(dirname "$0")/.." || exit 2
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 2; }
list_sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -co --exclude-standard src plugins tools tests bench
  else
    find src plugins tools tests bench -type f
  fi
}
bad=$(list_sources |
  grep -E '\.(c|cpp|h)$' | while read -r f; do
    [ -f "$f" ] || continue
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"
  done)
[ -z "$bad" ] && exit 0
echo "not formatted (clang-format -i mends them):"
echo "$bad"
exit 1

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when an #include runs against the layers of the tree.

Every folder of src/ is a layer and may include only the layers listed for it below (and
itself); plugins include nothing from src/; tools stand on the model, never on the UI. Qt is
included inside src/ui only. Run from anywhere: check-layers.py [--root DIR]. Prints one line per
wrong include ("FILE:LINE: LAYER may not include WHAT (LAYER of it)") and exits 1, or exits 0.
"""

import argparse
import pathlib
import re
import sys

PLUGIN_API = "plugins/include"  # the C headers the program and the plugins share

MODEL_BELOW_SESSION = ["common", "keys", "names", "macro", "profile", "lighting", "device"]
MODEL = MODEL_BELOW_SESSION + ["session"]

# Which layers each layer may include, besides itself. A layer is a top-level folder of src/.
ALLOWED = {
    "common": [],
    "keys": ["common", PLUGIN_API],
    "names": ["common"],
    "macro": ["common", "keys", "names"],
    "profile": ["common", "keys", "names", "macro"],
    "lighting": ["common", "keys", "names", "macro", "profile"],
    "device": ["common", "keys", "names", "macro", "profile", "lighting", PLUGIN_API],
    "session": MODEL_BELOW_SESSION + [PLUGIN_API],
    "ui": ["common", PLUGIN_API],
    "shell": MODEL + ["ui", PLUGIN_API],
    "pages": MODEL + ["ui", "shell", PLUGIN_API],
    "app": MODEL + ["ui", "shell", "pages", PLUGIN_API],
    "tools": MODEL + [PLUGIN_API],
    "plugins": [PLUGIN_API],
}

QT_LAYERS = {"ui"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^(Q[A-Za-z]|Qt)")
SOURCE_SUFFIXES = {".h", ".hpp", ".c", ".cc", ".cpp"}


def layer_of_source(root, path):
    """The layer a file of the tree belongs to, or None for files the check ignores."""
    parts = path.relative_to(root).parts
    if parts[0] == "src" and len(parts) > 2:
        return parts[1]
    if parts[0] == "plugins":
        return PLUGIN_API if parts[1:2] == ("include",) else "plugins"
    if parts[0] == "tools":
        return "tools"
    return None


def layer_of_include(root, source, target):
    """The layer an include names, as the compiler would find it; None when it is unknown."""
    parts = pathlib.PurePosixPath(target).parts
    if (source.parent / target).is_file():
        return layer_of_source(root, (source.parent / target).resolve())
    if source.relative_to(root).parts[0] == "plugins":
        # A plugin's own headers are found under its folder ("common/message_poster.h").
        plugin_dir = root.joinpath(*source.relative_to(root).parts[:2])
        if (plugin_dir / target).is_file():
            return "plugins"
    if (root / "src" / target).is_file():
        return parts[0]
    if (root / PLUGIN_API / target).is_file():
        return PLUGIN_API
    return None


def check(root):
    root = root.resolve()
    problems = []
    files = []
    for top in ("src", "plugins", "tools"):
        if (root / top).is_dir():
            files += [p for p in (root / top).rglob("*") if p.suffix in SOURCE_SUFFIXES]
    for source in sorted(files):
        layer = layer_of_source(root, source)
        if layer is None:
            continue
        allowed = set(ALLOWED.get(layer, [])) | {layer}
        lines = source.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, target = match.groups()
            where = f"{source.relative_to(root)}:{number}"
            if kind == "<":
                if QT_HEADER.match(target) and layer not in QT_LAYERS:
                    problems.append(f"{where}: {layer} may not include <{target}> (Qt lives in src/ui)")
                continue
            if target.endswith(".moc"):
                continue  # generated beside the object file
            included = layer_of_include(root, source, target)
            if included is None:
                problems.append(f'{where}: "{target}" is not a file of the tree')
            elif included not in allowed:
                problems.append(f'{where}: {layer} may not include "{target}" ({included})')
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", type=pathlib.Path,
                        default=pathlib.Path(__file__).resolve().parent.parent)
    args = parser.parse_args()
    problems = check(args.root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) against the layers; the allowed layers are in {__file__}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

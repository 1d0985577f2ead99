#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes kbctl's manual page and its bash completion from `kbctl --help`, so that neither can
say other than the tool does.

  make-kbctl-docs.py man KBCTL OUT.1
  make-kbctl-docs.py completion KBCTL OUT
"""

import re
import subprocess
import sys


def help_text(kbctl):
    return subprocess.run([kbctl, "--help"], check=True, capture_output=True, text=True).stdout


def blocks(text):
    """The help text's paragraphs, each a list of lines."""
    out, current = [], []
    for line in text.splitlines():
        if line.strip():
            current.append(line)
        elif current:
            out.append(current)
            current = []
    if current:
        out.append(current)
    return out


def entries(lines):
    """(term, description) of an indented table such as "  --model MODEL   kb_3 or kb_4"."""
    items = []
    for line in lines:
        match = re.match(r"^  (\S.*?)(?:\s{2,}(.*))?$", line)
        if match and not line.startswith("   "):
            items.append([match.group(1).strip(), (match.group(2) or "").strip()])
        elif items:
            items[-1][1] += " " + line.strip()
    return items


def parse(text):
    parts = blocks(text)
    usage = parts[0][0].removeprefix("Usage: ")
    sections = {"description": [], "options": [], "commands": [], "notes": [], "exit": ""}
    for block in parts[1:]:
        head = block[0]
        if head == "Options:":
            sections["options"] = entries(block[1:])
        elif head == "Commands:":
            sections["commands"] = entries(block[1:])
        elif head.startswith("Exit status:"):
            sections["exit"] = " ".join(block).removeprefix("Exit status:").strip()
        elif not sections["options"]:
            sections["description"].append(" ".join(block))
        else:
            sections["notes"].append(" ".join(block))
    return usage, sections


def roff(text):
    text = text.replace("\\", "\\\\").replace("-", "\\-")
    return re.sub(r"^([.'])", r"\\&\1", text)


def manual_page(text):
    usage, s = parse(text)
    out = ['.TH KBCTL 1 "" "kbconfig" "User Commands"',
           ".SH NAME", "kbctl \\- profiles and macros of KB_3 and KB_4 keyboards from the command line",
           ".SH SYNOPSIS", ".B kbctl", roff(usage.removeprefix("kbctl ")),
           ".SH DESCRIPTION"]
    for paragraph in s["description"]:
        out += [roff(paragraph), ".PP"]
    for title, key in (("OPTIONS", "options"), ("COMMANDS", "commands")):
        out.append(".SH " + title)
        for term, description in s[key]:
            out += [".TP", ".B " + roff(term), roff(description)]
    if s["notes"]:
        out.append(".SH NOTES")
        for paragraph in s["notes"]:
            out += [roff(paragraph), ".PP"]
    out += [".SH EXIT STATUS", roff(s["exit"]), ".SH SEE ALSO", ".BR kbconfig (1)"]
    return "\n".join(out) + "\n"


def completion(text):
    _, s = parse(text)
    commands = [term.split()[0] for term, _ in s["commands"]]
    options = [term.split()[0] for term, _ in s["options"]]
    file_commands = [term.split()[0] for term, _ in s["commands"] if "FILE" in term]
    models = re.findall(r"kb_\d", " ".join(d for _, d in s["options"]))
    return f"""# bash completion for kbctl; made from `kbctl --help` by scripts/make-kbctl-docs.py
_kbctl() {{
  local cur=${{COMP_WORDS[COMP_CWORD]}} prev=${{COMP_WORDS[COMP_CWORD-1]}} word command=""
  case $prev in
    --app-dir) COMPREPLY=($(compgen -d -- "$cur")); return ;;
    --model) COMPREPLY=($(compgen -W "{' '.join(sorted(set(models)))}" -- "$cur")); return ;;
  esac
  for word in "${{COMP_WORDS[@]:1:COMP_CWORD-1}}"; do
    case $word in {'|'.join(commands)}) command=$word ;; esac
  done
  if [[ -z $command ]]; then
    COMPREPLY=($(compgen -W "{' '.join(commands)} {' '.join(options)}" -- "$cur"))
  elif [[ " {' '.join(file_commands)} " == *" $command "* ]]; then
    COMPREPLY=($(compgen -f -- "$cur"))
  elif [[ $command == apply ]]; then
    COMPREPLY=($(compgen -W "--dry-run" -- "$cur"))
  fi
}}
complete -F _kbctl kbctl
"""


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("man", "completion"):
        sys.exit(__doc__)
    text = help_text(sys.argv[2])
    result = manual_page(text) if sys.argv[1] == "man" else completion(text)
    with open(sys.argv[3], "w", encoding="utf-8") as out:
        out.write(result)


if __name__ == "__main__":
    main()

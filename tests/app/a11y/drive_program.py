# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the program from outside, through the desktop's accessibility bus only, as a screen
reader's user or desktop automation would: every page and dialog must name its controls, and
Apply, the profile combo, the brightness slider and the key menu must work through their
accessible actions, values and selections. Checks what reached the keyboard in the virtual
keyboard's transfer log and what was saved with kbctl. Run by run_check.sh:

    drive_program.py <application directory with kbconfig, kbctl, KB/, res/, Quillet.so>

Exit status 0 when every check holds, 1 otherwise (each failure printed).
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ui",
                                "atspi"))
from atspi_support import (check, failures, find, find_window, nameless_controls, press,  # noqa
                           showing, top_windows, wait_for, walk)

MAIN_WINDOW = "Keyboard Configuration"
# Log lines of an apply: at least this many when it sends everything (begin and unlock,
# lighting, key maps of both banks, colours, end), and exactly this many when nothing changed
# (begin, begin and end, each a feature report and an output report).
FULL_APPLY_REPORTS = 2 + 9 + 72 + 36 + 2 + 2
UNCHANGED_APPLY_REPORTS = 6


class Program:
    """A copy of the bundle in a folder of its own, with its own home, runtime folder and
    transfer log, and the program started on it (at once, or by start() after a set-up with
    kbctl). `extra_env(work)` adds variables that name places in the folder."""

    def __init__(self, bundle, start=True, whole_bundle=False, extra_env=None):
        self.bundle = bundle
        self.work = tempfile.mkdtemp(prefix="kb_a11y_")
        self.app = os.path.join(self.work, "app")
        if whole_bundle:
            shutil.copytree(bundle, self.app)
        else:
            os.makedirs(self.app)
            for name in ("kbconfig", "kbctl", "KB", "res", "Quillet.so"):
                source = os.path.join(bundle, name)
                if os.path.isdir(source):
                    shutil.copytree(source, os.path.join(self.app, name))
                elif os.path.exists(source):
                    shutil.copy(source, os.path.join(self.app, name))
        self.log = os.path.join(self.work, "transfers.log")
        home = os.path.join(self.work, "home")
        os.makedirs(home)
        self.env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", KB_VIRTUAL_LOG=self.log,
                        TMPDIR=self.work, XDG_RUNTIME_DIR=self.work, HOME=home,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        **(extra_env(self.work) if extra_env else {}))
        self.proc = None
        if start:
            self.start()

    def start(self):
        self.proc = subprocess.Popen([os.path.join(self.app, "kbconfig")], env=self.env)

    def kbctl(self, *args):
        out = subprocess.run([os.path.join(self.app, "kbctl"), "--app-dir", self.app, *args],
                             env=self.env, capture_output=True, text=True)
        check(out.returncode == 0, f"kbctl {args}: {out.stderr.strip()}")
        return out.stdout

    def stop(self):
        if self.proc is not None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        shutil.rmtree(self.work, ignore_errors=True)

    def log_lines(self):
        try:
            with open(self.log) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def settled_log(self, at_least, quiet=1.5, timeout=30.0):
        """The log once it holds at least `at_least` lines and has not grown for `quiet` s."""
        end = time.monotonic() + timeout
        last, since = -1, time.monotonic()
        while time.monotonic() < end:
            lines = self.log_lines()
            if len(lines) != last:
                last, since = len(lines), time.monotonic()
            elif len(lines) >= at_least and time.monotonic() - since >= quiet:
                return lines
            time.sleep(0.1)
        return self.log_lines()

    def saved_profile(self):
        out = self.kbctl("show")
        return json.loads(out) if out else {}


def window_named(name, timeout=10.0):
    return wait_for(lambda: next((w for _, w in top_windows() if w.name == name and showing(w)),
                                 None), timeout)


def window_gone(name, timeout=10.0):
    return wait_for(lambda: not any(w.name == name and showing(w) for _, w in top_windows()),
                    timeout)


def expect_named(root, where):
    faults = nameless_controls(root)
    for fault in faults:
        check(False, f"{where}: {fault}")
    interactive = [n for n, _ in walk(root) if showing(n) and n.getRole() in (
        pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
        pyatspi.ROLE_SLIDER, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_LIST,
        pyatspi.ROLE_MENU_ITEM)]
    check(len(interactive) > 0, f"{where}: interactive controls are on the bus")
    for node in interactive:
        state = node.getState()
        check(state.contains(pyatspi.STATE_VISIBLE), f"{where}: {node.name!r} visible")
        ext = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        check(ext.width > 0 and ext.height > 0, f"{where}: {node.name!r} has a size ({ext})")


def show_page(window, tab_name):
    tab = find(window, pyatspi.ROLE_PAGE_TAB, tab_name)
    if not press(tab, f"page tab {tab_name!r}"):
        return False
    return check(wait_for(lambda: tab.getState().contains(pyatspi.STATE_SELECTED), 5.0),
                 f"page tab {tab_name!r} is selected after its press")


def walk_pages_and_dialogs(window):
    for tab in ("Keys", "Lighting", "Macros"):
        if show_page(window, tab):
            expect_named(window, f"page {tab}")
    show_page(window, "Keys")

    # The message box of Reset: named, and Cancel leaves everything as it was.
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Reset"), "Reset")
    box = window_named("Warning")
    if check(box is not None, "Reset asks first"):
        expect_named(box, "reset question")
        press(find(box, pyatspi.ROLE_PUSH_BUTTON, "Cancel"), "Cancel of the reset question")
        check(window_gone("Warning"), "the reset question closes on Cancel")


def add_profile(program, window, name):
    """Through the profile menu and the name dialog, as a keyboard user would."""
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Profile menu"), "the profile menu button")
    menu = window_named("Profile menu")
    if not check(menu is not None, "the profile menu opens"):
        return
    expect_named(menu, "profile menu")
    press(find(menu, pyatspi.ROLE_MENU_ITEM, "New profile…"), "menu item New profile")
    dialog = window_named("New Profile")
    if not check(dialog is not None, "the new-profile dialog opens"):
        return
    expect_named(dialog, "new-profile dialog")
    edit = find(dialog, pyatspi.ROLE_TEXT, "Profile name:") or find(dialog, pyatspi.ROLE_ENTRY,
                                                                     "Profile name:")
    if check(edit is not None, "the name field is named by its prompt"):
        edit.queryEditableText().setTextContents(name)
        check(edit.queryText().getText(0, -1) == name, "the name field takes the text")
    press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK"), "OK of the new-profile dialog")
    check(window_gone("New Profile"), "the new-profile dialog closes on OK")


def combo_items(combo):
    return [combo.getChildAtIndex(i).name for i in range(combo.childCount)
            if combo.getChildAtIndex(i) is not None]


def main():
    program = Program(sys.argv[1])
    try:
        window = find_window(MAIN_WINDOW)
        if not check(window is not None, "the main window is on the accessibility bus"):
            return
        check(window.getRole() == pyatspi.ROLE_FRAME, f"main window role {window.getRoleName()}")
        check(program.log_lines() == [], "nothing is sent to the keyboard at start-up")

        walk_pages_and_dialogs(window)

        # Apply: the first one sends everything, a second one only what changed (nothing).
        apply = find(window, pyatspi.ROLE_PUSH_BUTTON, "Apply")
        press(apply, "Apply")
        lines = program.settled_log(FULL_APPLY_REPORTS)
        check(len(lines) >= FULL_APPLY_REPORTS, f"a full apply reached the keyboard: {len(lines)} reports")
        check(not any(l.startswith("violation") for l in lines),
              f"the keyboard saw no framing faults: {[l for l in lines if 'violation' in l][:3]}")
        sent = len(lines)
        press(apply, "Apply")
        lines = program.settled_log(sent + UNCHANGED_APPLY_REPORTS)
        check(len(lines) - sent == UNCHANGED_APPLY_REPORTS,
              f"an apply without changes sends {UNCHANGED_APPLY_REPORTS} reports, not {len(lines) - sent}")

        # The profile combo through its selection: another profile is sent whole.
        add_profile(program, window, "Game")
        combo = find(window, pyatspi.ROLE_COMBO_BOX, "Profile")
        if check(combo is not None, "the profile combo by role and name"):
            items = combo_items(combo)
            check(len(items) == 2 and items[1] == "Game", f"the combo lists the new profile: {items}")
            # Qt 6.4 carries no selection interface to the bus: a combo's choice is its item's
            # selected state, and an item is chosen by its action, as from the drop-down.
            first = combo.getChildAtIndex(0)
            press(first, "the first profile in the combo")
            check(wait_for(lambda: first.getState().contains(pyatspi.STATE_SELECTED) and
                           not combo.getChildAtIndex(1).getState().contains(
                               pyatspi.STATE_SELECTED), 5.0),
                  "the combo's selection moved to the first profile")
            sent = len(program.log_lines())
            press(apply, "Apply")
            lines = program.settled_log(sent + FULL_APPLY_REPORTS)
            check(len(lines) - sent >= FULL_APPLY_REPORTS,
                  f"a profile picked in the combo is sent whole: {len(lines) - sent} reports")

        # The brightness slider through its value, as a user drag would set it.
        if show_page(window, "Lighting"):
            slider = find(window, pyatspi.ROLE_SLIDER, "Brightness")
            if check(slider is not None, "the brightness slider by role and name"):
                value = slider.queryValue()
                check(value.maximumValue > value.minimumValue,
                      f"brightness range {value.minimumValue}..{value.maximumValue}")
                target = value.minimumValue if value.currentValue != value.minimumValue \
                    else value.maximumValue
                value.currentValue = target
                check(wait_for(lambda: slider.queryValue().currentValue == target, 5.0),
                      f"the slider reads {target} after the change")
                sent = len(program.log_lines())
                press(apply, "Apply")
                lines = program.settled_log(sent + UNCHANGED_APPLY_REPORTS + 1)
                check(UNCHANGED_APPLY_REPORTS < len(lines) - sent < FULL_APPLY_REPORTS,
                      f"only the lighting is sent: {len(lines) - sent} reports")
                profile = program.saved_profile()
                bank = profile.get("banks", [{}])[profile.get("active_bank", 0)]
                mode = bank.get("light_mode", -1)
                saved = [m.get("brightness") for m in bank.get("modes", []) if m.get("mode") == mode]
                check(saved == [int(target)],
                      f"the saved profile holds brightness {target} for mode {mode}: {saved}")

        # A key button says what its key does once the key menu changed it.
        if show_page(window, "Keys"):
            key = find(window, pyatspi.ROLE_PUSH_BUTTON, "Caps Lock")
            press(key, "the Caps Lock key")
            menu = window_named("Key menu")
            if not check(menu is not None, "the key menu opens below the key"):
                print("windows:", [(w.getRoleName(), w.name) for _, w in top_windows()], flush=True)
            else:
                expect_named(menu, "key menu")
                disable = next((n for n, _ in walk(menu) if n.getRole() == pyatspi.ROLE_MENU_ITEM
                                and n.name.lower().startswith("disable")), None)
                press(disable, "the menu item that disables the key")
                renamed = wait_for(lambda: next(
                    (n for n, _ in walk(window) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                     and n.name.startswith("Caps Lock,")), None), 5.0)
                check(renamed is not None and "disabled" in renamed.name,
                      f"the key says it is disabled: {renamed.name if renamed else None!r}")
    finally:
        program.stop()


if __name__ == "__main__":
    main()
    print("failures:", len(failures), flush=True)
    sys.exit(1 if failures else 0)

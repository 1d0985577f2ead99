# SPDX-License-Identifier: GPL-3.0-or-later
"""Automatic profile switching, as a desktop drives it, on a bare X server (run by run_check.sh)
and in sway (run by run_in_sway.sh, with minimal_qt_window beside the program). On X the test
sets the root window's _NET_ACTIVE_WINDOW to a window whose WM_CLASS names an application (the
root window itself, whose WM_CLASS it sets too); in sway it starts two windows whose app_ids
name the applications and moves the focus between them with swaymsg. It reads in the virtual
keyboard's transfer log what reached the keyboard:

- the linked application in front brings its profile, the other one the default profile, each
  sent with only what differs from what the keyboard holds (here: the key map);
- a burst of ten changes while an apply runs gives at most the one under way and one more, and
  the profile of the last application in front is the one that stays.

The link itself is made as a user makes it: in the profile menu's "Applications…" dialog, by
name; the menu's "Switch profiles automatically", off until then, is on after it, and kbctl
reads the link from the file. A second name added and removed again leaves no trace. Turned off
in the menu at the end, switching stops.

    app_switch_check.py <application directory of the virtual keyboard>
"""

import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
for relative in (("..", "ui", "atspi"), ("..", "app", "a11y")):
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), *relative))

import pyatspi  # noqa: E402
from atspi_support import (check, failures, find, find_window, press, showing,  # noqa
                           wait_for, walk)
from drive_program import (FULL_APPLY_REPORTS, MAIN_WINDOW, UNCHANGED_APPLY_REPORTS,  # noqa
                           Program, expect_named, window_gone, window_named)

APP = "steam_app_570"


class X11Desktop:
    def __init__(self, program):
        out = subprocess.run(["xwininfo", "-root"], capture_output=True, text=True).stdout
        self.root = next(line.split()[3] for line in out.splitlines() if "Window id:" in line)

    def bring_to_front(self, app):
        """What a window manager does when a window of `app` is activated."""
        subprocess.run(["xprop", "-root", "-f", "WM_CLASS", "8s", "-set", "WM_CLASS", app],
                       check=True)
        subprocess.run(["xprop", "-root", "-f", "_NET_ACTIVE_WINDOW", "32x", "-set",
                        "_NET_ACTIVE_WINDOW", self.root], check=True)

    def list_open(self, app):
        """What a window manager says of the windows it manages: one, of application `app`."""
        subprocess.run(["xprop", "-root", "-f", "WM_CLASS", "8s", "-set", "WM_CLASS", app],
                       check=True)
        subprocess.run(["xprop", "-root", "-f", "_NET_CLIENT_LIST", "32x", "-set",
                        "_NET_CLIENT_LIST", self.root], check=True)

    def close(self):
        pass


def sway_app_ids():
    out = subprocess.run(["swaymsg", "-t", "get_tree", "--raw"], capture_output=True, text=True)
    ids = []

    def visit(node):
        if node.get("app_id"):
            ids.append(node["app_id"])
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            visit(child)
    visit(json.loads(out.stdout) if out.returncode == 0 else {})
    return ids


class SwayDesktop:
    """Windows of made-up applications: copies of a minimal Qt program, whose file name is its
    app_id, focused with swaymsg."""

    def __init__(self, program):
        self.program = program
        self.windows = {}

    def bring_to_front(self, app):
        if app not in self.windows:
            path = os.path.join(self.program.work, app)
            shutil.copy(os.path.join(self.program.bundle, "minimal_qt_window"), path)
            self.windows[app] = subprocess.Popen([path], env=dict(self.program.env,
                                                                  QT_QPA_PLATFORM="wayland"))
            shown = wait_for(lambda: app in sway_app_ids(), 10.0)
            if not shown:
                print("sway's windows:", sway_app_ids(), flush=True)
            check(shown, f"a window of {app} is up")
        subprocess.run(["swaymsg", f'[app_id="{app}"]', "focus"], capture_output=True)

    def close(self):
        for window in self.windows.values():
            window.terminate()
            window.wait(timeout=10)


def selected_profile(window):
    combo = find(window, pyatspi.ROLE_COMBO_BOX, "Profile")
    if combo is None:
        return None
    for i in range(combo.childCount):
        item = combo.getChildAtIndex(i)
        if item is not None and item.getState().contains(pyatspi.STATE_SELECTED):
            return item.name
    return None


AUTO_ITEM = "Switch profiles automatically"
APPS_ITEM = "Applications…"
DIALOG = "Applications"
UNAVAILABLE = "Automatic switching is not available on this desktop: "


def open_profile_menu(window):
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Profile menu"), "the profile menu button")
    menu = window_named("Profile menu")
    check(menu is not None, "the profile menu opens")
    return menu


def menu_item(menu, name):
    return next((n for n, _ in walk(menu) if n.name == name and showing(n)), None)


def automatic_in_menu(window):
    """Whether the profile menu's check item is on; the menu closes by its "Applications…",
    which opens the dialog."""
    menu = open_profile_menu(window)
    if menu is None:
        return None
    item = menu_item(menu, AUTO_ITEM)
    check(item is not None, f"the profile menu has {AUTO_ITEM!r}")
    on = item is not None and item.getState().contains(pyatspi.STATE_CHECKED)
    press(menu_item(menu, APPS_ITEM), f"menu item {APPS_ITEM!r}")
    return on


def linked_apps(dialog):
    listed = find(dialog, pyatspi.ROLE_LIST, "While one of these applications is in front, "
                                             "this profile is used:")
    if listed is None:
        return None
    return [listed.getChildAtIndex(i).name for i in range(listed.childCount)
            if listed.getChildAtIndex(i) is not None]


def add_by_name(dialog, app):
    edit = next((n for n, _ in walk(dialog) if n.getRole() in (pyatspi.ROLE_TEXT,
                 pyatspi.ROLE_ENTRY) and n.name.startswith("Application name")), None)
    if not check(edit is not None, "the dialog's name field is named by its prompt"):
        return
    edit.queryEditableText().setTextContents(app)
    press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Add"), "Add")
    check(wait_for(lambda: app in (linked_apps(dialog) or []), 5.0),
          f"{app} is listed after Add: {linked_apps(dialog)}")


def link_in_dialog(program, window, picked):
    """The first link, made in the dialog; a second name added (`picked` from the open
    applications, if given) and removed."""
    check(automatic_in_menu(window) is False, f"{AUTO_ITEM!r} is off before the first link")
    dialog = window_named(DIALOG)
    if not check(dialog is not None, "the applications dialog opens"):
        return
    expect_named(dialog, "applications dialog")
    # The watcher runs on this desktop: no word of its absence.
    check(not any(n.name.startswith(UNAVAILABLE) and showing(n) for n, _ in walk(dialog)),
          "the dialog does not say switching is unavailable")
    check(linked_apps(dialog) == [], f"no application is linked yet: {linked_apps(dialog)}")
    add_by_name(dialog, APP)
    listing = program.kbctl("links")
    check("switching\ton" in listing and f"link\t1\tGame\t{APP}" in listing,
          f"the links file holds the link and switching is on: {listing!r}")

    other = "org.example.unused"
    if picked:
        # Picked from the open applications: the pick fills the name field, Add links it.
        combo = find(dialog, pyatspi.ROLE_COMBO_BOX, "Or pick an application with a window "
                                                     "open now:")
        if check(combo is not None, "the open applications are offered"):
            items = [combo.getChildAtIndex(i) for i in range(combo.childCount)]
            item = next((i for i in items if i is not None and i.name == picked), None)
            check(item is not None, f"{picked} is among the open applications: "
                                    f"{[i.name for i in items if i is not None]}")
            press(item, f"the open application {picked}")
            press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Add"), "Add")
            check(wait_for(lambda: picked in (linked_apps(dialog) or []), 5.0),
                  f"{picked} is listed after the pick and Add: {linked_apps(dialog)}")
        other = picked
    else:
        add_by_name(dialog, other)
    row = next((n for n, _ in walk(dialog) if n.getRole() == pyatspi.ROLE_LIST_ITEM
                and n.name == other), None)
    press(row, f"the row of {other}")
    press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Remove"), "Remove")
    check(wait_for(lambda: linked_apps(dialog) == [APP], 5.0),
          f"only {APP} stays listed after Remove: {linked_apps(dialog)}")
    check(other not in program.kbctl("links"), f"{other} is gone from the links file")
    press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Close"), "Close")
    check(window_gone(DIALOG), "the applications dialog closes")

    check(automatic_in_menu(window) is True, f"{AUTO_ITEM!r} is on after the first link")
    dialog = window_named(DIALOG)
    if check(dialog is not None, "the applications dialog opens again"):
        press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Close"), "Close")
        check(window_gone(DIALOG), "the applications dialog closes again")


def profile_cause(window):
    combo = find(window, pyatspi.ROLE_COMBO_BOX, "Profile")
    return combo.description if combo is not None else None


def main():
    program = Program(sys.argv[1], start=False)
    try:
        # Two profiles; "Game" gets the application in the dialog; the default stays the first.
        program.kbctl("profiles")
        kpo = os.path.join(program.work, "Game.kpo")
        program.kbctl("export-profile", "0", kpo)
        program.kbctl("import-profile", kpo)
        program.start()
        window = find_window(MAIN_WINDOW, 20.0)
        if not check(window is not None, "the main window is on the bus"):
            return
        check(wait_for(lambda: selected_profile(window) == "Game", 5.0), "Game is selected")
        picked = None
        if "SWAYSOCK" not in os.environ:
            # A window manager's list of the windows it manages: here the root window alone.
            picked = "org.example.picked"
            X11Desktop(program).list_open(picked)
        link_in_dialog(program, window, picked)

        # Game differs from the first profile in one key: Caps Lock disabled, then applied.
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Caps Lock"), "the Caps Lock key")
        menu = window_named("Key menu")
        if not check(menu is not None, "the key menu opens"):
            return
        disable = next((n for n, _ in walk(menu) if n.getRole() == pyatspi.ROLE_MENU_ITEM
                        and n.name.lower().startswith("disable")), None)
        press(disable, "Disable")
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Apply"), "Apply")
        lines = program.settled_log(FULL_APPLY_REPORTS)
        sent = len(lines)

        desktop = (SwayDesktop if "SWAYSOCK" in os.environ else X11Desktop)(program)
        for app, profile in (("nautilus", "Profile_1"), (APP, "Game")):
            desktop.bring_to_front(app)
            check(wait_for(lambda: selected_profile(window) == profile, 5.0),
                  f"{app} in front brings {profile}: {selected_profile(window)}")
            # The combo names the application whose link chose the profile, and only that.
            cause = f"In use because {app} is in front" if profile == "Game" else ""
            check(wait_for(lambda: profile_cause(window) == cause, 5.0),
                  f"{app} in front: the combo says {profile_cause(window)!r}")
            lines = program.settled_log(sent + UNCHANGED_APPLY_REPORTS + 1)
            check(UNCHANGED_APPLY_REPORTS < len(lines) - sent < FULL_APPLY_REPORTS,
                  f"{app} in front: only the key map is sent, {len(lines) - sent} reports")
            check(sum(1 for line in lines[sent:] if line.startswith("F 0E")) == 2,
                  f"{app} in front: one apply")
            sent = len(lines)

        # A burst: ten changes in a row, the last one the default's application.
        begins_before = sum(1 for line in program.log_lines() if line.startswith("F 0E"))
        for i in range(10):
            desktop.bring_to_front(APP if i % 2 == 0 else "nautilus")
        check(wait_for(lambda: selected_profile(window) == "Profile_1", 5.0),
              f"the last application's profile stays: {selected_profile(window)}")
        lines = program.settled_log(sent + UNCHANGED_APPLY_REPORTS + 1, quiet=2.5)
        # Every apply opens and closes with the same feature report.
        applies = (sum(1 for line in lines if line.startswith("F 0E")) - begins_before) / 2
        check(1 <= applies <= 2, f"a burst of ten changes gives at most two applies: {applies}")

        # Switching turned off in the menu: the file says so, and the application changes nothing.
        menu = open_profile_menu(window)
        if menu is not None:
            press(menu_item(menu, AUTO_ITEM), f"menu item {AUTO_ITEM!r}")
        check(wait_for(lambda: "switching\toff" in program.kbctl("links"), 5.0),
              "the menu's check item turns switching off in the links file")
        sent = len(program.settled_log(len(lines)))
        desktop.bring_to_front(APP)
        time.sleep(1.5)
        check(selected_profile(window) == "Profile_1" and len(program.log_lines()) == sent,
              f"switching off, {APP} in front changes nothing: {selected_profile(window)}, "
              f"{len(program.log_lines()) - sent} reports")
        desktop.close()
    finally:
        program.stop()


if __name__ == "__main__":
    main()
    print("failures:", len(failures), flush=True)
    sys.exit(1 if failures else 0)

# SPDX-License-Identifier: GPL-3.0-or-later
"""The program as shipped for a real keyboard (the bundle's hardware HID library), with the
hidapi and libudev stand-in preloaded in place of the USB bus and driven from outside through
the accessibility bus. No udev daemon runs, as in a container: the keyboard must be searched
for. Run by run_check.sh:

    drive_hardware.py <bundle directory> <stand-in library>

A keyboard plugged in after the start brings the KB_3 page up; a cable pulled during an apply
is told, and the tab goes; plugged in again, the next apply sends everything. A keyboard whose
node the user may not open is told as such, with the node and the fix, until a replug after
the fix. With automatic switching on, nothing is sent while the keyboard is away, and its
arrival brings the profile of the application in front, sent whole. Exit status 0 when every
check holds, 1 otherwise.
"""

import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ui",
                                "atspi"))
from atspi_support import check, failures, find, find_window, press, showing, wait_for, walk  # noqa
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import drive_program  # noqa: E402

MAIN_WINDOW = "Keyboard Configuration"
# Begin and unlock, lighting, key maps of both banks, colours, end: the least a full apply sends.
FULL_APPLY_REPORTS = 2 + 9 + 72 + 36 + 2 + 2
NO_KEYBOARD = "No keyboard connected"
LOST = "The keyboard was unplugged during the apply; the next apply sends everything again."
APPLIED = "Applied to the keyboard."
DENIED = "Keyboard found, but you may not open it"


class Program(drive_program.Program):
    """The program with the hidapi stand-in preloaded, and the stand-in's control FIFO."""

    def __init__(self, bundle, standin, setup="", start=True):
        def standin_env(work):
            control = os.path.join(work, "control")
            os.mkfifo(control)
            return {"LD_PRELOAD": standin, "KB_HID_STANDIN_CONTROL": control,
                    "KB_HID_STANDIN_SETUP": setup}
        super().__init__(bundle, start=start, whole_bundle=True, extra_env=standin_env)
        self.control = self.env["KB_HID_STANDIN_CONTROL"]

    def command(self, line):
        """One command to the stand-in; its reader holds the FIFO open from the program's start."""
        fd = os.open(self.control, os.O_WRONLY | os.O_NONBLOCK)
        try:
            os.write(fd, (line + "\n").encode())
        finally:
            os.close(fd)


def shown(window, predicate):
    return next((n for n, _ in walk(window) if showing(n) and predicate(n)), None)


def kb3_tab(window):
    return shown(window, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB and n.name == "KB_3")


def named(window, text):
    return shown(window, lambda n: n.name == text)


def hot_plug_and_a_pulled_cable(bundle, standin):
    program = Program(bundle, standin)
    try:
        window = find_window(MAIN_WINDOW)
        if not check(window is not None, "the main window is on the accessibility bus"):
            return
        check(wait_for(lambda: named(window, NO_KEYBOARD), 10.0) is not None,
              "without a keyboard the no-keyboard page shows")
        check(kb3_tab(window) is None, "without a keyboard there is no KB_3 tab")

        program.command("plug")
        tab = wait_for(lambda: kb3_tab(window), 10.0)
        if not check(tab is not None, "a keyboard plugged in after the start brings the KB_3 tab"):
            return
        check(find(window, pyatspi.ROLE_PUSH_BUTTON, "Apply") is not None,
              "the KB_3 page is the one shown")
        check(named(window, NO_KEYBOARD) is None, "the no-keyboard page is gone")

        # The first apply after an arrival sends everything; the cable goes half way through.
        program.command("unplug-after 40")
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Apply"), "Apply")
        check(wait_for(lambda: kb3_tab(window) is None, 10.0), "unplugged, the KB_3 tab goes")
        check(wait_for(lambda: named(window, NO_KEYBOARD), 5.0) is not None,
              "unplugged, the no-keyboard page shows again")

        # Plugged in again, the page says what became of that apply, and still says it after the
        # time an ordinary status is shown (6 s): until the next apply.
        program.command("plug")
        if not check(wait_for(lambda: kb3_tab(window), 10.0) is not None,
                     "plugged in again, the KB_3 tab is back"):
            return
        check(wait_for(lambda: named(window, LOST), 3.0) is not None,
              "the apply cut short is told as a pulled cable")
        time.sleep(6.5)
        check(named(window, LOST) is not None, "the pulled cable is still told 6.5 s later")
        sent = len(program.log_lines())
        check(sent == 40, f"nothing was sent after the cable went: {sent} reports")
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Apply"), "Apply")
        lines = program.settled_log(sent + FULL_APPLY_REPORTS)
        check(len(lines) - sent >= FULL_APPLY_REPORTS,
              f"the next apply sends everything: {len(lines) - sent} reports")
        check(not any(l.startswith("violation") for l in lines),
              f"the keyboard saw no framing faults: {[l for l in lines if 'violation' in l][:3]}")
        check(wait_for(lambda: named(window, APPLIED), 10.0) is not None,
              "the full apply is told as done")
    finally:
        program.stop()


def not_permitted(bundle, standin):
    program = Program(bundle, standin, setup="deny;plug")
    try:
        window = find_window(MAIN_WINDOW)
        if not check(window is not None, "the main window is on the accessibility bus"):
            return
        check(wait_for(lambda: named(window, DENIED), 10.0) is not None,
              "a keyboard the user may not open is told as found, not as absent")
        hint = shown(window, lambda n: "/dev/hidraw5" in n.name)
        check(hint is not None and "unplug the keyboard" in hint.name,
              f"the page names the node and says to replug: {hint.name if hint else None!r}")
        check(named(window, "sudo cp dist/70-kbconfig.rules /etc/udev/rules.d/") is not None,
              "the page gives the command that installs the udev rule")
        check(kb3_tab(window) is None, "there is no KB_3 tab for a keyboard that cannot be opened")

        # Replugged before the rule is in: it arrives and still cannot be opened.
        program.command("replug")
        time.sleep(3)  # past the search and the arrival's settle
        check(kb3_tab(window) is None and named(window, DENIED) is not None,
              "replugged without the rule, the page still says why")
        # With the rule in place a replug is all it takes.
        program.command("allow")
        program.command("replug")
        check(wait_for(lambda: kb3_tab(window), 10.0) is not None,
              "replugged with the rule in place, the KB_3 tab comes")
    finally:
        program.stop()


def bring_to_front(app):
    """What a window manager does when a window of `app` is activated: the root window stands
    for that window."""
    out = subprocess.run(["xwininfo", "-root"], capture_output=True, text=True).stdout
    root = next(line.split()[3] for line in out.splitlines() if "Window id:" in line)
    subprocess.run(["xprop", "-root", "-f", "WM_CLASS", "8s", "-set", "WM_CLASS", app], check=True)
    subprocess.run(["xprop", "-root", "-f", "_NET_ACTIVE_WINDOW", "32x", "-set",
                    "_NET_ACTIVE_WINDOW", root], check=True)


def selected_profile(window):
    combo = find(window, pyatspi.ROLE_COMBO_BOX, "Profile")
    if combo is None:
        return None
    return next((item.name for item in (combo.getChildAtIndex(i) for i in range(combo.childCount))
                 if item is not None and item.getState().contains(pyatspi.STATE_SELECTED)), None)


def switching_at_arrival(bundle, standin):
    app = "steam_app_570"
    program = Program(bundle, standin, start=False)
    try:
        # Two profiles, the second linked to the application (which turns switching on).
        program.kbctl("profiles")
        kpo = os.path.join(program.work, "Game.kpo")
        program.kbctl("export-profile", "0", kpo)
        program.kbctl("import-profile", kpo)
        program.kbctl("link", "1", app)
        program.start()
        window = find_window(MAIN_WINDOW)
        if not check(window is not None, "the main window is on the accessibility bus"):
            return
        check(wait_for(lambda: named(window, NO_KEYBOARD), 10.0) is not None,
              "switching on, without a keyboard the no-keyboard page shows")
        # The default's application in front, then the linked one: nothing goes anywhere.
        bring_to_front("nautilus")
        bring_to_front(app)
        time.sleep(1.5)
        check(program.log_lines() == [], f"nothing is sent while the keyboard is away: "
                                         f"{len(program.log_lines())} reports")

        program.command("plug")
        if not check(wait_for(lambda: kb3_tab(window), 10.0) is not None,
                     "the keyboard arrives"):
            return
        check(wait_for(lambda: selected_profile(window) == "Game", 5.0),
              f"the application's profile is the one shown: {selected_profile(window)}")
        lines = program.settled_log(FULL_APPLY_REPORTS)
        check(len(lines) >= FULL_APPLY_REPORTS,
              f"the arrival sends the application's profile whole: {len(lines)} reports")
        check(wait_for(lambda: named(window, APPLIED), 10.0) is not None,
              "the apply at the arrival is told as done")
    finally:
        program.stop()


def main():
    bundle, standin = sys.argv[1], sys.argv[2]
    hot_plug_and_a_pulled_cable(bundle, standin)
    not_permitted(bundle, standin)
    switching_at_arrival(bundle, standin)


if __name__ == "__main__":
    main()
    print("failures:", len(failures), flush=True)
    sys.exit(1 if failures else 0)

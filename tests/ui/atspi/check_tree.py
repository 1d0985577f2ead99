# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a real window's accessible tree over the AT-SPI bus and drives it, as a screen reader or
desktop automation would. Run by run_check.sh inside a private X server and session bus:

    check_tree.py <a11y_window program>

Exit status 0 when every check holds, 1 otherwise (each failure printed).
"""

import os
import queue
import subprocess
import sys
import threading
import time

import pyatspi

from atspi_support import check, failures, find, find_window, walk


def main():
    program = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    proc = subprocess.Popen([program], stdout=subprocess.PIPE, text=True, env=env)
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put(l.strip()) for l in proc.stdout], daemon=True).start()

    def expect_line(wanted, timeout=5.0):
        end = time.monotonic() + timeout
        seen = []
        while time.monotonic() < end:
            try:
                line = lines.get(timeout=0.1)
            except queue.Empty:
                continue
            seen.append(line)
            if line == wanted:
                print("seen:", wanted, flush=True)
                return True
        check(False, f"expected notification {wanted!r}, saw {seen}")
        return False

    try:
        expect_line("ready", timeout=15.0)
        window = find_window("Accessible window")
        check(window is not None, "the window is on the accessibility bus by its name")
        if window is None:
            return
        check(window.getRole() == pyatspi.ROLE_DIALOG, f"window role {window.getRoleName()}")

        interactive = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
                       pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_COMBO_BOX,
                       pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_SLIDER,
                       pyatspi.ROLE_COLOR_CHOOSER, pyatspi.ROLE_MENU_ITEM}
        count = 0
        for node, depth in walk(window):
            print("  " * depth + f"{node.getRoleName()} {node.name!r}", flush=True)
            if node.getRole() in interactive:
                count += 1
                check(node.name.strip() != "", f"nameless {node.getRoleName()}")
                # Items of a closed combo are there to be chosen but not on the screen.
                if node.getRole() != pyatspi.ROLE_LIST_ITEM:
                    check(node.getState().contains(pyatspi.STATE_SHOWING),
                          f"{node.name!r} is showing")
        check(count >= 15, f"{count} interactive objects")

        button = find(window, pyatspi.ROLE_PUSH_BUTTON, "Go")
        check(button is not None, "button Go by role and name")
        if button is not None:
            ext = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            check(ext.width == 80 and ext.height == 30, f"button extents {ext}")
            action = button.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            check("Press" in names, f"button actions {names}")
            action.doAction(names.index("Press"))
            expect_line("click:btn:0")
            renamed = find(window, pyatspi.ROLE_PUSH_BUTTON, "Left Ctrl, changed: Ctrl+A")
            check(renamed is not None, f"the pressed button's new name, not {button.name!r}")

        check_box = find(window, pyatspi.ROLE_CHECK_BOX, "Loop")
        if check_box is not None:
            action = check_box.queryAction()
            action.doAction(0)
            expect_line("checkclick:chk:0")
            check(check_box.getState().contains(pyatspi.STATE_CHECKED), "check box checked")

        slider = find(window, pyatspi.ROLE_SLIDER, "Brightness")
        check(slider is not None, "slider by role and name")
        if slider is not None:
            value = slider.queryValue()
            check(value.maximumValue == 255 and value.currentValue == 10,
                  f"slider range {value.minimumValue}..{value.maximumValue} at {value.currentValue}")
            value.currentValue = 100
            expect_line("valuechanged:slider:100")

        edit = find(window, pyatspi.ROLE_TEXT, "Name") or find(window, pyatspi.ROLE_ENTRY, "Name")
        check(edit is not None, "edit by role and name")
        if edit is not None:
            edit.queryEditableText().setTextContents("Game")
            expect_line("textchanged:edit1:0")
            text = edit.queryText()
            check(text.getText(0, -1) == "Game", f"edit text {text.getText(0, -1)!r}")

        combo = find(window, pyatspi.ROLE_COMBO_BOX, "Profile")
        check(combo is not None, "combo by role and name")
        if combo is not None:
            item = combo.getChildAtIndex(2)
            check(item is not None and item.name == "Profile 2", "combo item 2")
            if item is not None:
                item.queryAction().doAction(0)
                expect_line("itemselect:combo:2")
    finally:
        proc.terminate()
        proc.wait(timeout=5)


if __name__ == "__main__":
    main()
    print("failures:", len(failures), flush=True)
    sys.exit(1 if failures else 0)

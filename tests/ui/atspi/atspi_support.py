# SPDX-License-Identifier: GPL-3.0-or-later
"""What the AT-SPI checks share: failures collected rather than raised (so that one run reports
every fault), walking an accessible tree, finding windows and controls by role and name, and
waiting for what a program does asynchronously. Used through run_check.sh, which provides the
private X server and buses."""

import time

import pyatspi

failures = []

# The roles a user acts on: each needs a name a screen reader can say.
INTERACTIVE = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
               pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_COMBO_BOX,
               pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_SLIDER,
               pyatspi.ROLE_COLOR_CHOOSER, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_PAGE_TAB}


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)
    return ok


def walk(node, depth=0):
    yield node, depth
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def wait_for(probe, timeout=15.0, interval=0.1):
    """probe()'s first true answer within the timeout, else None."""
    end = time.monotonic() + timeout
    while True:
        answer = probe()
        if answer or time.monotonic() >= end:
            return answer or None
        time.sleep(interval)


def top_windows():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        for window in app or []:
            if window is not None:
                yield app, window


def find_window(name, timeout=15.0):
    """The top-level object of that name, in whichever application shows it."""
    found = wait_for(lambda: next((w for _, w in top_windows() if w.name == name), None), timeout)
    if found is None:
        print("windows:", [(a.name, w.name) for a, w in top_windows()], flush=True)
    return found


def find(root, role, name, only_showing=True):
    for node, _ in walk(root):
        if node.getRole() == role and node.name == name and (not only_showing or showing(node)):
            return node
    return None


def press(node, what):
    """The control's press action, as a screen reader's user or a script would use it."""
    if not check(node is not None, f"{what} is on the bus"):
        return False
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if not check(len(names) > 0, f"{what} has an action ({node.getRoleName()})"):
        return False
    action.doAction(names.index("Press") if "Press" in names else 0)
    return True


def nameless_controls(root):
    """Every showing interactive control under root that a screen reader could not name, and
    every name that is still a language key."""
    faults = []
    for node, _ in walk(root):
        if node.getRole() not in INTERACTIVE:
            continue
        # Items of a closed combo are there to be chosen but not on the screen.
        if node.getRole() != pyatspi.ROLE_LIST_ITEM and not showing(node):
            continue
        name = node.name.strip()
        if name == "":
            faults.append(f"nameless {node.getRoleName()} under {root.name!r}")
        elif name.endswith("_text") and " " not in name:
            faults.append(f"{node.getRoleName()} named by its language key {name!r}")
    return faults

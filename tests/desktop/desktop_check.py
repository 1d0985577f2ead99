# SPDX-License-Identifier: GPL-3.0-or-later
"""The program in a real Wayland compositor (sway), once as a Wayland client and once on
Xwayland, driven through the accessibility bus and typed into with wtype, as a user of a tiling
desktop would meet it (run by run_in_sway.sh); or on a bare X server typed into through XTest
(xdotool), where the hook hears the program's own window twice over (run by run_check.sh):

- the main window floats at its fixed size, and a size forced on it keeps the layout whole and
  centred (the Apply button is where a centred layout puts it, and painted);
- keys typed into the single-key dialog's field are captured;
- a recording on the macro page of typed keys is in the macro store afterwards, each key once.

wtype uploads a key map of its own, so a typed letter arrives as whatever key wtype's map puts it
on: the checks compare keys with each other, never with a US keyboard.

    desktop_check.py <application directory with kbconfig, kbctl, KB/, res/, Quillet.so>
"""

import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
for relative in (("..", "ui", "atspi"), ("..", "app", "a11y")):
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), *relative))

import pyatspi  # noqa: E402
from atspi_support import check, failures, find, find_window, press, wait_for, walk  # noqa
from drive_program import MAIN_WINDOW, Program, show_page, window_gone, window_named  # noqa

WIDTH, HEIGHT = 800, 572
TYPED = "qwe"


def sway_tree():
    out = subprocess.run(["swaymsg", "-t", "get_tree", "--raw"], capture_output=True, text=True)
    return json.loads(out.stdout) if out.returncode == 0 else {}


def program_node(platform):
    """The sway node of the program's main window and whether it floats."""
    def visit(node, floating):
        mine = (node.get("app_id") == "kbconfig" if platform == "wayland"
                else (node.get("window_properties") or {}).get("class") == "kbconfig")
        if mine and node.get("name") == MAIN_WINDOW:
            return node, floating
        for child in node.get("nodes", []):
            found = visit(child, False)
            if found:
                return found
        for child in node.get("floating_nodes", []):
            found = visit(child, True)
            if found:
                return found
        return None
    return visit(sway_tree(), False)


SWAY = "SWAYSOCK" in os.environ


def type_keys(keys, named=False):
    """Types the letters of `keys` into the focused window, or the key named `keys`."""
    if SWAY:
        wtype(*(["-k", keys] if named else [keys]))
        return
    out = subprocess.run(["xdotool", "key", "--delay", "50", *([keys] if named else keys)],
                         capture_output=True, text=True)
    check(out.returncode == 0, f"xdotool: {out.stderr.strip()}")
    time.sleep(0.3)  # the server delivers asynchronously; nothing reports its arrival


def wtype(*args):
    # Each wtype is a new virtual keyboard; the compositor makes it the seat's keyboard on its
    # first event and hands a key pressed in that event to the client as already held, not as a
    # press. A modifier toggled first (no key event) makes that switch, and the pause lets
    # Xwayland take the new key map before the first key.
    out = subprocess.run(["wtype", "-M", "ctrl", "-m", "ctrl", "-s", "300", *args],
                         capture_output=True, text=True)
    check(out.returncode == 0, f"wtype {args}: {out.stderr.strip()}")
    time.sleep(0.3)  # the compositor delivers asynchronously; nothing reports its arrival


def screenshot_pixel(x, y):
    """The colour at desktop point (x, y) in a grim shot, as (r, g, b)."""
    shot = subprocess.run(["grim", "-t", "ppm", "-"], capture_output=True)
    if not check(shot.returncode == 0, f"grim: {shot.stderr.decode().strip()}"):
        return None
    data = shot.stdout
    # P6, width, height, maxval, each separated by whitespace, then the pixels.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    width = int(fields[1])
    pixel = at + 1 + (y * width + x) * 3
    return tuple(data[pixel:pixel + 3])


def check_size_and_centring(platform, window):
    found = wait_for(lambda: program_node(platform), 10.0)
    if not check(found is not None, f"{platform}: sway lists the main window"):
        return
    node, floating = found
    rect = node["rect"]
    check(floating, f"{platform}: the main window floats")
    check((rect["width"], rect["height"]) == (WIDTH, HEIGHT),
          f"{platform}: the main window is {WIDTH}x{HEIGHT}: {rect['width']}x{rect['height']}")
    apply = find(window, pyatspi.ROLE_PUSH_BUTTON, "Apply")
    if not check(apply is not None, f"{platform}: Apply is on the bus"):
        return
    # Where the layout puts Apply's top left corner, relative to its window.
    placed = apply.queryComponent().getExtents(pyatspi.WINDOW_COORDS)

    # Tiled by force: the compositor gives the window the whole output.
    subprocess.run(["swaymsg", f"[con_id={node['id']}]", "floating", "disable"],
                   capture_output=True)
    time.sleep(1.0)  # sway's configure, then the client's new frame: nothing reports either
    tiled = program_node(platform)
    if not check(tiled is not None and not tiled[1], f"{platform}: the window is tiled on request"):
        return
    area, surface = tiled[0]["rect"], tiled[0]["window_rect"]
    check(surface["width"] > WIDTH and surface["height"] > HEIGHT,
          f"{platform}: the tiled window is given more room: {surface}")
    # Centred, by the program's margin under X11, or by sway around a surface that keeps its
    # size under Wayland: Apply is painted where a centred layout puts it.
    left = area["x"] + surface["x"] + (surface["width"] - WIDTH) // 2
    top = area["y"] + surface["y"] + (surface["height"] - HEIGHT) // 2
    x, y = left + placed.x + 8, top + placed.y + 8
    pixel = screenshot_pixel(x, y)
    if pixel is not None:
        r, g, b = pixel
        check(b > 150 and b > r + 60,
              f"{platform}: the tiled window shows Apply centred at {x},{y}: colour {pixel}")
    subprocess.run(["swaymsg", f"[con_id={node['id']}]", "floating", "enable"],
                   capture_output=True)


def check_single_key_capture(platform, window):
    if not show_page(window, "Keys"):
        return
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Caps Lock"), f"{platform}: the Caps Lock key")
    menu = window_named("Key menu")
    if not check(menu is not None, f"{platform}: the key menu opens"):
        return
    press(find(menu, pyatspi.ROLE_MENU_ITEM, "Single key…"), f"{platform}: Single key…")
    dialog = window_named("Single Key")
    if not check(dialog is not None, f"{platform}: the single-key dialog opens"):
        return
    field = next((n for n, _ in walk(dialog)
                  if n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)), None)
    if not check(field is not None, f"{platform}: the key field is on the bus"):
        return
    text = lambda: field.queryText().getText(0, -1)  # noqa: E731
    before = text()
    # The field captures once it has the focus, which the compositor gives the new dialog.
    check(wait_for(lambda: field.getState().contains(pyatspi.STATE_FOCUSED), 5.0),
          f"{platform}: the key field has the focus")
    type_keys("Tab", named=True)  # Tab would move the focus if the capture did not take it
    first = wait_for(lambda: text() if text() != before else None, 5.0)
    check(first is not None, f"{platform}: a typed key is captured (field still {before!r})")
    press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Cancel"), f"{platform}: Cancel")
    check(window_gone("Single Key"), f"{platform}: the dialog closes on Cancel")


def recorded_keys(program):
    out = subprocess.run([os.path.join(program.app, "kbctl"), "--app-dir", program.app,
                          "show-macro", "0"], env=program.env, capture_output=True, text=True)
    if not check(out.returncode == 0, f"kbctl show-macro: {out.stderr.strip()}"):
        return None
    macro = json.loads(out.stdout)
    return [(a["code"], a["kind"]) for a in macro.get("actions", [])], macro


def check_recording(platform, program, window):
    if not show_page(window, "Macros"):
        return
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Add a macro"), f"{platform}: + of the macros")
    dialog = wait_for(lambda: next((w for _, w in _top() if w.name.startswith("New")), None), 10)
    if not check(dialog is not None, f"{platform}: the new-macro dialog opens"):
        return
    edit = next((n for n, _ in walk(dialog)
                 if n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)), None)
    if edit is not None:
        edit.queryEditableText().setTextContents("Typed")
    press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK"), f"{platform}: OK of the name dialog")
    record = find(window, pyatspi.ROLE_CHECK_BOX, "Record")
    press(record, f"{platform}: Record")
    if platform == "wayland":
        note = window_named("Warning", 5.0)
        if check(note is not None, "wayland: the recording says once what it can hear"):
            press(find(note, pyatspi.ROLE_PUSH_BUTTON, "OK"), "wayland: OK of the note")
            window_gone("Warning")
    check(wait_for(lambda: find(window, pyatspi.ROLE_CHECK_BOX, "Stop recording"), 5.0),
          f"{platform}: the recording runs")
    time.sleep(0.3)
    type_keys(TYPED)
    press(find(window, pyatspi.ROLE_CHECK_BOX, "Stop recording"), f"{platform}: Stop recording")
    got = wait_for(lambda: (lambda r: r if r and r[0] else None)(recorded_keys(program)), 10.0)
    if not check(got is not None, f"{platform}: the macro store holds the recording"):
        return
    keys, macro = got
    downs = [k for k, t in keys if t == "press"]
    ups = [k for k, t in keys if t == "release"]
    check(len(keys) == 2 * len(TYPED) and len(downs) == len(TYPED) and sorted(downs) == sorted(ups)
          and len(set(downs)) == len(TYPED),
          f"{platform}: each typed key once, down and up: {json.dumps(macro)[:600]}")


def _top():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        for window in app or []:
            if window is not None:
                yield app, window


def run(platform, bundle):
    os.environ["QT_QPA_PLATFORM"] = platform
    program = Program(bundle)
    try:
        window = find_window(MAIN_WINDOW, 20.0)
        if not check(window is not None, f"{platform}: the main window is on the bus"):
            return
        if SWAY:
            check_size_and_centring(platform, window)
        check_single_key_capture(platform, window)
        check_recording(platform, program, window)
    finally:
        program.stop()


def main():
    for platform in ("wayland", "xcb") if SWAY else ("xcb",):
        run(platform, sys.argv[1])


if __name__ == "__main__":
    main()
    print("failures:", len(failures), flush=True)
    sys.exit(1 if failures else 0)

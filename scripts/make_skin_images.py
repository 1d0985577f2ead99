#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the skin's images into res/skins/ (standard library only).

Every image is drawn from signed distance functions with analytic anti-aliasing, so the skin can
be remade or re-coloured by editing the palette below and running
    python3 scripts/make_skin_images.py [output folder]
Stretchable images are meant for nine-slice drawing: their README line says the corner size.

Each image is drawn twice: `name.png` and `name@2x.png`, the same shapes at twice the pixels, which
the UI library shows on screens with a device pixel ratio above 1 (coordinates below are always
in the 1x image's pixels).
"""

import math
import os
import struct
import sys
import zlib

# --- palette (keep in step with res/theme.xml) -------------------------------------------------
WINDOW = (0x1B, 0x1E, 0x24)
PANEL = (0x23, 0x27, 0x2F)
CAPTION = (0x14, 0x16, 0x1B)
SURFACE = (0x2D, 0x32, 0x3C)
SURFACE_HOT = (0x38, 0x3E, 0x4A)
SURFACE_PUSHED = (0x25, 0x29, 0x31)
FIELD = (0x17, 0x1A, 0x1F)
BORDER = (0x45, 0x4C, 0x59)
BORDER_HOT = (0x5C, 0x65, 0x75)
ACCENT = (0x2F, 0xA8, 0xE8)
ACCENT_HOT = (0x52, 0xBB, 0xF0)
ACCENT_PUSHED = (0x22, 0x86, 0xBD)
TEXT = (0xE6, 0xE8, 0xEC)
TEXT_DIM = (0x9A, 0xA2, 0xB1)
DISABLED_FILL = (0x24, 0x27, 0x2D)
DISABLED_LINE = (0x3A, 0x3F, 0x48)
DISABLED_MARK = (0x5C, 0x63, 0x70)
DANGER = (0xE5, 0x4B, 0x4B)
DANGER_PUSHED = (0xB8, 0x3A, 0x3A)
WARNING = (0xF0, 0xA5, 0x30)


# --- PNG -----------------------------------------------------------------------------------------
def write_png(path, width, height, rgba_rows):
    """rgba_rows: list of rows, each a bytes-like of width*4 straight-alpha RGBA bytes."""
    raw = b"".join(b"\x00" + bytes(row) for row in rgba_rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# --- canvas: premultiplied float RGBA ------------------------------------------------------------
# Pixels per unit of the shapes: 1 for name.png, 2 for name@2x.png (main() draws both).
SCALE = 1


class Canvas:
    def __init__(self, width, height):
        """width and height in 1x pixels; the canvas holds SCALE times as many per side."""
        self.scale = SCALE
        self.w, self.h = int(round(width * SCALE)), int(round(height * SCALE))
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]

    def fill(self, sdf, colour, alpha=1.0):
        """Paints where sdf(x, y) < 0; colour is an (r, g, b) or a function of (x, y). Both take
        1x coordinates; the edge is anti-aliased over one pixel of this canvas."""
        k = self.scale
        for y in range(self.h):
            for x in range(self.w):
                cx, cy = (x + 0.5) / k, (y + 0.5) / k
                cover = min(1.0, max(0.0, 0.5 - sdf(cx, cy) * k))
                if cover <= 0.0:
                    continue
                c = colour(cx, cy) if callable(colour) else colour
                a = cover * alpha
                p = self.px[y * self.w + x]
                for i in range(3):
                    p[i] = c[i] / 255.0 * a + p[i] * (1.0 - a)
                p[3] = a + p[3] * (1.0 - a)

    def save(self, path):
        """path names the 1x image; a 2x canvas goes to its name@2x.png twin."""
        if self.scale != 1:
            root, ext = os.path.splitext(path)
            path = "%s@%dx%s" % (root, self.scale, ext)
        rows = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a > 0.0:
                    row += bytes((round(min(1.0, r / a) * 255), round(min(1.0, g / a) * 255),
                                  round(min(1.0, b / a) * 255), round(a * 255)))
                else:
                    row += b"\x00\x00\x00\x00"
            rows.append(row)
        write_png(path, self.w, self.h, rows)


# --- shapes as signed distance functions (pixels, negative inside) ------------------------------
def round_rect(left, top, right, bottom, radius):
    cx, cy = (left + right) / 2.0, (top + bottom) / 2.0
    hx, hy = (right - left) / 2.0 - radius, (bottom - top) / 2.0 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return sdf


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def segment(ax, ay, bx, by, half_width):
    def sdf(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - dx * t, py - dy * t) - half_width
    return sdf


def polyline(points, half_width):
    parts = [segment(*points[i], *points[i + 1], half_width) for i in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def triangle(a, b, c):
    def edge(p, q, x, y):
        ex, ey = q[0] - p[0], q[1] - p[1]
        length = math.hypot(ex, ey)
        return ((x - p[0]) * ey - (y - p[1]) * ex) / length

    def sdf(x, y):
        return max(edge(a, b, x, y), edge(b, c, x, y), edge(c, a, x, y))
    return sdf


def vertical(top_colour, bottom_colour, top, bottom):
    def colour(x, y):
        t = max(0.0, min(1.0, (y - top) / max(1.0, bottom - top)))
        return tuple(top_colour[i] + (bottom_colour[i] - top_colour[i]) * t for i in range(3))
    return colour


def lighter(c, amount):
    return tuple(min(255, v + amount) for v in c)


# --- images ---------------------------------------------------------------------------------------
def framed(w, h, radius, fill, border, border_width=1.0, gradient=0):
    canvas = Canvas(w, h)
    canvas.fill(round_rect(0, 0, w, h, radius), border)
    inner = round_rect(border_width, border_width, w - border_width, h - border_width,
                       max(0.0, radius - border_width))
    colour = vertical(lighter(fill, gradient), fill, 0, h) if gradient else fill
    canvas.fill(inner, colour)
    return canvas


def buttons(out):
    w, h, r = 40, 28, 4
    looks = {
        "button_normal": (SURFACE, BORDER),
        "button_hot": (SURFACE_HOT, BORDER_HOT),
        "button_pushed": (SURFACE_PUSHED, BORDER),
        "button_disabled": (DISABLED_FILL, DISABLED_LINE),
        "button_focus": (SURFACE, ACCENT),
        "button_primary_normal": (ACCENT_PUSHED, ACCENT),
        "button_primary_hot": (ACCENT, ACCENT_HOT),
        "button_primary_pushed": (lighter(ACCENT_PUSHED, -20), ACCENT_PUSHED),
        "button_danger_normal": (DANGER_PUSHED, DANGER),
        "button_danger_hot": (DANGER, lighter(DANGER, 30)),
    }
    for name, (fill, border) in looks.items():
        gradient = 0 if name.endswith(("pushed", "disabled")) else 10
        framed(w, h, r, fill, border, gradient=gradient).save(os.path.join(out, name + ".png"))


def fields(out):
    w, h, r = 40, 28, 3
    looks = {
        "edit_normal": BORDER,
        "edit_hot": BORDER_HOT,
        "edit_focus": ACCENT,
        "edit_disabled": DISABLED_LINE,
    }
    for name, border in looks.items():
        fill = DISABLED_FILL if name.endswith("disabled") else FIELD
        framed(w, h, r, fill, border).save(os.path.join(out, name + ".png"))

    # Combo: a field with a drop button at the right end (right corner 24 px).
    w = 60
    for state, border, arrow in (("normal", BORDER, TEXT_DIM), ("hot", BORDER_HOT, TEXT),
                                 ("pushed", ACCENT, ACCENT_HOT), ("disabled", DISABLED_LINE, DISABLED_MARK)):
        fill = DISABLED_FILL if state == "disabled" else SURFACE
        canvas = framed(w, h, r, fill, border, gradient=0 if state in ("pushed", "disabled") else 8)
        canvas.fill(lambda x, y: max(abs(x - (w - 24.5)) - 0.5, abs(y - h / 2) - 7), lighter(border, -10))
        canvas.fill(polyline([(w - 16, 12), (w - 12, 16), (w - 8, 12)], 1.1), arrow)
        canvas.save(os.path.join(out, "combo_%s.png" % state))

    # Drop-down list of a combo and pop-up menus: panel with a border.
    framed(24, 24, 4, PANEL, BORDER).save(os.path.join(out, "dropdown_bg.png"))
    framed(24, 24, 4, PANEL, BORDER).save(os.path.join(out, "menu_bg.png"))
    c = Canvas(24, 24)
    c.fill(round_rect(2, 1, 22, 23, 3), SURFACE_HOT)
    c.save(os.path.join(out, "menu_item_hot.png"))
    c = Canvas(24, 24)
    c.fill(round_rect(0, 0, 24, 24, 2), SURFACE_HOT)
    c.save(os.path.join(out, "list_item_hot.png"))
    c = Canvas(24, 24)
    c.fill(round_rect(0, 0, 24, 24, 2), ACCENT_PUSHED)
    c.fill(lambda x, y: x - 3, ACCENT_HOT)
    c.save(os.path.join(out, "list_item_selected.png"))


def marks(out):
    s = 18
    check_path = [(4.5, 9.5), (7.5, 12.5), (13.5, 5.5)]
    for state, box, border, mark in (
            ("normal", FIELD, BORDER, None), ("hot", FIELD, BORDER_HOT, None),
            ("checked", ACCENT, ACCENT, TEXT), ("checked_hot", ACCENT_HOT, ACCENT_HOT, (255, 255, 255)),
            ("disabled", DISABLED_FILL, DISABLED_LINE, None),
            ("checked_disabled", DISABLED_FILL, DISABLED_LINE, DISABLED_MARK)):
        canvas = framed(s, s, 3.5, box, border, border_width=1.2)
        if mark:
            canvas.fill(polyline(check_path, 1.2), mark)
        canvas.save(os.path.join(out, "check_%s.png" % state))

    for state, ring, dot in (("normal", BORDER, None), ("hot", BORDER_HOT, None),
                             ("selected", ACCENT, ACCENT), ("selected_hot", ACCENT_HOT, ACCENT_HOT),
                             ("disabled", DISABLED_LINE, None), ("selected_disabled", DISABLED_LINE, DISABLED_MARK)):
        canvas = Canvas(s, s)
        canvas.fill(circle(9, 9, 8.2), ring)
        canvas.fill(circle(9, 9, 6.9), DISABLED_FILL if "disabled" in state else FIELD)
        if dot:
            canvas.fill(circle(9, 9, 4.0), dot)
        canvas.save(os.path.join(out, "option_%s.png" % state))

    # Page tabs (tall options): underlined when selected.
    w, h = 40, 32
    for state, fill, line in (("normal", None, None), ("hot", SURFACE, None),
                              ("selected", SURFACE, ACCENT), ("selected_hot", SURFACE_HOT, ACCENT)):
        canvas = Canvas(w, h)
        if fill:
            canvas.fill(round_rect(0, 0, w, h + 6, 5), fill)
        if line:
            canvas.fill(lambda x, y: max(abs(y - (h - 1.5)) - 1.5, 0.0 - x, x - w), line)
        canvas.save(os.path.join(out, "tab_%s.png" % state))


def sliders(out):
    # Track and fill cover the whole 20 px high slider (the bar in the middle, transparent above
    # and below), so that the fill, clipped to the value, lines up with the track.
    w, h, top, bottom = 40, 20, 7, 13
    canvas = Canvas(w, h)
    canvas.fill(round_rect(0, top, w, bottom, 3), BORDER)
    canvas.fill(round_rect(1, top + 1, w - 1, bottom - 1, 2), FIELD)
    canvas.save(os.path.join(out, "slider_track.png"))
    canvas = Canvas(w, h)
    canvas.fill(round_rect(0, top, w, bottom, 3), ACCENT)
    canvas.save(os.path.join(out, "slider_fill.png"))
    s = 18
    for state, ring, centre in (("normal", ACCENT, TEXT), ("hot", ACCENT_HOT, (255, 255, 255)),
                                ("pushed", ACCENT_PUSHED, TEXT), ("disabled", DISABLED_LINE, DISABLED_MARK)):
        canvas = Canvas(s, s)
        canvas.fill(circle(9, 9.6, 8.4), (0, 0, 0), alpha=0.35)
        canvas.fill(circle(9, 9, 8.0), ring)
        canvas.fill(circle(9, 9, 4.5), centre)
        canvas.save(os.path.join(out, "slider_thumb_%s.png" % state))

    # Progress bar, 12 px high: a framed groove and the fill inside it.
    w, h = 40, 12
    framed(w, h, 6, FIELD, BORDER).save(os.path.join(out, "progress_track.png"))
    canvas = Canvas(w, h)
    canvas.fill(round_rect(2, 2, w - 2, h - 2, 4), ACCENT)
    canvas.save(os.path.join(out, "progress_fill.png"))


def window_parts(out):
    # Dialog frame: 1 px border, caption band drawn by the layout on top.
    framed(32, 32, 0, PANEL, BORDER).save(os.path.join(out, "dialog_bg.png"))
    framed(32, 32, 0, WINDOW, BORDER).save(os.path.join(out, "window_bg.png"))
    canvas = Canvas(32, 36)
    canvas.fill(lambda x, y: -1.0, vertical(lighter(CAPTION, 8), CAPTION, 0, 36))
    canvas.fill(lambda x, y: max(abs(y - 35.5) - 0.5, -1.0), BORDER)
    canvas.save(os.path.join(out, "caption_bg.png"))
    canvas = Canvas(4, 1)
    canvas.fill(lambda x, y: -1.0, BORDER)
    canvas.save(os.path.join(out, "separator.png"))

    s = 28
    for state, back, cross in (("normal", None, TEXT_DIM), ("hot", DANGER, (255, 255, 255)),
                               ("pushed", DANGER_PUSHED, TEXT)):
        canvas = Canvas(s, s)
        if back:
            canvas.fill(round_rect(0, 0, s, s, 4), back)
        canvas.fill(lambda x, y: min(segment(9.5, 9.5, 18.5, 18.5, 1.1)(x, y),
                                     segment(18.5, 9.5, 9.5, 18.5, 1.1)(x, y)), cross)
        canvas.save(os.path.join(out, "close_%s.png" % state))
    for state, back, bar in (("normal", None, TEXT_DIM), ("hot", SURFACE_HOT, TEXT), ("pushed", SURFACE_PUSHED, TEXT)):
        canvas = Canvas(s, s)
        if back:
            canvas.fill(round_rect(0, 0, s, s, 4), back)
        canvas.fill(segment(9.5, 17.5, 18.5, 17.5, 1.1), bar)
        canvas.save(os.path.join(out, "minimize_%s.png" % state))

    # Message-box sign: a rounded warning triangle with an exclamation mark.
    s = 40
    canvas = Canvas(s, s)
    tri = triangle((20, 4), (37, 35), (3, 35))
    canvas.fill(lambda x, y: tri(x, y) - 2.0, WARNING)
    canvas.fill(segment(20, 14, 20, 24, 2.0), CAPTION)
    canvas.fill(circle(20, 30, 2.2), CAPTION)
    canvas.save(os.path.join(out, "icon_warning.png"))


def keycaps(out):
    # Keys of the keyboard picture: a cap with a lighter top face, nine-slice 'corner=6,6,6,6'.
    s = 40
    looks = {
        "normal": (SURFACE, BORDER, 1.0),
        "hot": (SURFACE_HOT, BORDER_HOT, 1.0),
        "pushed": (SURFACE_PUSHED, ACCENT, 1.0),
        "selected": (SURFACE_HOT, ACCENT, 2.0),
        "changed": (SURFACE, WARNING, 2.0),
        "disabled": (DISABLED_FILL, DISABLED_LINE, 1.0),
    }
    for state, (face, edge, width) in looks.items():
        canvas = Canvas(s, s)
        canvas.fill(round_rect(0, 0, s, s, 5), edge)
        canvas.fill(round_rect(width, width, s - width, s - width, 5 - width), lighter(face, -8))
        top = vertical(lighter(face, 14), face, width, s - 5)
        canvas.fill(round_rect(width + 2, width + 1, s - width - 2, s - 5, 4), top)
        canvas.save(os.path.join(out, "keycap_%s.png" % state))


def key_faces(out):
    # The keys of the keyboard picture are drawn as a face inside a 2 px clear ring, so that the
    # highlight the page sets as the key's background (skins/KB/key_1.png, enter_1.png) shows as
    # a coloured rim around a key that no longer does what it did from the factory.
    s = 40
    looks = {
        "normal": (SURFACE, BORDER),
        "hot": (SURFACE_HOT, BORDER_HOT),
        "pushed": (SURFACE_PUSHED, ACCENT),
    }
    for state, (face, edge) in looks.items():
        canvas = Canvas(s, s)
        canvas.fill(round_rect(2, 2, s - 2, s - 2, 4), edge)
        canvas.fill(round_rect(3, 3, s - 3, s - 3, 3), lighter(face, -8))
        top = vertical(lighter(face, 14), face, 3, s - 6)
        canvas.fill(round_rect(4, 4, s - 4, s - 6, 3), top)
        canvas.save(os.path.join(out, "keyface_%s.png" % state))
    marks_dir = os.path.join(out, "KB")
    os.makedirs(marks_dir, exist_ok=True)
    for name in ("key_1", "enter_1"):
        canvas = Canvas(s, s)
        canvas.fill(round_rect(0, 0, s, s, 6), WARNING)
        canvas.save(os.path.join(marks_dir, name + ".png"))
    # The plate the keys sit on.
    canvas = Canvas(s, s)
    canvas.fill(round_rect(0, 0, s, s, 10), BORDER)
    canvas.fill(round_rect(1, 1, s - 1, s - 1, 9), vertical(CAPTION, FIELD, 1, s - 1))
    canvas.save(os.path.join(out, "keyboard_plate.png"))
    # The apply ring beside the progress text: three quarters of a ring in the accent colour.
    r = 16
    canvas = Canvas(r, r)
    ring = circle(8, 8, 6.5)
    canvas.fill(lambda x, y: max(abs(ring(x, y)) - 1.2, -(x - 8) if y < 8 else -1e9), ACCENT)
    canvas.save(os.path.join(out, "apply_ring.png"))


def light_keys(out):
    # The lighting page's keys. light_key is a light cap whose shape lives in its alpha: the page
    # gives every pixel that is not clear the key's colour and keeps the alpha, so the soft rim
    # stays darker than the face on the dark plate. The rims are drawn over it and over an unlit
    # key, clear inside so that the colour shows whole.
    s = 40
    marks_dir = os.path.join(out, "KB")
    os.makedirs(marks_dir, exist_ok=True)
    canvas = Canvas(s, s)
    canvas.fill(round_rect(2, 2, s - 2, s - 2, 4), (235, 235, 235), alpha=0.55)
    canvas.fill(round_rect(4, 3, s - 4, s - 6, 3), (250, 250, 250))
    canvas.save(os.path.join(marks_dir, "light_key.png"))
    for state, (edge, width) in {"normal": (BORDER, 1.0), "hot": (BORDER_HOT, 1.5),
                                 "pushed": (ACCENT, 1.5)}.items():
        canvas = Canvas(s, s)
        outer = round_rect(2, 2, s - 2, s - 2, 4)
        inner = round_rect(2 + width, 2 + width, s - 2 - width, s - 2 - width, max(0.0, 4 - width))
        canvas.fill(lambda x, y: max(outer(x, y), -inner(x, y)), edge)
        canvas.save(os.path.join(marks_dir, "light_key_rim_%s.png" % state))


def macro_rows(out):
    # The action list's row icons, one set per model folder (the rows name them by model):
    # a key going down (press and release), a pointer move, a mouse and a keyboard.
    for model in ("kb_3", "kb_4"):
        folder = os.path.join(out, "kb", model)
        os.makedirs(folder, exist_ok=True)
        canvas = Canvas(16, 18)
        canvas.fill(round_rect(1, 1, 15, 17, 3), TEXT_DIM)
        canvas.fill(triangle((4, 7), (12, 7), (8, 13)), FIELD)
        canvas.save(os.path.join(folder, "macro_key_down.png"))
        canvas = Canvas(21, 21)
        canvas.fill(lambda x, y: min(segment(10.5, 3, 10.5, 18, 1.2)(x, y),
                                     segment(3, 10.5, 18, 10.5, 1.2)(x, y)), ACCENT)
        for tip in (((10.5, 1), (7, 5), (14, 5)), ((10.5, 20), (7, 16), (14, 16)),
                    ((1, 10.5), (5, 7), (5, 14)), ((20, 10.5), (16, 7), (16, 14))):
            canvas.fill(triangle(*tip), ACCENT)
        canvas.save(os.path.join(folder, "move.png"))
        canvas = Canvas(21, 21)
        canvas.fill(round_rect(5, 2, 16, 19, 5.5), TEXT_DIM)
        canvas.fill(round_rect(6.2, 3.2, 14.8, 17.8, 4.5), FIELD)
        canvas.fill(segment(10.5, 3, 10.5, 8, 0.7), TEXT_DIM)
        canvas.save(os.path.join(folder, "mouse.png"))
        canvas = Canvas(30, 18)
        canvas.fill(round_rect(1, 2, 29, 16, 3), TEXT_DIM)
        for row, top in enumerate((4.5, 8.5)):
            for col in range(6):
                left = 3.5 + col * 4 + (row * 2)
                canvas.fill(round_rect(left, top, left + 3, top + 3, 0.6), FIELD)
        canvas.fill(round_rect(8, 12.5, 22, 14.5, 0.6), FIELD)
        canvas.save(os.path.join(folder, "keyboard_key_action.png"))


def app_icon(size):
    # The program's icon (window, tray, desktop): a keyboard on an accent tile, drawn on a 64-unit
    # grid scaled to `size` pixels.
    k = size / 64
    s = 64
    canvas = Canvas(size, size)
    canvas.fill(round_rect(2 * k, 2 * k, (s - 2) * k, (s - 2) * k, 13 * k),
                vertical(ACCENT_HOT, ACCENT_PUSHED, 2 * k, (s - 2) * k))
    canvas.fill(round_rect(9 * k, 19 * k, (s - 9) * k, (s - 17) * k, 5 * k), CAPTION)
    for row, (y, count) in enumerate(((23, 8), (30, 8), (37, 0))):
        if count == 0:
            canvas.fill(round_rect(20 * k, y * k, (s - 20) * k, (y + 5) * k, 1.5 * k), TEXT)
            continue
        for i in range(count):
            x = 13 + i * 5 + (row * 2)
            canvas.fill(round_rect(x * k, y * k, (x + 3.6) * k, (y + 5) * k, 1.0 * k), TEXT)
    return canvas


def icons(out):
    app_icon(64).save(os.path.join(out, "app_icon.png"))


# The sizes of the hicolor theme that desktops look for.
DESKTOP_ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def desktop_icons(out):
    for size in DESKTOP_ICON_SIZES:
        folder = os.path.join(out, "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        app_icon(size).save(os.path.join(folder, "kbconfig.png"))


def main():
    global SCALE
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    if len(sys.argv) == 3 and sys.argv[1] == "--desktop-icons":
        desktop_icons(sys.argv[2])
        return
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "skins")
    os.makedirs(out, exist_ok=True)
    for SCALE in (1, 2):
        buttons(out)
        fields(out)
        marks(out)
        sliders(out)
        window_parts(out)
        keycaps(out)
        key_faces(out)
        light_keys(out)
        macro_rows(out)
        icons(out)


if __name__ == "__main__":
    main()

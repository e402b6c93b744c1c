#!/usr/bin/env python3
"""Draws the images of the DarkMetro skin.

Writes, next to this script:
  Master copy.bmp  400 x 152, 24-bit, 12-byte core header: every frame, glyph and texture that
                   Options.dat cuts from the master bitmap
  BtnHuge.bmp      192 x 128, 24-bit, core header: three 64 x 64 button frames over their masks
  ExtBord.png      100 x 80 RGBA: the shadow around forms, inactive and active
  GlowEdit.png     22 x 22 RGBA: the focus glow of edits and buttons
  GlowH.png        108 x 108 RGBA: the glow of big buttons

Conventions of the skin: magenta (255, 0, 255) is transparent in the bitmaps. A mask row (RowMode 1)
lies under its picture row and gives each picture pixel's transparency: black keeps the picture,
white shows what lies behind, greys blend.

Run it again after changing a region; Options.dat must be kept in step by hand.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

# The dark look. RGB.
ACCENT = (0x1B, 0xA1, 0xE2)       # hot colour of the skin (0xE2A11B as a Windows colour)
ACCENT_DARK = (0x14, 0x78, 0xA8)  # pressed
ACCENT_LIGHT = (0x3B, 0xBB, 0xFF)
LINE = (0x6A, 0x6A, 0x6A)         # frames at rest
LINE_DARK = (0x24, 0x24, 0x24)
FACE = (0x4D, 0x4D, 0x4D)         # button face
EDIT_BG = (0xC6, 0xDD, 0xE7)
FORM = (0x23, 0x23, 0x23)
TEXT = (0xAD, 0xAD, 0xAD)
GLYPH = (0xD8, 0xD8, 0xD8)


class Canvas:
    def __init__(self, w, h, fill=MAGENTA):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, l, t, r, b, c):
        """Fills [l, r) x [t, b)."""
        for y in range(t, b):
            for x in range(l, r):
                self.put(x, y, c)

    def frame(self, l, t, r, b, c, width=1):
        self.rect(l, t, r, t + width, c)
        self.rect(l, b - width, r, b, c)
        self.rect(l, t, l + width, b, c)
        self.rect(r - width, t, r, b, c)

    def vgradient(self, l, t, r, b, c1, c2):
        n = max(1, b - t - 1)
        for y in range(t, b):
            k = (y - t) / n
            c = tuple(round(c1[i] + (c2[i] - c1[i]) * k) for i in range(3))
            self.rect(l, y, r, y + 1, c)


def write_bmp_core(path, canvas):
    """24-bit BMP with the 12-byte BITMAPCOREHEADER, rows bottom-up."""
    row_bytes = (canvas.w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for (r, g, b) in canvas.px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        pixels += row
    offset = 14 + 12
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    core = struct.pack("<IHHHH", 12, canvas.w, canvas.h, 1, 24)
    with open(path, "wb") as f:
        f.write(header + core + pixels)


def write_png_rgba(path, w, h, rgba):
    """rgba: rows of (r, g, b, a)."""
    raw = bytearray()
    for row in rgba:
        raw.append(0)
        for p in row:
            raw += bytes(p)

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ---- Master copy.bmp ---------------------------------------------------------------------------

def three_state_frames(c, left, top, colours, centre, mask_centre=WHITE):
    """Three 3 x 3 frames over a mask row: a one-pixel border around a one-pixel centre."""
    for i, col in enumerate(colours):
        l = left + 3 * i
        c.frame(l, top, l + 3, top + 3, col)
        c.put(l + 1, top + 1, centre)
        c.frame(l, top + 3, l + 3, top + 6, BLACK)
        c.put(l + 1, top + 4, mask_centre)


def check_box(c, l, t, size, border, fill, mark, kind):
    """A box glyph on magenta: kind 'check', 'empty', 'gray', 'radio-*'."""
    inset = (16 - size) // 2 if size == 13 else (12 - size) // 2
    bl, bt = l + inset, t + inset
    radio = kind.startswith("radio")
    if radio:
        cx = bl + size / 2 - 0.5
        cy = bt + size / 2 - 0.5
        rad = size / 2
        for y in range(bt, bt + size):
            for x in range(bl, bl + size):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if d <= rad - 1.0:
                    c.put(x, y, fill)
                elif d <= rad:
                    c.put(x, y, border)
        if kind == "radio-check":
            for y in range(bt, bt + size):
                for x in range(bl, bl + size):
                    if ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 <= rad / 2.4:
                        c.put(x, y, mark)
        elif kind == "radio-gray":
            for y in range(bt, bt + size):
                for x in range(bl, bl + size):
                    if ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 <= rad / 2.4:
                        c.put(x, y, LINE)
        return
    c.rect(bl, bt, bl + size, bt + size, fill)
    c.frame(bl, bt, bl + size, bt + size, border)
    if kind == "check":
        # A tick: down-right for a third, then up-right.
        s = size
        pts = []
        x0, y0 = bl + 2, bt + s // 2
        for k in range(s // 3):
            pts.append((x0 + k, y0 + k))
        x1, y1 = x0 + s // 3 - 1, y0 + s // 3 - 1
        for k in range(s - s // 3 - 3):
            pts.append((x1 + k, y1 - k))
        for (x, y) in pts:
            c.put(x, y, mark)
            c.put(x, y + 1, mark)
    elif kind == "gray":
        c.rect(bl + 3, bt + 3, bl + size - 3, bt + size - 3, LINE)


def arrow(c, l, t, w, h, direction, col):
    """A filled triangle glyph centred in [l, l+w) x [t, t+h); returns the covered pixels."""
    cells = set()
    cx, cy = l + w // 2, t + h // 2
    n = min(w, h) // 2 - 1
    for k in range(n):
        for j in range(-k, k + 1):
            # Row k of the triangle is 2k + 1 wide; the tip (k = 0) points the arrow's way.
            if direction == "down":
                cells.add((cx + j, cy - (n // 2) + (n - 1 - k)))
            elif direction == "up":
                cells.add((cx + j, cy + (n // 2) - (n - 1 - k)))
            elif direction == "right":
                cells.add((cx - (n // 2) + (n - 1 - k), cy + j))
            else:
                cells.add((cx + (n // 2) - (n - 1 - k), cy + j))
    for (x, y) in cells:
        c.put(x, y, col)
    return cells


def glyph_frames(c, left, top, fw, fh, direction, colours):
    """Frames of an arrow glyph over a mask row: black where the arrow is, white elsewhere."""
    for i, col in enumerate(colours):
        l = left + fw * i
        c.rect(l, top, l + fw, top + fh, FORM)
        cells = arrow(c, l, top, fw, fh, direction, col)
        c.rect(l, top + fh, l + fw, top + 2 * fh, WHITE)
        for (x, y) in cells:
            c.put(x, y + fh, BLACK)


def title_button(c, l, t, w, h, kind, state):
    back = {0: MAGENTA, 1: (0x3F, 0x3F, 0x3F), 2: (0x2A, 0x2A, 0x2A)}[state]
    if kind == "close" and state > 0:
        back = (0xC4, 0x2B, 0x1C) if state == 1 else (0x99, 0x1F, 0x14)
    c.rect(l, t, l + w, t + h, back)
    col = WHITE if state else GLYPH
    cx, cy = l + w // 2, t + h // 2
    s = max(3, min(w, h) // 4)
    if kind == "close":
        for k in range(-s, s + 1):
            c.put(cx + k, cy + k, col)
            c.put(cx + k, cy - k, col)
            c.put(cx + k + 1, cy + k, col)
            c.put(cx + k + 1, cy - k, col)
    elif kind == "max":
        c.frame(cx - s, cy - s, cx + s + 1, cy + s + 1, col)
        c.rect(cx - s, cy - s, cx + s + 1, cy - s + 2, col)
    elif kind == "norm":
        c.frame(cx - s + 2, cy - s, cx + s + 1, cy + s - 1, col)
        c.rect(cx - s, cy - s + 2, cx + s - 1, cy + s + 1, back)
        c.frame(cx - s, cy - s + 2, cx + s - 1, cy + s + 1, col)
    elif kind == "min":
        c.rect(cx - s, cy + s - 1, cx + s + 1, cy + s + 1, col)
    elif kind == "help":
        for (x, y) in [(-1, -3), (0, -4), (1, -4), (2, -3), (2, -2), (1, -1), (0, 0), (0, 1), (0, 3)]:
            c.put(cx + x, cy + y, col)


def draw_master():
    c = Canvas(400, 152)

    # (0,0)-(3,3) page control frame: border line, stretched centre.
    c.frame(0, 0, 3, 3, LINE)
    c.put(1, 1, (0x3A, 0x3A, 0x3A))
    # (13,0)-(16,3) tool bar and group box frame: a dark line, centre unused.
    c.frame(13, 0, 16, 3, LINE_DARK)
    c.put(14, 1, (0x36, 0x36, 0x36))
    # (10,3)-(16,6) edit frames: normal and focused.
    for i, col in enumerate([(0x80, 0x80, 0x80), ACCENT]):
        c.frame(10 + 3 * i, 3, 13 + 3 * i, 6, col)
        c.put(11 + 3 * i, 4, EDIT_BG)
    # (10,16)-(19,22) buttons and tool buttons: normal, hot, pressed over their mask row.
    three_state_frames(c, 10, 16, [LINE, ACCENT, ACCENT_DARK], FACE)
    # (10,23)-(19,29) speed buttons: a quieter border at rest.
    three_state_frames(c, 10, 23, [(0x5A, 0x5A, 0x5A), ACCENT, ACCENT_DARK], FACE)
    # (20,16)-(35,26) scroll slider: three 5 x 5 frames with rounded corners over their masks.
    for i, col in enumerate([(0x5E, 0x5E, 0x5E), (0x7A, 0x7A, 0x7A), ACCENT]):
        l = 20 + 5 * i
        c.rect(l, 16, l + 5, 21, col)
        c.rect(l, 21, l + 5, 26, BLACK)
        for (x, y) in [(0, 0), (4, 0), (0, 4), (4, 4)]:
            c.put(l + x, 16 + y, MAGENTA)
            c.put(l + x, 21 + y, WHITE)
    # (40,0)-(124,7) tabs: top, bottom, left, right; three 7 x 7 frames each, rounded outer corners.
    tab_states = [(0x3A, 0x3A, 0x3A), (0x4A, 0x4A, 0x4A), (0x4D, 0x4D, 0x4D)]
    for n, side in enumerate(["top", "bottom", "left", "right"]):
        for i, face in enumerate(tab_states):
            l = 40 + 21 * n + 7 * i
            c.rect(l, 0, l + 7, 7, face)
            edge = ACCENT if i == 2 else LINE
            if side == "top":
                c.rect(l, 0, l + 7, 1, edge)
                c.rect(l, 0, l + 1, 7, LINE)
                c.rect(l + 6, 0, l + 7, 7, LINE)
                c.put(l, 0, MAGENTA)
                c.put(l + 6, 0, MAGENTA)
            elif side == "bottom":
                c.rect(l, 6, l + 7, 7, edge)
                c.rect(l, 0, l + 1, 7, LINE)
                c.rect(l + 6, 0, l + 7, 7, LINE)
                c.put(l, 6, MAGENTA)
                c.put(l + 6, 6, MAGENTA)
            elif side == "left":
                c.rect(l, 0, l + 1, 7, edge)
                c.rect(l, 0, l + 7, 1, LINE)
                c.rect(l, 6, l + 7, 7, LINE)
                c.put(l, 0, MAGENTA)
                c.put(l, 6, MAGENTA)
            else:
                c.rect(l + 6, 0, l + 7, 7, edge)
                c.rect(l, 0, l + 7, 1, LINE)
                c.rect(l, 6, l + 7, 7, LINE)
                c.put(l + 6, 0, MAGENTA)
                c.put(l + 6, 6, MAGENTA)

    # (78,17)-(222,33) check boxes, (78,33)-(222,49) radio buttons: 16 x 16 frames,
    # normal, hot, pressed.
    states = [((0x80, 0x80, 0x80), (0x2E, 0x2E, 0x2E)), (ACCENT, (0x36, 0x36, 0x36)), (ACCENT_DARK, (0x24, 0x24, 0x24))]
    for col, kind in enumerate(["check", "empty", "gray"]):
        for i, (border, fill) in enumerate(states):
            check_box(c, 78 + 48 * col + 16 * i, 17, 13, border, fill, ACCENT_LIGHT if i else WHITE, kind)
    for col, kind in enumerate(["radio-check", "radio-empty", "radio-gray"]):
        for i, (border, fill) in enumerate(states):
            check_box(c, 78 + 48 * col + 16 * i, 33, 13, border, fill, ACCENT_LIGHT if i else WHITE, kind)
    # (222,17)-(330,29) small check boxes: 12 x 12 frames.
    for col, kind in enumerate(["check", "empty", "gray"]):
        for i, (border, fill) in enumerate(states):
            check_box(c, 222 + 36 * col + 12 * i, 17, 10, border, fill, ACCENT_LIGHT if i else WHITE, kind)
    # (330,17)-(342,29) size grip: dots in a triangle.
    for y in range(3):
        for x in range(3 - y - 1, 3):
            c.rect(331 + 4 * x, 18 + 4 * y, 333 + 4 * x, 20 + 4 * y, (0x80, 0x80, 0x80))
    # (342,17)-(362,23) horizontal grip, (362,17)-(368,37) vertical grip.
    c.rect(342, 17, 362, 23, FORM)
    for k in range(4):
        c.rect(344 + 5 * k, 19, 346 + 5 * k, 21, (0x80, 0x80, 0x80))
    c.rect(362, 17, 368, 37, FORM)
    for k in range(4):
        c.rect(364, 19 + 5 * k, 366, 21 + 5 * k, (0x80, 0x80, 0x80))

    # (156,51)-(189,71) combo box arrow: three 11 x 10 frames over their mask row.
    glyph_frames(c, 156, 51, 11, 10, "down", [GLYPH, WHITE, ACCENT_LIGHT])
    # Scroll button arrows: three 9 x 9 frames over masks each.
    glyph_frames(c, 190, 51, 9, 9, "up", [GLYPH, WHITE, ACCENT_LIGHT])
    glyph_frames(c, 217, 51, 9, 9, "down", [GLYPH, WHITE, ACCENT_LIGHT])
    glyph_frames(c, 244, 51, 9, 9, "left", [GLYPH, WHITE, ACCENT_LIGHT])
    glyph_frames(c, 353, 37, 9, 9, "right", [GLYPH, WHITE, ACCENT_LIGHT])

    # (293,37)-(323,67) horizontal progress texture, (323,37)-(353,67) vertical: diagonal stripes.
    for y in range(30):
        for x in range(30):
            stripe = ((x + y) // 5) % 2 == 0
            c.put(293 + x, 37 + y, ACCENT if stripe else ACCENT_DARK)
            stripe = ((x - y) // 5) % 2 == 0
            c.put(323 + x, 37 + y, ACCENT if stripe else ACCENT_DARK)

    # (0,75)-(390,95) title bar buttons: close, maximise, restore, minimise, help; three 26 x 20
    # frames each. (0,97)-(240,111) the small ones: 16 x 14 frames.
    for n, kind in enumerate(["close", "max", "norm", "min", "help"]):
        for s in range(3):
            title_button(c, 78 * n + 26 * s, 75, 26, 20, kind, s)
            title_button(c, 48 * n + 16 * s, 97, 16, 14, kind, s)

    # (1,131)-(19,140) form border: inactive and active 9 x 9 frames, 4-pixel margins.
    for i, edge in enumerate([(0x3C, 0x3C, 0x3C), ACCENT]):
        l = 1 + 9 * i
        c.rect(l, 131, l + 9, 140, FORM)
        c.frame(l, 131, l + 9, 140, edge)
        c.put(l + 4, 135, FORM)
    return c


# ---- BtnHuge.bmp --------------------------------------------------------------------------------

def rounded_inside(x, y, w, h, r):
    """Whether (x, y) lies inside a w x h rectangle with corner radius r."""
    cx = min(max(x + 0.5, r), w - r)
    cy = min(max(y + 0.5, r), h - r)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


def draw_btn_huge():
    c = Canvas(192, 128)
    looks = [((0x5A, 0x5A, 0x5A), (0x50, 0x50, 0x50), (0x46, 0x46, 0x46)),
             (ACCENT, (0x2C, 0x6E, 0x94), (0x1E, 0x55, 0x75)),
             (ACCENT_DARK, (0x1A, 0x4A, 0x66), (0x22, 0x5A, 0x7A))]
    r = 6
    for i, (edge, top, bottom) in enumerate(looks):
        l = 64 * i
        c.vgradient(l, 0, l + 64, 64, top, bottom)
        for y in range(64):
            for x in range(64):
                inside = rounded_inside(x, y, 64, 64, r)
                inner = rounded_inside(x - 1, y - 1, 62, 62, r - 1) if 0 < x < 63 and 0 < y < 63 else False
                if not inside:
                    c.put(l + x, y, MAGENTA)
                    c.put(l + x, 64 + y, WHITE)
                else:
                    if not inner:
                        c.put(l + x, y, edge)
                    c.put(l + x, 64 + y, BLACK)
    return c


# ---- PNG images ---------------------------------------------------------------------------------

def glow(size, margin, colour, strength):
    """A soft ring that fades outwards from an inner rectangle `margin` pixels in."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx = max(margin - x, 0, x - (size - 1 - margin))
            dy = max(margin - y, 0, y - (size - 1 - margin))
            d = (dx * dx + dy * dy) ** 0.5
            if d == 0:
                row.append((255, 255, 255, 0))  # the see-through centre
                continue
            a = max(0.0, 1.0 - d / margin) ** 2 * strength
            row.append(colour + (round(a * 255),) if a > 0 else (255, 255, 255, 0))
        rows.append(row)
    return rows


def draw_ext_bord():
    """Two 50 x 80 frames: a shadow around a form, inactive then active."""
    w, h = 100, 80
    rows = [[(255, 255, 255, 0)] * w for _ in range(h)]
    ml, mt, mr, mb = 22, 52, 22, 22
    for f, (colour, strength) in enumerate([((0, 0, 0), 0.55), ((0x0B, 0x40, 0x5A), 0.75)]):
        for y in range(h):
            for x in range(50):
                dx = max(ml - x, 0, x - (50 - 1 - mr))
                dy = max(mt - 30 - y, 0, y - (h - 1 - mb))  # the shadow starts under the title band
                d = (dx * dx + dy * dy) ** 0.5
                if dx == 0 and dy == 0:
                    continue
                a = max(0.0, 1.0 - d / 22) ** 2 * strength
                if a > 0:
                    rows[y][50 * f + x] = colour + (round(a * 255),)
    return w, h, rows


def main():
    write_bmp_core(os.path.join(HERE, "Master copy.bmp"), draw_master())
    write_bmp_core(os.path.join(HERE, "BtnHuge.bmp"), draw_btn_huge())
    w, h, rows = draw_ext_bord()
    write_png_rgba(os.path.join(HERE, "ExtBord.png"), w, h, rows)
    write_png_rgba(os.path.join(HERE, "GlowEdit.png"), 22, 22, glow(22, 10, ACCENT, 0.8))
    write_png_rgba(os.path.join(HERE, "GlowH.png"), 108, 108, glow(108, 40, ACCENT, 0.7))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Draws the configuration program's pictures, all of them anew for this product.

Writes into the folder given as the only argument:
  FindWindowOff.bmp, FindWindowOn.bmp  the window picker at rest and while it is dragged
                                       (32x32, 16 colours; the bottom-left pixel is see-through)
  FindWindow.cur                       the picker's cursor (32x32 monochrome, hot spot 15,16)
  HandCursor.cur, DragCursor.cur       the form placement library's pointing hand and drag
                                       cursors (32x32 monochrome)
  TreeImages.bmp                       10 node images of the rule tree (16x16 each, one strip)
  TreeStateImages.bmp                  3 state images: none, disabled, enabled
  ToolBarImages.bmp                    5 command images: save, add rule, delete rule, help, launch
  Logo.bmp                             the about panel's logo (97x73; bottom-left pixel see-through)
  GlazloConfig.ico                     the program icon (16, 32 and 48 pixels, 32-bit with alpha)
The strips are 24-bit with magenta (255,0,255) as their mask colour."""
import math
import struct
import sys
from pathlib import Path

from icofile import ico

MASK = (255, 0, 255)

# The 16 colours of the standard VGA palette, in palette order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARKRED, DARKGREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, GREEN, YELLOW, BLUE, \
    MAGENTA, CYAN, WHITE = VGA


class Canvas:
    """RGB pixels, row 0 at the top."""

    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Filled, both corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def box(self, x0, y0, x1, y1, c):
        """Outline, both corners inclusive."""
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def ring(self, cx, cy, r, c, width=1.0):
        for y in range(self.h):
            for x in range(self.w):
                if abs(math.hypot(x - cx, y - cy) - r) < width / 2 + 0.25:
                    self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if math.hypot(x - cx, y - cy) <= r:
                    self.put(x, y, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.put(ox + x, oy + y, other.px[y][x])


def bmp(canvas, palette=None):
    """A BMP file: 4 bits per pixel over the palette when one is given, else 24 bits."""
    bits = 4 if palette else 24
    stride = ((canvas.w * bits + 31) // 32) * 4
    rows = b""
    for row in reversed(canvas.px):
        if palette:
            idx = [palette.index(c) for c in row] + [0]
            data = bytes((idx[i] << 4) | (idx[i + 1] if i + 1 < canvas.w else 0) for i in range(0, canvas.w, 2))
        else:
            data = b"".join(struct.pack("<BBB", b, g, r) for (r, g, b) in row)
        rows += data + b"\0" * (stride - len(data))
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette) if palette else b""
    offset = 14 + 40 + len(pal)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, bits, 0, len(rows), 2835, 2835,
                       len(palette) if palette else 0, 0)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + pal + rows


# The picker: a small window with a crosshair target on it. At rest the target sits on the
# window; while the user drags, the target is on the cursor and the window shows empty.
def picker(with_target):
    c = Canvas(32, 32, MAGENTA)
    c.rect(3, 3, 28, 28, WHITE)
    c.box(2, 2, 29, 29, BLACK)
    c.rect(3, 3, 28, 7, NAVY)  # caption bar
    c.rect(24, 4, 27, 6, SILVER)  # close button
    c.line(4, 28, 28, 28, GREY)
    c.line(28, 8, 28, 28, GREY)
    if with_target:
        target(c, 15, 17, DARKRED)
    return c


def target(c, cx, cy, colour):
    c.ring(cx, cy, 7, colour, 1.2)
    c.ring(cx, cy, 3, colour, 1.0)
    c.line(cx, cy - 10, cx, cy - 2, colour)
    c.line(cx, cy + 2, cx, cy + 10, colour)
    c.line(cx - 10, cy, cx - 2, cy, colour)
    c.line(cx + 2, cy, cx + 10, cy, colour)


def cursor():
    """Monochrome cursor: a crosshair target whose centre, the hot spot, is 15,16."""
    hx, hy = 15, 16
    shape = Canvas(32, 32, None)
    for (x, y) in [(x, y) for y in range(32) for x in range(32)]:
        d = math.hypot(x - hx, y - hy)
        on_ring = abs(d - 8) < 0.8 or abs(d - 3) < 0.7
        on_cross = (x == hx and 2 <= abs(y - hy) <= 12) or (y == hy and 2 <= abs(x - hx) <= 12)
        if on_ring or on_cross:
            shape.put(x, y, "black")
    # A white halo keeps the black shape visible over dark windows.
    for y in range(32):
        for x in range(32):
            if shape.px[y][x] is None and any(
                    shape.px[y + dy][x + dx] == "black" for dy in (-1, 0, 1) for dx in (-1, 0, 1)
                    if 0 <= x + dx < 32 and 0 <= y + dy < 32):
                shape.put(x, y, "white")
    return cursor_file(shape, hx, hy)


def outlined(inside):
    """A cursor shape from a set of points: black along its edge, white within."""
    shape = Canvas(32, 32, None)
    for (x, y) in inside:
        edge = any((x + dx, y + dy) not in inside for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        shape.put(x, y, "black" if edge else "white")
    return shape


def hand_cursor():
    """RX_HANDCUR: a hand that points up with its index finger, whose tip is the hot spot."""
    inside = set()
    for y in range(32):
        for x in range(32):
            finger = 6 <= x <= 10 and 1 <= y <= 14 and math.hypot(x - 8, y - 3) <= 2.6 or \
                6 <= x <= 10 and 3 <= y <= 14
            knuckles = 8 <= y and any(k <= x <= k + 3 for k in (10, 14, 18))
            palm = 6 <= x <= 21 and 12 <= y <= 24
            thumb = 2 <= x <= 6 and 13 <= y <= 19 and x + 4 >= y - 10
            if (finger or knuckles or palm or thumb) and y <= 24:
                inside.add((x, y))
    return cursor_file(outlined(inside), 8, 1)


def drag_cursor():
    """RX_DRAGCUR: the arrow with a sheet under it, the arrow's tip the hot spot."""
    inside = set()
    for y in range(32):
        for x in range(32):
            arrow = y <= 15 and x <= y * 0.65 + 1
            tail = 3 <= x <= 5 + (y - 12) // 2 and 12 <= y <= 19 and x >= (y - 12) // 2 + 3
            sheet = 12 <= x <= 24 and 18 <= y <= 29
            if arrow or tail or sheet:
                inside.add((x, y))
    return cursor_file(outlined(inside), 0, 0)


def cursor_file(shape, hx, hy):
    """A .cur file of one 32x32 monochrome image: None is see-through, "white" and "black" show."""
    xor_rows, and_rows = b"", b""
    for row in reversed(shape.px):
        xor_bits, and_bits = bytearray(4), bytearray(4)
        for x, p in enumerate(row):
            if p is None:
                and_bits[x // 8] |= 0x80 >> (x % 8)
            elif p == "white":
                xor_bits[x // 8] |= 0x80 >> (x % 8)
        xor_rows += bytes(xor_bits)
        and_rows += bytes(and_bits)
    image = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    image += struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0) + xor_rows + and_rows
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 2, 0, hx, hy, len(image), 22) + image


def pane(c, x0, y0, x1, y1):
    """A small window: frame, blue caption, white client."""
    c.rect(x0, y0, x1, y1, WHITE)
    c.box(x0, y0, x1, y1, NAVY)
    c.rect(x0, y0, x1, y0 + 2, NAVY)


def tree_images():
    icons = []
    # 0: the configuration (a stack of panes)
    c = Canvas(16, 16, MASK)
    pane(c, 4, 1, 14, 9)
    pane(c, 1, 5, 11, 14)
    icons.append(c)
    # 1: a window rule (a pane with a ruled list)
    c = Canvas(16, 16, MASK)
    pane(c, 1, 1, 14, 14)
    for y in (6, 9, 12):
        c.line(3, y, 12, y, GREY)
    icons.append(c)
    # 2: a condition (a question mark on a pane)
    c = Canvas(16, 16, MASK)
    pane(c, 1, 1, 14, 14)
    for (x, y) in [(6, 5), (7, 4), (8, 4), (9, 5), (9, 6), (8, 7), (7, 8), (7, 9), (7, 12)]:
        c.put(x, y, DARKRED)
    icons.append(c)
    # 3: conditions (a funnel)
    c = Canvas(16, 16, MASK)
    for y in range(2, 8):
        c.line(1 + (y - 2), y, 14 - (y - 2), y, TEAL)
    c.rect(6, 8, 9, 14, TEAL)
    icons.append(c)
    # 4: an agent (a small gear wheel)
    c = Canvas(16, 16, MASK)
    c.disc(7.5, 7.5, 5.5, GREY)
    for a in range(8):
        t = a * math.pi / 4
        c.disc(7.5 + 6 * math.cos(t), 7.5 + 6 * math.sin(t), 1.3, GREY)
    c.disc(7.5, 7.5, 2, MASK)
    icons.append(c)
    # 5: agents (two gear wheels)
    c = Canvas(16, 16, MASK)
    c.disc(5, 5, 4, GREY)
    c.disc(5, 5, 1.5, MASK)
    c.disc(11, 11, 4, OLIVE)
    c.disc(11, 11, 1.5, MASK)
    icons.append(c)
    # 6: an action (a lightning bolt)
    c = Canvas(16, 16, MASK)
    for (x0, y0, x1, y1) in [(9, 1, 5, 8), (5, 8, 10, 8), (10, 8, 6, 14), (10, 1, 6, 8), (11, 8, 7, 14)]:
        c.line(x0, y0, x1, y1, OLIVE)
    c.line(9, 2, 6, 7, YELLOW)
    icons.append(c)
    # 7: actions (two bolts)
    c = Canvas(16, 16, MASK)
    for ox in (0, 6):
        c.line(5 + ox, 1, 2 + ox, 8, OLIVE)
        c.line(2 + ox, 8, 6 + ox, 8, OLIVE)
        c.line(6 + ox, 8, 3 + ox, 14, OLIVE)
    icons.append(c)
    # 8: a trigger (a bell)
    c = Canvas(16, 16, MASK)
    for y in range(3, 12):
        half = 2 + (y - 3) // 2
        c.line(7 - half, y, 8 + half, y, YELLOW)
    c.line(2, 12, 13, 12, OLIVE)
    c.rect(7, 13, 8, 14, OLIVE)
    c.rect(7, 1, 8, 2, OLIVE)
    icons.append(c)
    # 9: triggers (a clock face)
    c = Canvas(16, 16, MASK)
    c.disc(7.5, 7.5, 6.5, WHITE)
    c.ring(7.5, 7.5, 6.5, NAVY, 1.2)
    c.line(7, 7, 7, 3, BLACK)
    c.line(7, 7, 10, 9, BLACK)
    icons.append(c)
    return strip(icons)


def state_images():
    icons = [Canvas(16, 16, MASK)]
    for ticked in (False, True):
        c = Canvas(16, 16, MASK)
        c.rect(2, 2, 13, 13, WHITE)
        c.box(2, 2, 13, 13, GREY)
        if ticked:
            for i, (x, y) in enumerate([(4, 7), (5, 8), (6, 9), (7, 8), (8, 7), (9, 6), (10, 5), (11, 4)]):
                c.rect(x, y, x, y + 2, DARKGREEN)
        icons.append(c)
    return strip(icons)


def toolbar_images():
    icons = []
    # 0: save (a diskette)
    c = Canvas(16, 16, MASK)
    c.rect(1, 1, 14, 14, NAVY)
    c.rect(4, 1, 11, 6, WHITE)
    c.rect(9, 2, 10, 5, NAVY)
    c.rect(3, 9, 12, 14, SILVER)
    icons.append(c)
    # 1: add a rule (a pane with a green plus)
    c = Canvas(16, 16, MASK)
    pane(c, 1, 1, 11, 11)
    c.rect(11, 8, 12, 15, DARKGREEN)
    c.rect(8, 11, 15, 12, DARKGREEN)
    icons.append(c)
    # 2: delete a rule (a pane with a red cross)
    c = Canvas(16, 16, MASK)
    pane(c, 1, 1, 11, 11)
    for d in range(6):
        c.rect(9 + d, 9 + d, 10 + d, 9 + d, RED)
        c.rect(9 + d, 14 - d, 10 + d, 14 - d, RED)
    icons.append(c)
    # 3: help contents (a blue disc with a question mark)
    c = Canvas(16, 16, MASK)
    c.disc(7.5, 7.5, 7, BLUE)
    for (x, y) in [(6, 4), (7, 3), (8, 3), (9, 4), (9, 5), (8, 6), (7, 7), (7, 8), (7, 11)]:
        c.rect(x, y, x, y, WHITE)
    icons.append(c)
    # 4: launch the resident program (a green play triangle on a pane)
    c = Canvas(16, 16, MASK)
    for x in range(4, 13):
        half = (12 - x) * 6 // 8
        c.line(x, 7 - half, x, 8 + half, GREEN)
    c.line(4, 1, 4, 14, DARKGREEN)
    icons.append(c)
    return strip(icons)


def strip(icons):
    out = Canvas(16 * len(icons), 16, MASK)
    for i, icon in enumerate(icons):
        out.blit(icon, 16 * i, 0)
    return out


def logo():
    """Two overlapping panes of glass, the front one see-through, and the product's mark."""
    c = Canvas(97, 73, MASK)
    c.rect(6, 4, 62, 48, (40, 60, 140))
    c.box(6, 4, 62, 48, (20, 30, 90))
    c.rect(7, 5, 61, 11, (20, 30, 90))
    for y in range(20, 64):
        for x in range(30, 90):
            under = 6 <= x <= 62 and 4 <= y <= 48
            base = (40, 60, 140) if under else (220, 230, 245)
            glass = (120, 190, 230)
            c.put(x, y, tuple((b + g) // 2 for b, g in zip(base, glass)))
    c.box(30, 20, 89, 63, (20, 90, 140))
    for i in range(10):
        c.line(40 + i, 26, 32 + i, 40, (240, 250, 255))
    # "G" in block letters at the lower left
    g = (20, 30, 90)
    c.rect(8, 54, 25, 56, g)
    c.rect(8, 54, 10, 70, g)
    c.rect(8, 68, 25, 70, g)
    c.rect(23, 62, 25, 70, g)
    c.rect(17, 62, 25, 64, g)
    c.put(0, 72, MASK)
    return c


def icon_file():
    def pixels(size):
        px = []
        for y in range(size):
            row = []
            for x in range(size):
                u, v = x / size, y / size
                back = 0.08 <= u < 0.62 and 0.08 <= v < 0.62
                front = 0.38 <= u < 0.92 and 0.38 <= v < 0.92
                if front:
                    rim = min(u - 0.38, 0.92 - u, v - 0.38, 0.92 - v) < 1.5 / size
                    row.append((140, 90, 20, 255) if rim else (235, 200, 130, 170))
                elif back:
                    rim = min(u - 0.08, 0.62 - u, v - 0.08, 0.62 - v) < 1.5 / size
                    row.append((90, 40, 20, 255) if rim else (150, 70, 40, 255))
                else:
                    row.append((0, 0, 0, 0))
            px.append(row)
        return px

    return ico([pixels(s) for s in (16, 32, 48)])


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "FindWindowOff.bmp").write_bytes(bmp(picker(True), VGA))
    (folder / "FindWindowOn.bmp").write_bytes(bmp(picker(False), VGA))
    (folder / "FindWindow.cur").write_bytes(cursor())
    (folder / "HandCursor.cur").write_bytes(hand_cursor())
    (folder / "DragCursor.cur").write_bytes(drag_cursor())
    (folder / "TreeImages.bmp").write_bytes(bmp(tree_images()))
    (folder / "TreeStateImages.bmp").write_bytes(bmp(state_images()))
    (folder / "ToolBarImages.bmp").write_bytes(bmp(toolbar_images()))
    (folder / "Logo.bmp").write_bytes(bmp(logo()))
    (folder / "GlazloConfig.ico").write_bytes(icon_file())


if __name__ == "__main__":
    main()

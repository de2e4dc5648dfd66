#!/usr/bin/env python3
"""Draws the artwork of vellox's main window with the standard library only.

Writes, into this folder:
  toolbar.bmp      "VLXS_TOOLBAR": 8 images of 16 x 16, 8-bit, background
                   RGB 192,192,192 (the mask colour): print, cancel print,
                   environment settings, delete, delete all, properties,
                   version, preview
  printer.bmp      "PRINTER_ICON": 11 frames of 32 x 32, 8-bit, background
                   RGB 0,0,1 (the mask colour): frames 0-5 the print head
                   moving, 6-10 paper coming out with ink on it; frames 0 and
                   6 are the idle pictures
  job_printing.ico icon 113, job_idle.ico icon 114, job_waiting.ico icon 115:
                   16 x 16 and 32 x 32, 4-bit with mask
  sepa_lr.cur      "SEPA_LR": the splitter's up/down resize cursor
The output is the same bytes on every run.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

GREY = (192, 192, 192)
MASK_ANIM = (0, 0, 1)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
DARK = (64, 64, 64)
MID = (128, 128, 128)
LIGHT = (224, 224, 224)
BODY = (96, 112, 144)
BODY_DARK = (48, 56, 80)
RED = (208, 32, 32)
GREEN = (32, 160, 64)
BLUE = (32, 80, 200)
YELLOW = (240, 200, 40)
CYAN = (32, 176, 224)
MAGENTA = (208, 32, 128)
BROWN = (150, 100, 40)


class Canvas:
    def __init__(self, w, h, bg):
        self.w, self.h = w, h
        self.px = [[bg] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):  # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def box(self, x0, y0, x1, y1, fill, edge):
        self.fill(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if (r - 0.5) ** 2 <= d <= (r + 0.5) ** 2:
                    self.set(x, y, c)

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.set(ox + x, oy + y, other.px[y][x])

    def cross(self, x0, y0, size, c):
        for i in range(size):
            for t in (0, 1):
                self.set(x0 + i + t, y0 + i, c)
                self.set(x0 + size - 1 - i + t, y0 + i, c)


# ---- toolbar: 16 x 16 each ----------------------------------------------------

def small_printer(c, ox=0, oy=0):
    c.box(ox + 4, oy + 1, ox + 11, oy + 6, WHITE, DARK)  # paper in
    c.box(ox + 1, oy + 6, ox + 14, oy + 12, LIGHT, DARK)  # body
    c.fill(ox + 2, oy + 7, ox + 13, oy + 7, WHITE)
    c.set(ox + 12, oy + 9, GREEN)
    c.box(ox + 3, oy + 11, ox + 12, oy + 14, WHITE, DARK)  # paper out
    c.line(ox + 5, oy + 12, ox + 10, oy + 12, BLUE)


def icon_print():
    c = Canvas(16, 16, GREY)
    small_printer(c)
    return c


def icon_cancel():
    c = Canvas(16, 16, GREY)
    small_printer(c)
    c.cross(7, 7, 8, RED)
    return c


def icon_settings():
    c = Canvas(16, 16, GREY)
    for dx, dy in ((0, -6), (0, 6), (-6, 0), (6, 0)):
        c.fill(7 + dx - (dx == 0), 7 + dy - (dy == 0), 8 + dx + (dx == 0), 8 + dy + (dy == 0), DARK)
    for dx, dy in ((-4, -4), (4, 4), (-4, 4), (4, -4)):
        c.fill(7 + dx, 7 + dy, 8 + dx, 8 + dy, DARK)
    c.disc(7.5, 7.5, 4.6, MID)
    c.ring(7.5, 7.5, 4.6, DARK)
    c.disc(7.5, 7.5, 2, GREY)
    c.ring(7.5, 7.5, 2, DARK)
    return c


def trash(c, ox, oy, body):
    c.fill(ox + 2, oy + 2, ox + 11, oy + 3, DARK)  # lid
    c.fill(ox + 5, oy + 1, ox + 8, oy + 1, DARK)
    c.box(ox + 3, oy + 4, ox + 10, oy + 13, body, DARK)
    for x in (5, 7, 9):
        c.line(ox + x, oy + 6, ox + x, oy + 11, DARK if x != 7 else MID)


def icon_delete():
    c = Canvas(16, 16, GREY)
    trash(c, 1, 1, LIGHT)
    return c


def icon_delete_all():
    c = Canvas(16, 16, GREY)
    for i in (0, 2, 4):
        c.box(i, 4 - i // 2 * 1, i + 8, 14 - i // 2 * 1, WHITE, DARK)
    c.cross(7, 6, 8, RED)
    return c


def page(c, x0, y0, x1, y1):
    c.box(x0, y0, x1, y1, WHITE, DARK)
    for y in range(y0 + 2, y1 - 1, 2):
        c.line(x0 + 2, y, x1 - 2, y, MID)


def icon_properties():
    c = Canvas(16, 16, GREY)
    page(c, 2, 1, 11, 14)
    c.line(8, 13, 14, 7, BROWN)  # pencil
    c.line(9, 13, 14, 8, YELLOW)
    c.set(8, 14, BLACK)
    return c


def icon_version():
    c = Canvas(16, 16, GREY)
    c.disc(7.5, 7.5, 7, BLUE)
    c.fill(7, 3, 8, 4, WHITE)
    c.fill(7, 6, 8, 12, WHITE)
    c.fill(6, 6, 6, 6, WHITE)
    c.fill(6, 12, 9, 12, WHITE)
    return c


def icon_preview():
    c = Canvas(16, 16, GREY)
    page(c, 1, 1, 10, 14)
    c.disc(10, 8, 3.6, CYAN)
    c.ring(10, 8, 3.6, BLACK)
    c.line(12, 11, 15, 14, BROWN)
    c.line(13, 11, 15, 13, BROWN)
    return c


TOOLBAR = [icon_print, icon_cancel, icon_settings, icon_delete, icon_delete_all, icon_properties, icon_version,
           icon_preview]


# ---- printer animation: 32 x 32 each -----------------------------------------

def printer_body(c):
    c.box(2, 8, 29, 22, LIGHT, BODY_DARK)  # case
    c.fill(3, 9, 28, 10, WHITE)
    c.box(4, 12, 27, 15, BODY_DARK, BLACK)  # carriage slot
    c.box(22, 18, 27, 20, BODY, BODY_DARK)  # panel
    c.set(24, 19, GREEN)
    c.fill(5, 23, 26, 24, BODY_DARK)  # paper exit


def head_frame(step):
    c = Canvas(32, 32, MASK_ANIM)
    c.box(6, 2, 25, 8, WHITE, MID)  # roll paper behind
    printer_body(c)
    x = 5 + step * 17 // 5  # the head travels left to right over six steps
    c.box(x, 11, x + 5, 16, RED if step % 2 else MAGENTA, BLACK)
    c.fill(x + 1, 17, x + 4, 17, CYAN if step % 2 == 0 else YELLOW)  # ink spray
    return c


def paper_frame(step):
    c = Canvas(32, 32, MASK_ANIM)
    c.box(6, 2, 25, 8, WHITE, MID)
    printer_body(c)
    length = 1 + step * 2  # the sheet grows out of the exit
    if length > 1:
        c.box(6, 24, 25, 24 + length, WHITE, MID)
        colours = [CYAN, MAGENTA, YELLOW, BLACK]
        for i in range(1, length - 1):
            c.line(8, 24 + i, 8 + (i * 5) % 15, 24 + i, colours[i % 4])
    return c


FRAMES = [lambda s=s: head_frame(s) for s in range(6)] + [lambda s=s: paper_frame(s) for s in range(5)]


# ---- list icons: 16 and 32 pixels, 16 colours ---------------------------------

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
       (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
       (255, 255, 255)]
NONE = None  # transparent


def job_page(c, k):
    c.box(2 * k, 1 * k, 11 * k + k - 1, 14 * k + k - 1, (255, 255, 255), (0, 0, 0))
    for y in range(3, 13, 2):
        c.fill(4 * k, y * k, 9 * k + k - 1, y * k + (k // 2), (128, 128, 128))


def job_idle(k):
    c = Canvas(16 * k, 16 * k, NONE)
    job_page(c, k)
    return c


def job_waiting(k):
    c = Canvas(16 * k, 16 * k, NONE)
    job_page(c, k)
    r = 4.2 * k
    cx, cy = 11 * k, 11 * k
    c.disc(cx, cy, r, (255, 255, 0))
    c.ring(cx, cy, r, (0, 0, 0))
    c.line(round(cx), round(cy), round(cx), round(cy - r + k), (0, 0, 0))
    c.line(round(cx), round(cy), round(cx + r - 1.5 * k), round(cy), (0, 0, 0))
    return c


def job_printing(k):
    c = Canvas(16 * k, 16 * k, NONE)
    job_page(c, k)
    # a green arrow pointing down into a tray
    for i in range(4 * k):
        half = (4 * k - 1 - i) * 3 // 4
        c.fill(11 * k - half, 8 * k + i, 11 * k + half, 8 * k + i, (0, 128, 0))
    c.fill(10 * k, 3 * k, 12 * k, 8 * k, (0, 128, 0))
    c.fill(7 * k, 13 * k, 15 * k, 14 * k + k - 1, (0, 0, 128))
    return c


# ---- file writers --------------------------------------------------------------

def row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def pack_row(indices, bits):
    out = bytearray()
    acc, n = 0, 0
    for v in indices:
        acc = (acc << bits) | v
        n += bits
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    if n:
        out.append(acc << (8 - n))
    return out


def dib(canvas, palette, bits, index_of, height_factor=1):
    """BITMAPINFOHEADER, palette and bottom-up rows."""
    w, h = canvas.w, canvas.h
    stride = row_bytes(bits, w)
    rows = bytearray()
    for y in reversed(range(h)):
        r = pack_row([index_of(canvas.px[y][x]) for x in range(w)], bits)
        rows += r + bytes(stride - len(r))
    header = struct.pack('<IiiHHIIiiII', 40, w, h * height_factor, 1, bits, 0, len(rows), 2835, 2835, len(palette),
                         len(palette))
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    return header + pal + rows


def write_bmp8(path, canvas):
    palette = []
    for row in canvas.px:
        for p in row:
            if p not in palette:
                palette.append(p)
    assert len(palette) <= 256
    body = dib(canvas, palette, 8, palette.index)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(body), 0, 0, 14 + 40 + 4 * len(palette)) + body)


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def and_mask(canvas, transparent):
    stride = row_bytes(1, canvas.w)
    out = bytearray()
    for y in reversed(range(canvas.h)):
        r = pack_row([1 if transparent(canvas.px[y][x]) else 0 for x in range(canvas.w)], 1)
        out += r + bytes(stride - len(r))
    return out


def icon_image(canvas):
    """A 4-bit icon image: colour bits (transparent pixels black) and mask."""
    index = lambda p: 0 if p is NONE else nearest(p, VGA)
    return dib(canvas, VGA, 4, index, 2) + and_mask(canvas, lambda p: p is NONE)


def write_icon_file(path, kind, images, hotspots=None):
    """kind 1 = icon, 2 = cursor; images are (canvas, image bytes)."""
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = b''
    for i, (canvas, blob) in enumerate(images):
        if kind == 1:
            planes, bits, colours = 1, 4, 16
        else:
            planes, bits = hotspots[i]
            colours = 2
        out += struct.pack('<BBBBHHII', canvas.w % 256, canvas.h % 256, colours % 256, 0, planes, bits, len(blob),
                           offset + len(blobs))
        blobs += blob
    with open(path, 'wb') as f:
        f.write(out + blobs)


def cursor_image():
    """Monochrome up/down resize cursor: two arrows and a double bar."""
    c = Canvas(32, 32, NONE)
    cx = 15

    def arrow(tip, direction):
        for i in range(5):
            y = tip + direction * i
            c.fill(cx - i - 1, y, cx + i + 1, y, BLACK)
            c.fill(cx - i, y, cx + i, y, WHITE)
        for y in range(tip + direction * 5, tip + direction * 9, direction):
            c.fill(cx - 2, y, cx + 2, y, BLACK)
            c.fill(cx - 1, y, cx + 1, y, WHITE)

    arrow(4, 1)
    arrow(26, -1)
    for y in (13, 17):
        c.fill(4, y - 1, 26, y + 1, BLACK)
        c.fill(5, y, 25, y, WHITE)
    c.fill(cx - 1, 12, cx + 1, 18, BLACK)
    c.fill(cx, 13, cx, 17, WHITE)
    # 1-bit: palette black, white; transparent pixels are 0 with mask 1.
    index = lambda p: 1 if p == WHITE else 0
    blob = dib(c, [BLACK, WHITE], 1, index, 2) + and_mask(c, lambda p: p is NONE)
    return c, blob, (cx, 15)


def main():
    strip = Canvas(16 * len(TOOLBAR), 16, GREY)
    for i, draw in enumerate(TOOLBAR):
        strip.paste(draw(), 16 * i, 0)
    write_bmp8(os.path.join(HERE, 'toolbar.bmp'), strip)

    anim = Canvas(32 * len(FRAMES), 32, MASK_ANIM)
    for i, draw in enumerate(FRAMES):
        anim.paste(draw(), 32 * i, 0)
    write_bmp8(os.path.join(HERE, 'printer.bmp'), anim)

    for name, draw in (('job_printing.ico', job_printing), ('job_idle.ico', job_idle),
                       ('job_waiting.ico', job_waiting)):
        images = [(draw(k), None) for k in (1, 2)]
        write_icon_file(os.path.join(HERE, name), 1, [(c, icon_image(c)) for c, _ in images])

    c, blob, hotspot = cursor_image()
    write_icon_file(os.path.join(HERE, 'sepa_lr.cur'), 2, [(c, blob)], [hotspot])


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Draws the pictures of tarnwick.exe into app/res/ (icons, bitmaps, the PNG).

Run by hand after changing a picture; the files it writes are committed.
With --search-plugins DIR it draws only the icons of the shipped search
plugins (one GIF, one JPEG, one PNG and one ICO) into DIR; the build does
that into bin/SearchPlugins/.
Python 3 standard library only. Designs are laid out on a 16 x 16 grid and
scaled for larger sizes; edges are anti-aliased by 4 x 4 supersampling.
"""
import math
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "res")

# ---------------------------------------------------------------- canvas


class Canvas:
    def __init__(self, width, height, scale=1.0):
        self.w, self.h, self.s = width, height, scale
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def fill(self, inside, color, box=None):
        """Paints colour (r, g, b[, a]) where inside(x, y) holds, x/y in design units."""
        r, g, b = color[:3]
        a_max = color[3] if len(color) > 3 else 1.0
        x0, y0, x1, y1 = 0, 0, self.w, self.h
        if box:
            x0 = max(0, int(box[0] * self.s) - 1)
            y0 = max(0, int(box[1] * self.s) - 1)
            x1 = min(self.w, int(box[2] * self.s) + 2)
            y1 = min(self.h, int(box[3] * self.s) + 2)
        n = 4
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside((px + (sx + 0.5) / n) / self.s, (py + (sy + 0.5) / n) / self.s):
                            hits += 1
                if not hits:
                    continue
                a = a_max * hits / (n * n)
                dr, dg, db, da = self.px[py][px]
                oa = a + da * (1 - a)
                if oa <= 0:
                    continue
                self.px[py][px] = (
                    (r * a + dr * da * (1 - a)) / oa,
                    (g * a + dg * da * (1 - a)) / oa,
                    (b * a + db * da * (1 - a)) / oa,
                    oa,
                )

    # shapes, in design units
    def rect(self, x0, y0, x1, y1, c):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, c, (x0, y0, x1, y1))

    def rrect(self, x0, y0, x1, y1, rad, c):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + rad), x1 - rad)
            cy = min(max(y, y0 + rad), y1 - rad)
            return (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad
        self.fill(inside, c, (x0, y0, x1, y1))

    def circle(self, cx, cy, rad, c):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad, c,
                  (cx - rad, cy - rad, cx + rad, cy + rad))

    def ring(self, cx, cy, r0, r1, c, a0=0.0, a1=360.0):
        def inside(x, y):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if not (r0 * r0 <= d <= r1 * r1):
                return False
            ang = math.degrees(math.atan2(y - cy, x - cx)) % 360
            return (a0 <= ang <= a1) if a0 <= a1 else (ang >= a0 or ang <= a1)
        self.fill(inside, c, (cx - r1, cy - r1, cx + r1, cy + r1))

    def line(self, x0, y0, x1, y1, wid, c):
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy or 1e-9
        hw = wid / 2.0

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll))
            return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= hw * hw
        self.fill(inside, c, (min(x0, x1) - hw, min(y0, y1) - hw, max(x0, x1) + hw, max(y0, y1) + hw))

    def poly(self, pts, c):
        def inside(x, y):
            odd = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    odd = not odd
                j = i
            return odd
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.fill(inside, c, (min(xs), min(ys), max(xs), max(ys)))

    def rgba8(self):
        out = []
        for row in self.px:
            out.append([(round(r * 255), round(g * 255), round(b * 255), round(a * 255)) for r, g, b, a in row])
        return out


def hexc(text, a=1.0):
    text = text.lstrip("#")
    return (int(text[0:2], 16) / 255, int(text[2:4], 16) / 255, int(text[4:6], 16) / 255, a)


WHITE = hexc("ffffff")
OUTLINE = hexc("1f2a44")

# ---------------------------------------------------------------- designs (16 x 16 grid)


def badge(c, fill, edge):
    c.circle(8, 8, 7.5, edge)
    c.circle(8, 8, 6.5, fill)
    c.fill(lambda x, y: (x - 8) ** 2 + (y - 8) ** 2 <= 42 and y < 7, (1, 1, 1, 0.18))


def draw_program(c):
    # Blue tile with a white process tree: a root and two children.
    c.rrect(0.5, 0.5, 15.5, 15.5, 3, hexc("1d4f91"))
    c.rrect(1.5, 1.5, 14.5, 14.5, 2.2, hexc("2f74c8"))
    c.rect(4, 4, 5, 12.5, WHITE)
    c.rect(4, 7, 9, 8, WHITE)
    c.rect(4, 11.5, 9, 12.5, WHITE)
    c.rect(2.5, 2.5, 7, 5.5, WHITE)
    c.rect(8.5, 5.5, 13.5, 9.5, hexc("ffd54a"))
    c.rect(8.5, 10, 13.5, 14, hexc("ffd54a"))


def draw_process(c):
    # An application window with a title bar.
    c.rect(0.5, 1.5, 15.5, 14.5, OUTLINE)
    c.rect(1.5, 2.5, 14.5, 5.5, hexc("2f74c8"))
    c.rect(1.5, 5.5, 14.5, 13.5, WHITE)
    c.rect(11.5, 3.2, 13.5, 4.8, WHITE)
    c.rect(3, 7.5, 11, 8.5, hexc("9aa7bd"))
    c.rect(3, 10, 9, 11, hexc("9aa7bd"))


def gear(c, cx, cy, r_out, r_in, r_hole, color, hole):
    teeth = 8

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        ang = math.atan2(y - cy, x - cx)
        tooth = (math.cos(ang * teeth) > 0.0)
        return d <= (r_out if tooth else r_in) and d >= r_hole
    c.fill(inside, color, (cx - r_out, cy - r_out, cx + r_out, cy + r_out))
    if hole:
        c.circle(cx, cy, r_hole, hole)


def draw_module(c, body=hexc("3b8f5a"), edge=hexc("1e5233")):
    # A building block: a cube seen from the front with a lighter top face.
    c.poly([(2, 5), (8, 2), (14, 5), (14, 12), (8, 15), (2, 12)], edge)
    c.poly([(3, 5.4), (8, 3), (13, 5.4), (8, 7.8)], hexc("8fd19e"))
    c.poly([(3, 6.3), (7.5, 8.6), (7.5, 13.8), (3, 11.5)], body)
    c.poly([(8.5, 8.6), (13, 6.3), (13, 11.5), (8.5, 13.8)], hexc("2c7448"))


def draw_relocated(c):
    draw_module(c, hexc("c27a1b"), hexc("6b3f07"))
    # an arrow: moved away from its base
    c.circle(11.5, 11.5, 4.5, WHITE)
    c.line(8.8, 11.5, 13.2, 11.5, 1.6, hexc("c0392b"))
    c.poly([(11.5, 8.6), (14.6, 11.5), (11.5, 14.4)], hexc("c0392b"))


def draw_service(c):
    gear(c, 8, 8, 7.4, 5.6, 2.3, hexc("5b6b84"), None)
    gear(c, 8, 8, 6.4, 4.7, 2.3, hexc("8a9ab3"), None)
    c.ring(8, 8, 2.3, 3.2, hexc("5b6b84"))


def draw_help(c):
    badge(c, hexc("2f74c8"), hexc("1d4f91"))
    c.ring(8, 6.2, 1.6, 3.2, WHITE, 180, 60)
    c.line(9.6, 7.9, 8, 9.2, 1.6, WHITE)
    c.line(8, 9.2, 8, 10.2, 1.6, WHITE)
    c.circle(8, 12.3, 1.05, WHITE)


def draw_cancel(c):
    badge(c, hexc("d64541"), hexc("8e2420"))
    c.line(5.3, 5.3, 10.7, 10.7, 2.0, WHITE)
    c.line(10.7, 5.3, 5.3, 10.7, 2.0, WHITE)


def draw_ok(c):
    badge(c, hexc("3ba55c"), hexc("1e6b37"))
    c.line(4.6, 8.3, 7.0, 10.8, 2.0, WHITE)
    c.line(7.0, 10.8, 11.6, 5.2, 2.0, WHITE)


def draw_refresh(c):
    # A circular arrow turning clockwise, its head at the upper right.
    green = hexc("2e9a4a")
    c.ring(8, 8, 3.5, 5.6, green, 10, 290)
    a = math.radians(290)
    px, py = 8 + 4.55 * math.cos(a), 8 + 4.55 * math.sin(a)
    tx, ty = -math.sin(a), math.cos(a)
    rx, ry = math.cos(a), math.sin(a)
    c.poly([(px + 3.6 * tx, py + 3.6 * ty), (px + 3.3 * rx, py + 3.3 * ry), (px - 3.3 * rx, py - 3.3 * ry)], green)


def draw_kill(c):
    red = hexc("c0392b")
    c.poly([(5, 1), (11, 1), (15, 5), (15, 11), (11, 15), (5, 15), (1, 11), (1, 5)], hexc("7a1d14"))
    c.poly([(5.4, 2), (10.6, 2), (14, 5.4), (14, 10.6), (10.6, 14), (5.4, 14), (2, 10.6), (2, 5.4)], red)
    c.line(5.5, 5.5, 10.5, 10.5, 2.0, WHITE)
    c.line(10.5, 5.5, 5.5, 10.5, 2.0, WHITE)


def draw_report(c):
    c.poly([(2.5, 0.5), (10.5, 0.5), (13.5, 3.5), (13.5, 15.5), (2.5, 15.5)], OUTLINE)
    c.poly([(3.5, 1.5), (10, 1.5), (12.5, 4), (12.5, 14.5), (3.5, 14.5)], WHITE)
    c.poly([(10, 1.5), (12.5, 4), (10, 4)], hexc("b8c2d3"))
    for y in (6, 8, 10, 12):
        c.rect(5, y, 11 if y != 12 else 9, y + 1, hexc("2f74c8"))


def draw_find(c):
    c.ring(6.5, 6.5, 3.3, 5.0, OUTLINE)
    c.circle(6.5, 6.5, 3.3, hexc("cfe3fa"))
    c.fill(lambda x, y: (x - 5.6) ** 2 + (y - 5.6) ** 2 <= 2.2, (1, 1, 1, 0.9), (3, 3, 8, 8))
    c.line(10.2, 10.2, 14.2, 14.2, 2.6, hexc("7a5230"))


def draw_options(c):
    gear(c, 8, 8, 7.4, 5.4, 2.2, hexc("4d5d78"), None)
    gear(c, 8, 8, 6.4, 4.5, 2.2, hexc("d7a53a"), None)
    c.ring(8, 8, 2.2, 3.0, hexc("4d5d78"))


def draw_properties(c):
    c.rect(1.5, 1.5, 14.5, 14.5, OUTLINE)
    c.rect(2.5, 2.5, 13.5, 13.5, WHITE)
    c.rect(2.5, 2.5, 13.5, 4.5, hexc("2f74c8"))
    c.circle(8, 6.6, 1.1, hexc("2f74c8"))
    c.rect(7, 8.3, 9, 12.3, hexc("2f74c8"))
    c.rect(6, 11.5, 10, 12.5, hexc("2f74c8"))


def draw_fullscreen(c):
    c.rect(1.5, 2.5, 14.5, 13.5, OUTLINE)
    c.rect(2.5, 3.5, 13.5, 12.5, hexc("dbe8f7"))
    blue = hexc("1d4f91")
    for sx, sy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        ex, ey = 8 + sx * 4.3, 8 + sy * 3.3
        c.line(8 + sx * 1.2, 8 + sy * 0.9, ex, ey, 1.3, blue)
        c.poly([(ex + sx * 0.6, ey + sy * 0.6), (ex - sx * 2.4, ey + sy * 0.6), (ex + sx * 0.6, ey - sy * 2.4)], blue)


def draw_computer(c):
    c.rect(1.5, 1.5, 14.5, 11.5, OUTLINE)
    c.rect(2.5, 2.5, 13.5, 10.5, hexc("3f86d6"))
    c.fill(lambda x, y: 2.5 <= x < 13.5 and 2.5 <= y < 10.5 and x + y < 11, (1, 1, 1, 0.25), (2, 2, 14, 11))
    c.rect(6.5, 11.5, 9.5, 13.5, hexc("7d8798"))
    c.rect(3.5, 13.5, 12.5, 15, OUTLINE)


def draw_processes(c):
    # Two windows, one behind the other.
    c.rect(4.5, 0.5, 15.5, 10.5, OUTLINE)
    c.rect(5.5, 1.5, 14.5, 3.5, hexc("7aa7dc"))
    c.rect(5.5, 3.5, 14.5, 9.5, hexc("eef3fa"))
    c.rect(0.5, 5.5, 11.5, 15.5, OUTLINE)
    c.rect(1.5, 6.5, 10.5, 8.5, hexc("2f74c8"))
    c.rect(1.5, 8.5, 10.5, 14.5, WHITE)


def draw_services(c):
    c.rect(0.5, 1.5, 15.5, 14.5, OUTLINE)
    c.rect(1.5, 2.5, 14.5, 4.5, hexc("5b6b84"))
    c.rect(1.5, 4.5, 14.5, 13.5, WHITE)
    gear(c, 8, 9, 3.9, 2.8, 1.1, hexc("5b6b84"), None)


def draw_sort_up(c):
    c.poly([(7, 4), (11.5, 10), (2.5, 10)], hexc("808080"))
    c.line(7, 4, 11.5, 10, 0.01, hexc("808080"))


def draw_add(c):
    badge(c, hexc("2f74c8"), hexc("1d4f91"))
    c.rect(7, 4, 9, 12, WHITE)
    c.rect(4, 7, 12, 9, WHITE)


def draw_remove(c):
    badge(c, hexc("d64541"), hexc("8e2420"))
    c.rect(4, 7, 12, 9, WHITE)


# The pages of the Options dialog's tree.

def draw_page_view(c):
    # A window with a tree pane and a list pane.
    c.rect(0.5, 1.5, 15.5, 14.5, OUTLINE)
    c.rect(1.5, 2.5, 14.5, 4.5, hexc("2f74c8"))
    c.rect(1.5, 4.5, 6, 13.5, hexc("eef3fa"))
    c.rect(6.5, 4.5, 14.5, 13.5, WHITE)
    for y in (6, 8.5, 11):
        c.rect(2.5, y, 5, y + 1, hexc("7aa7dc"))
        c.rect(7.5, y, 13.5, y + 1, hexc("9aa7bd"))


def draw_page_columns(c):
    # A table: a header row and three columns.
    c.rect(0.5, 1.5, 15.5, 14.5, OUTLINE)
    c.rect(1.5, 2.5, 14.5, 13.5, WHITE)
    c.rect(1.5, 2.5, 14.5, 5, hexc("b8c2d3"))
    for x in (5.5, 10):
        c.rect(x, 2.5, x + 1, 13.5, OUTLINE)


def draw_page_colors(c):
    # A palette of three colours.
    c.circle(8, 8, 7.3, hexc("6b4f2a"))
    c.circle(8, 8, 6.3, hexc("f2d9a6"))
    c.circle(5.2, 6, 1.8, hexc("d64541"))
    c.circle(9.5, 4.8, 1.8, hexc("2f74c8"))
    c.circle(11.4, 9, 1.8, hexc("3ba55c"))
    c.circle(6.6, 11, 1.6, WHITE)


def draw_page_copy(c):
    # Two pages, one over the other.
    for dx, dy in ((0, 0), (5, 4)):
        c.rect(1.5 + dx, 0.5 + dy, 10.5 + dx, 11.5 + dy, OUTLINE)
        c.rect(2.5 + dx, 1.5 + dy, 9.5 + dx, 10.5 + dy, WHITE)
        for y in (3.5, 6, 8.5):
            c.rect(3.5 + dx, y + dy, 8.5 + dx, y + 1 + dy, hexc("2f74c8"))


def draw_page_plugins(c):
    # A plug with two pins.
    c.rect(5, 0.5, 6.5, 4.5, hexc("7d8798"))
    c.rect(9.5, 0.5, 11, 4.5, hexc("7d8798"))
    c.rrect(2.5, 4, 13.5, 11, 2, hexc("4d5d78"))
    c.rrect(3.5, 5, 12.5, 10, 1.5, hexc("d7a53a"))
    c.rect(7, 11, 9, 15.5, hexc("4d5d78"))


def draw_page_search(c):
    # A globe.
    blue = hexc("1d4f91")
    c.circle(8, 8, 7.3, blue)
    c.circle(8, 8, 6.3, hexc("7aa7dc"))
    c.ring(8, 8, 2.6, 3.4, blue)
    c.rect(7.6, 1, 8.4, 15, blue)
    c.rect(1, 7.6, 15, 8.4, blue)
    c.rect(2.5, 4.3, 13.5, 5, blue)
    c.rect(2.5, 11, 13.5, 11.7, blue)


# ---------------------------------------------------------------- file writers


def draw_flag_de(c):
    # The German flag: black, red, gold, with a thin dark edge.
    c.rect(0.5, 2.5, 15.5, 13.5, hexc("3a3a3a"))
    c.rect(1, 3, 15, 6.67, hexc("000000"))
    c.rect(1, 6.67, 15, 10.33, hexc("dd0000"))
    c.rect(1, 10.33, 15, 13, hexc("ffce00"))


def draw_flag_placeholder(c):
    # A blank grey flag on a pole: a language that brings no picture of its own.
    c.rect(1.5, 1.5, 2.5, 15, hexc("5a5a5a"))
    c.rect(2.5, 2.5, 14.5, 10.5, hexc("7a7a7a"))
    c.rect(3.5, 3.5, 13.5, 9.5, hexc("d8d8d8"))
    c.rect(5, 5.5, 12, 6.5, hexc("a0a0a0"))
    c.rect(5, 7, 10, 8, hexc("a0a0a0"))


def render(draw, size):
    c = Canvas(size, size, size / 16.0)
    draw(c)
    return c.rgba8()


def ico_bytes(draw, sizes):
    images = []
    for size in sizes:
        px = render(draw, size)
        xor = bytearray()
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(px):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((size, header + bytes(xor) + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


def bmp_bytes(rows):
    """24-bit bottom-up BMP from rows of (r, g, b)."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + bytes(data)


def bmp8_rle_bytes(rows):
    """8-bit RLE8 BMP with its own palette, for pictures of at most 256 colours
    (the splash: a gradient and flat drawing, which RLE8 packs well)."""
    palette = sorted({p for row in rows for p in row})
    if len(palette) > 256:
        raise ValueError("more than 256 colours: %d" % len(palette))
    index = {p: i for i, p in enumerate(palette)}
    h, w = len(rows), len(rows[0])
    data = bytearray()
    for row in reversed(rows):
        line = [index[p] for p in row]
        i = 0
        literal = []

        def flush(literal):
            # Absolute mode needs at least 3 indices and ends on a word boundary.
            while literal:
                chunk, literal[:] = literal[:255], literal[255:]
                if len(chunk) < 3:
                    for value in chunk:
                        data.extend((1, value))
                else:
                    data.extend((0, len(chunk)))
                    data.extend(chunk)
                    if len(chunk) % 2:
                        data.append(0)

        while i < w:
            run = 1
            while i + run < w and run < 255 and line[i + run] == line[i]:
                run += 1
            if run >= 3:
                flush(literal)
                data.extend((run, line[i]))
                i += run
            else:
                literal.extend(line[i:i + run])
                i += run
        flush(literal)
        data.extend((0, 0))  # end of line
    data.extend((0, 1))  # end of bitmap
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(data), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(table)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + info + table + bytes(data)


def png_bytes(px):
    raw = bytearray()
    for row in px:
        raw.append(0)
        for p in row:
            raw += bytes(p)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    h, w = len(px), len(px[0])
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def gif_bytes(px):
    """GIF89a with a 256-colour table; pixels below half cover are transparent
    (index 0). Codes are written uncompressed (a clear code before the table
    would grow), which every decoder reads."""
    colours = [(0, 0, 0)]
    index = {}
    step = 1
    while True:
        colours, index = [(0, 0, 0)], {}
        for row in px:
            for r, g, b, a in row:
                if a < 128:
                    continue
                key = (r // step * step, g // step * step, b // step * step)
                if key not in index:
                    index[key] = len(colours)
                    colours.append(key)
        if len(colours) <= 256:
            break
        step *= 2
    pixels = []
    for row in px:
        for r, g, b, a in row:
            pixels.append(0 if a < 128 else index[(r // step * step, g // step * step, b // step * step)])
    h, w = len(px), len(px[0])
    table = b"".join(bytes(c) for c in colours) + bytes(3 * (256 - len(colours)))

    min_size, clear, end = 8, 256, 257
    codes = []
    for i, p in enumerate(pixels):
        if i % 200 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits, nbits, data = 0, 0, bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += 9
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    blocks = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        blocks += bytes((len(chunk),)) + chunk
    blocks += b"\x00"

    out = b"GIF89a" + struct.pack("<HHBBB", w, h, 0xF7, 0, 0) + table
    out += b"\x21\xF9\x04\x01\x00\x00\x00\x00"   # graphic control: index 0 transparent
    out += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
    out += bytes((min_size,)) + bytes(blocks) + b"\x3B"
    return out


def _zigzag():
    order = []
    for s in range(15):
        cells = [(y, s - y) for y in range(8) if 0 <= s - y < 8]
        if s % 2 == 0:
            cells.reverse()
        order += [y * 8 + x for y, x in cells]
    return order


def _huffman_table(freq):
    """Code lengths for the symbols of freq (a dict), canonical JPEG form.
    A dummy symbol takes the all-ones code, which JPEG forbids."""
    freq = dict(freq)
    freq[256] = 0.5
    nodes = [(f, [s]) for s, f in freq.items()]
    length = {s: 0 for s in freq}
    while len(nodes) > 1:
        nodes.sort(key=lambda n: (n[0], min(n[1])))
        (f1, s1), (f2, s2) = nodes[0], nodes[1]
        for s in s1 + s2:
            length[s] += 1
        nodes = nodes[2:] + [(f1 + f2, s1 + s2)]
    if len(freq) == 1:
        length = {256: 1}
    assert max(length.values()) <= 16
    symbols = sorted(freq, key=lambda s: (length[s], s))
    counts = [0] * 16
    for s in symbols:
        counts[length[s] - 1] += 1
    counts[length[256] - 1] -= 1
    symbols.remove(256)
    codes, code, previous = {}, 0, 0
    for s in symbols + [256]:
        code <<= length[s] - previous
        previous = length[s]
        codes[s] = (code, length[s])
        code += 1
    del codes[256]
    return counts, symbols, codes


def jpeg_bytes(px, background=(255, 255, 255), quality=92):
    """Baseline JPEG, 4:4:4, one quantisation table, Huffman tables made for the picture."""
    h, w = len(px), len(px[0])
    base = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
            14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
            18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
            49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
    scale = 200 - 2 * quality
    quant = [min(255, max(1, (q * scale + 50) // 100)) for q in base]
    zz = _zigzag()

    planes = [[[0.0] * w for _ in range(h)] for _ in range(3)]
    for y in range(h):
        for x in range(w):
            r, g, b, a = px[y][x]
            f = a / 255.0
            r, g, b = (v * f + bg * (1 - f) for v, bg in zip((r, g, b), background))
            planes[0][y][x] = 0.299 * r + 0.587 * g + 0.114 * b
            planes[1][y][x] = -0.168736 * r - 0.331264 * g + 0.5 * b + 128
            planes[2][y][x] = 0.5 * r - 0.418688 * g - 0.081312 * b + 128

    cos = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]
    blocks = []   # in MCU order: Y, Cb, Cr of each 8 x 8 square
    for by in range(0, h, 8):
        for bx in range(0, w, 8):
            for c in range(3):
                coef = []
                for v in range(8):
                    for u in range(8):
                        total = 0.0
                        for y in range(8):
                            for x in range(8):
                                total += (planes[c][by + y][bx + x] - 128) * cos[u][x] * cos[v][y]
                        cu = math.sqrt(0.5) if u == 0 else 1.0
                        cv = math.sqrt(0.5) if v == 0 else 1.0
                        coef.append(0.25 * cu * cv * total)
                blocks.append((c, [int(round(coef[zz[k]] / quant[zz[k]])) for k in range(64)]))

    def category(value):
        n = abs(value)
        size = 0
        while n:
            size += 1
            n >>= 1
        return size

    def extra(value, size):
        return value if value >= 0 else value + (1 << size) - 1

    # Symbols: (table, symbol, extra bits, size)
    stream = []
    last = [0, 0, 0]
    for c, q in blocks:
        diff = q[0] - last[c]
        last[c] = q[0]
        s = category(diff)
        stream.append(("dc", s, extra(diff, s), s))
        run = 0
        for k in range(1, 64):
            if q[k] == 0:
                run += 1
                continue
            while run > 15:
                stream.append(("ac", 0xF0, 0, 0))
                run -= 16
            s = category(q[k])
            stream.append(("ac", (run << 4) | s, extra(q[k], s), s))
            run = 0
        if run:
            stream.append(("ac", 0x00, 0, 0))

    tables = {}
    for kind in ("dc", "ac"):
        freq = {}
        for t, sym, _, _ in stream:
            if t == kind:
                freq[sym] = freq.get(sym, 0) + 1
        tables[kind] = _huffman_table(freq)

    bits, nbits, data = 0, 0, bytearray()

    def put(value, size):
        nonlocal bits, nbits
        bits = (bits << size) | value
        nbits += size
        while nbits >= 8:
            byte = (bits >> (nbits - 8)) & 0xFF
            data.append(byte)
            if byte == 0xFF:
                data.append(0)
            nbits -= 8
        bits &= (1 << nbits) - 1

    for kind, sym, value, size in stream:
        code, length = tables[kind][2][sym]
        put(code, length)
        if size:
            put(value, size)
    if nbits:
        put((1 << (8 - nbits)) - 1, 8 - nbits)

    def segment(marker, payload):
        return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload

    out = b"\xFF\xD8"
    out += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    out += segment(0xDB, b"\x00" + bytes(quant[zz[k]] for k in range(64)))
    out += segment(0xC0, struct.pack(">BHHB", 8, h, w, 3) + b"\x01\x11\x00\x02\x11\x00\x03\x11\x00")
    for cls, kind in ((0x00, "dc"), (0x10, "ac")):
        counts, symbols, _ = tables[kind]
        out += segment(0xC4, bytes((cls,)) + bytes(counts) + bytes(symbols))
    out += segment(0xDA, b"\x03\x01\x00\x02\x00\x03\x00\x00\x3F\x00")
    out += bytes(data) + b"\xFF\xD9"
    return out


def strip(draws, key, edge_bg, width=16, height=16):
    """Images side by side on a key colour (the image list's mask colour).
    Edge pixels are blended over edge_bg, those below half cover become key."""
    rows = [[key] * (width * len(draws)) for _ in range(height)]
    for i, draw in enumerate(draws):
        c = Canvas(width, height, height / 16.0)
        draw(c)
        for y, row in enumerate(c.rgba8()):
            for x, (r, g, b, a) in enumerate(row):
                if a < 100:
                    continue
                f = a / 255.0
                rows[y][i * width + x] = tuple(round(v * f + bg * (1 - f)) for v, bg in zip((r, g, b), edge_bg))
    return rows


def google_png():
    # The built-in search engine: a magnifier over a white page with coloured bars.
    def draw(c):
        c.rrect(0.5, 0.5, 15.5, 15.5, 2.5, hexc("4285f4"))
        c.rrect(1.5, 1.5, 14.5, 14.5, 1.8, WHITE)
        for i, col in enumerate(("4285f4", "ea4335", "fbbc05", "34a853")):
            c.rect(3 + i * 2.5, 3, 5 + i * 2.5, 5, hexc(col))
        c.ring(7, 9.3, 2.0, 3.3, hexc("4285f4"))
        c.line(9.4, 11.7, 12.6, 14.2, 2.0, hexc("4285f4"))
    return png_bytes(render(draw, 16))


# 5 x 7 glyphs for the splash texts
FONT = {
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "a": ["00000", "00000", "01110", "00001", "01111", "10001", "01111"],
    "c": ["00000", "00000", "01110", "10000", "10000", "10001", "01110"],
    "d": ["00001", "00001", "01101", "10011", "10001", "10011", "01101"],
    "e": ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    "f": ["00110", "01001", "01000", "11100", "01000", "01000", "01000"],
    "i": ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    "k": ["10000", "10000", "10010", "10100", "11000", "10100", "10010"],
    "m": ["00000", "00000", "11010", "10101", "10101", "10001", "10001"],
    "n": ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
    "o": ["00000", "00000", "01110", "10001", "10001", "10001", "01110"],
    "r": ["00000", "00000", "10110", "11001", "10000", "10000", "10000"],
    "s": ["00000", "00000", "01111", "10000", "01110", "00001", "11110"],
    "t": ["01000", "01000", "11100", "01000", "01000", "01001", "00110"],
    "w": ["00000", "00000", "10001", "10001", "10101", "10101", "01010"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def put_text(rows, text, x, y, scale, color):
    for ch in text:
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for yy in range(scale):
                        for xx in range(scale):
                            rows[y + gy * scale + yy][x + gx * scale + xx] = color
        x += 6 * scale


def splash():
    w, h = 360, 200
    top, bottom = (29, 79, 145), (12, 30, 62)
    rows = []
    for y in range(h):
        f = y / (h - 1)
        rows.append([tuple(round(a + (b - a) * f) for a, b in zip(top, bottom))] * w)
    rows = [list(r) for r in rows]
    icon = Canvas(64, 64, 4.0)
    draw_program(icon)
    for y, row in enumerate(icon.rgba8()):
        for x, (r, g, b, a) in enumerate(row):
            if a:
                f = a / 255.0
                bg = rows[40 + y][28 + x]
                rows[40 + y][28 + x] = tuple(round(v * f + q * (1 - f)) for v, q in zip((r, g, b), bg))
    put_text(rows, "Tarnwick 2.6", 112, 52, 3, (255, 255, 255))
    put_text(rows, "Process information for Windows", 112, 94, 1, (200, 216, 240))
    for x in range(28, w - 28):
        rows[150][x] = (255, 213, 74)
    return rows


# ---------------------------------------------------------------- search-plugin icons (our own drawings)


def draw_duck_search(c):
    # An orange disc with a white ring and a dark dot.
    c.circle(8, 8, 7.5, hexc("c2410c"))
    c.circle(8, 8, 6.6, hexc("f97316"))
    c.ring(8, 8, 3.0, 4.6, WHITE)
    c.circle(8, 8, 1.6, hexc("1f2937"))


def draw_encyclopedia(c):
    # A white page with a black "W".
    c.rect(0.5, 0.5, 15.5, 15.5, hexc("6b7280"))
    c.rect(1.5, 1.5, 14.5, 14.5, WHITE)
    black = hexc("111111")
    for x0, x1 in ((2.5, 5.2), (5.2, 8.0), (8.0, 10.8), (10.8, 13.5)):
        top = x0 in (2.5, 8.0)
        c.line(x0, 4 if top else 12, x1, 12 if top else 4, 1.4, black)


def draw_web_search(c):
    # A teal tile with a white "b" (a stem and a bowl).
    c.rrect(0.5, 0.5, 15.5, 15.5, 3, hexc("0f766e"))
    c.rect(4, 2.5, 6, 13, WHITE)
    c.ring(8.6, 9.6, 1.8, 3.4, WHITE)


def draw_documentation(c):
    # A blue book with white page lines.
    c.rect(1.5, 1.5, 14.5, 14.5, hexc("1e3a8a"))
    c.rect(2.5, 2.5, 13.5, 13.5, hexc("2563eb"))
    c.rect(7.5, 2.5, 8.5, 13.5, hexc("1e3a8a"))
    for y in (5, 7.5, 10):
        c.rect(3.5, y, 6.5, y + 1, WHITE)
        c.rect(9.5, y, 12.5, y + 1, WHITE)


def write_search_plugin_icons(folder):
    os.makedirs(folder, exist_ok=True)

    def write(name, data):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

    write("duckduckgo.gif", gif_bytes(render(draw_duck_search, 16)))
    write("wikipedia.jpg", jpeg_bytes(render(draw_encyclopedia, 16)))
    write("bing.png", png_bytes(render(draw_web_search, 16)))
    write("microsoft-learn.ico", ico_bytes(draw_documentation, (16, 32)))


def main():
    os.makedirs(OUT, exist_ok=True)

    def write(name, data):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)

    write("tarnwick.ico", ico_bytes(draw_program, (16, 32)))
    write("module.ico", ico_bytes(draw_module, (16, 32)))
    write("process.ico", ico_bytes(draw_process, (16, 32)))
    write("help.ico", ico_bytes(draw_help, (16, 32)))
    write("cancel.ico", ico_bytes(draw_cancel, (16, 32)))
    write("ok.ico", ico_bytes(draw_ok, (16, 32)))
    write("add.ico", ico_bytes(draw_add, (16, 32)))
    write("remove.ico", ico_bytes(draw_remove, (16, 32)))
    write("properties.ico", ico_bytes(draw_properties, (16, 32)))
    write("langplaceholder.ico", ico_bytes(draw_flag_placeholder, (16, 32)))
    write(os.path.join("de", "flag_de.ico"), ico_bytes(draw_flag_de, (16, 32)))

    magenta, face = (255, 0, 255), (212, 208, 200)
    # In the order of the toolbar's buttons.
    write("toolbar.bmp", bmp_bytes(strip([draw_refresh, draw_kill, draw_report, draw_find, draw_options,
                                          draw_properties, draw_fullscreen], magenta, face)))
    # The view image list: 0 computer, 1 kill, 2 processes, 3 services, 4 process without an
    # icon, 5 module at its preferred base, 6 relocated module, 7 service without an icon.
    write("views.bmp", bmp_bytes(strip([draw_computer, draw_kill, draw_processes, draw_services, draw_process,
                                        draw_module, draw_relocated, draw_service], magenta, (255, 255, 255))))

    # The Options dialog's page tree: View, Columns, Colors & Formats, Copy, Applications,
    # Plugins, Internet Search.
    write("optionpages.bmp", bmp_bytes(strip([draw_page_view, draw_page_columns, draw_page_colors, draw_page_copy,
                                              draw_process, draw_page_plugins, draw_page_search], magenta,
                                             (255, 255, 255))))

    # Sort arrows: ascending, descending, 14 pixels wide on RGB(192, 192, 192).
    grey = (192, 192, 192)
    rows = [[grey] * 28 for _ in range(14)]
    for y in range(14):
        for x in range(14):
            # ascending: a triangle pointing up, shaded like a header arrow
            half = (y - 4) * 0.7
            if 4 <= y <= 9 and abs(x - 6.5) <= half + 0.5:
                rows[y][x] = (128, 128, 128)
            yd = 13 - y
            half = (yd - 4) * 0.7
            if 4 <= yd <= 9 and abs(x - 6.5) <= half + 0.5:
                rows[y][14 + x] = (128, 128, 128)
    write("sortarrows.bmp", bmp_bytes(rows))

    write("splash.bmp", bmp8_rle_bytes(splash()))
    write("search.png", google_png())


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--search-plugins":
        write_search_plugin_icons(sys.argv[2])
    else:
        main()

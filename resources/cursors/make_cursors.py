#!/usr/bin/env python3
"""Draws the bitmap-button family's 31 cursors and writes them as cursor files 2001.cur .. 2031.cur.

Every cursor is 32x32, black and white with a transparent ground: a white shape with a black
outline, black details inside it, and a hot spot. Shapes are either drawn from small geometric
pieces (arrows, rings, lines) or given as pixel art (the hands and the hourglass).
Run it again after changing a picture; the build uses the files it writes.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 32
CLEAR, BLACK, WHITE = None, 'X', 'o'


# ------------------------------------------------------------------------------- shapes
# A shape is a test of a point (pixel centres are at x + 0.5, y + 0.5).

def polygon(points):
    def inside(x, y):
        hit = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit
    return inside


def segment(p0, p1, width):
    (x0, y0), (x1, y1) = p0, p1
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2
    return inside


def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) <= r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= width / 2


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def arrow(length, shaft, head, head_length, double=False):
    """An arrow along +x from 0 to length, centred on y = 0, as a point list."""
    h, s = head / 2, shaft / 2
    tip = [(length - head_length, -h), (length, 0), (length - head_length, h)]
    if double:
        tail = [(head_length, h), (0, 0), (head_length, -h)]
        return [(head_length, -s), (length - head_length, -s)] + tip[:1] + tip[1:2] + tip[2:] + \
               [(length - head_length, s), (head_length, s)] + tail
    return [(0, -s), (length - head_length, -s)] + tip + [(length - head_length, s), (0, s)]


def placed(points, angle_degrees, cx, cy):
    """Points turned by the angle (clockwise on the screen) and centred on (cx, cy)."""
    a = math.radians(angle_degrees)
    xs = [p[0] for p in points]
    mid = (min(xs) + max(xs)) / 2
    return [(cx + (x - mid) * math.cos(a) - y * math.sin(a), cy + (x - mid) * math.sin(a) + y * math.cos(a))
            for x, y in points]


# ------------------------------------------------------------------------------- pictures

class Picture:
    def __init__(self, hot):
        self.hot = hot
        self.px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(self, shape, colour):
        for y in range(SIZE):
            for x in range(SIZE):
                if shape(x + 0.5, y + 0.5):
                    self.px[y][x] = colour
        return self

    def body(self, shape, thin=False):
        """A white shape with a one-pixel black outline around it; a thin outline touches the
        shape only at its sides, which keeps slanted edges light."""
        self.fill(shape, WHITE)
        inside = [[shape(x + 0.5, y + 0.5) for x in range(SIZE)] for y in range(SIZE)]
        around = [(1, 0), (-1, 0), (0, 1), (0, -1)] if thin else \
            [(dx, dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
        for y in range(SIZE):
            for x in range(SIZE):
                if inside[y][x]:
                    continue
                near = any(0 <= x + dx < SIZE and 0 <= y + dy < SIZE and inside[y + dy][x + dx]
                           for dx, dy in around)
                if near:
                    self.px[y][x] = BLACK
        return self

    def ink(self, shape):
        return self.fill(shape, BLACK)

    def paper(self, shape):
        return self.fill(shape, WHITE)

    def art(self, text, left=0, top=0):
        for j, row in enumerate(text.strip('\n').splitlines()):
            for i, c in enumerate(row):
                if c != '.':
                    self.px[top + j][left + i] = BLACK if c == 'X' else WHITE
        return self


POINTER = polygon([(1, 1), (1, 17), (5, 13), (8, 20), (10, 19), (7, 12.5), (12.5, 12.5)])


def pointer_with(extra):
    """The usual pointer with something drawn beside it (drag and help cursors)."""
    p = Picture((1, 1)).body(POINTER, thin=True)
    extra(p)
    return p


def sheet(p):
    p.body(box(13.5, 17.5, 23.5, 28.5))
    p.ink(union(box(15.5, 19.5, 21.5, 19.9), box(15.5, 21.5, 21.5, 21.9), box(15.5, 23.5, 19.5, 23.9)))


def sizing(angle):
    return Picture((15, 15)).body(polygon(placed(arrow(26, 2, 9, 6, double=True), angle, 16, 16)))


def pan(angle):
    return Picture((15, 15)).body(polygon(placed(arrow(24, 4, 12, 9), angle, 16, 16)))


def magnifier(sign):
    p = Picture((11, 11))
    p.body(union(disc(12, 12, 9), segment((19, 19), (28, 28), 4.5)))
    p.ink(ring(12, 12, 8.5, 1.2))
    if sign:
        p.ink(box(7.5, 11.5, 16.5, 12.5))
    if sign == '+':
        p.ink(box(11.5, 7.5, 12.5, 16.5))
    return p


POINTING_HAND = """
......XX.........
.....XooX........
.....XooX........
.....XooX........
.....XooX........
.....XooXXX......
.....XooXooXXX...
.....XooXooXooXX.
.XX..XooXooXooXoX
XooX.XooooooooXoX
XoooXXoooooooooooX
.XoooXoooooooooooX
..XooXoooooooooooX
..XoooooooooooooX.
...XooooooooooooX.
...XoooooooooooX..
....XooooooooooX..
....XoooooooooX...
.....XooooooooX...
.....XooooooooX...
.....XXXXXXXXXX...
"""

OPEN_HAND = """
.......XX.XX.......
...XX.XooXooX.XX...
..XooXXooXooXXooX..
..XooXXooXooXXooX..
..XooXXooXooXXooX..
..XooXXooXooXXooX..
..XooXXooXooXXooX..
..XooXXooXooXXooX..
..XooXXooXooXXooX..
..XooooooooooooooX.
XXXoooooooooooooX..
XooXooooooooooooX..
XoooXoooooooooooX..
.XooXoooooooooooX..
..XooooooooooooX...
...XoooooooooooX...
....XoooooooooX....
.....XooooooooX....
.....XooooooooX....
.....XXXXXXXXXX....
"""

CLOSED_HAND = """
....XX.XX.XX......
...XooXooXooXX....
...XooXooXooXoX...
..XXooooooooooX...
.XooXoooooooooX...
.XoooXooooooooX...
..XooooooooooX....
...XoooooooooX....
....XooooooooX....
....XooooooooX....
....XXXXXXXXXX....
"""

HOURGLASS = """
XXXXXXXXXXXXXXX
XoooooooooooooX
XXXXXXXXXXXXXXX
.XoooooooooooX.
.XoXXXXXXXXXoX.
..XoXXXXXXXoX..
...XoXXXXXoX...
....XoXXXoX....
.....XoXoX.....
......XoX......
.....XoooX.....
....XooXooX....
...XoooXoooX...
..XoooXXXoooX..
.XooXXXXXXXooX.
.XoXXXXXXXXXoX.
XXXXXXXXXXXXXXX
XoooooooooooooX
XXXXXXXXXXXXXXX
"""

QUESTION = """
..XXXXX..
.XoooooX.
XooXXXooX
XoX...XoX
XXX..XooX
....XooX.
...XooX..
...XoX...
...XoX...
...XXX...
.........
...XXX...
...XoX...
...XXX...
"""


def cursors():
    c = {}
    c[2001] = Picture((13, 5)).art(POINTING_HAND, 7, 5)
    c[2002] = Picture((16, 14)).art(OPEN_HAND, 6, 6)
    c[2003] = Picture((15, 14)).art(CLOSED_HAND, 7, 11)
    c[2004] = magnifier(None)
    c[2005] = magnifier('+')
    c[2006] = magnifier('-')
    # Pencil: the point at the top-left.
    pencil = Picture((1, 1))
    pencil.body(polygon([(1, 1), (7, 3.5), (26, 22.5), (22.5, 26), (3.5, 7)]))
    pencil.ink(union(polygon([(1, 1), (4.5, 2.4), (2.4, 4.5)]), segment((6, 6.8), (24, 24.8), 0.9),
                     segment((20, 26), (26, 20), 1.2)))
    c[2007] = pencil
    # Eyedropper: the tip at the bottom-left.
    dropper = Picture((1, 30))
    dropper.body(union(segment((2, 30), (17, 15), 4), disc(22, 10, 6)))
    dropper.ink(union(segment((13, 13), (19, 19), 1.2), ring(22, 10, 3.5, 1.0)))
    c[2008] = dropper
    # Crosshair, and a target with a ring.
    cross = Picture((15, 15)).body(union(box(14.5, 1, 16.5, 12), box(14.5, 19, 16.5, 30),
                                         box(1, 14.5, 12, 16.5), box(19, 14.5, 30, 16.5)))
    c[2009] = cross
    target = Picture((15, 15)).body(union(ring(15.5, 15.5, 8, 2), box(14.5, 1, 16.5, 11), box(14.5, 20, 16.5, 30),
                                          box(1, 14.5, 11, 16.5), box(20, 14.5, 30, 16.5)))
    target.ink(disc(15.5, 15.5, 1.0))
    c[2010] = target
    # Move: four heads.
    move = Picture((15, 15))
    move.body(union(polygon(placed(arrow(28, 2, 9, 6, double=True), 0, 16, 16)),
                    polygon(placed(arrow(28, 2, 9, 6, double=True), 90, 16, 16))))
    c[2011] = move
    c[2012] = sizing(90)
    c[2013] = sizing(0)
    c[2014] = sizing(45)
    c[2015] = sizing(-45)
    # Splitters: a two-headed arrow across a double bar.
    split_h = Picture((15, 15)).body(union(polygon(placed(arrow(28, 2, 9, 6, double=True), 90, 16, 16)),
                                           box(3, 13, 29, 19)))
    split_h.ink(union(box(3, 15.5, 29, 16.5), box(3, 14.5, 29, 14.9)))
    split_h.paper(box(14.6, 14, 17.4, 18))
    c[2016] = split_h
    split_v = Picture((15, 15)).body(union(polygon(placed(arrow(28, 2, 9, 6, double=True), 0, 16, 16)),
                                           box(13, 3, 19, 29)))
    split_v.ink(box(15.5, 3, 16.5, 29))
    split_v.paper(box(14, 14.6, 18, 17.4))
    c[2017] = split_v
    # Panning: one arrow in each of the eight directions, north first, clockwise.
    for i, angle in enumerate((-90, -45, 0, 45, 90, 135, 180, 225)):
        c[2018 + i] = pan(angle)
    # Dragging: the pointer with a sheet, a copy sign, a link sign.
    c[2026] = pointer_with(sheet)

    def copy(p):
        sheet(p)
        p.body(box(22, 22, 30, 30))
        p.ink(union(box(23.5, 25.5, 28.5, 26.5), box(25.5, 23.5, 26.5, 28.5)))
    c[2027] = pointer_with(copy)

    def link(p):
        sheet(p)
        p.body(box(22, 22, 30, 30))
        p.ink(union(segment((24, 28.5), (28.5, 24), 1.1), box(25.5, 23.5, 28.5, 24.4), box(27.6, 23.5, 28.5, 26.5)))
    c[2028] = pointer_with(link)
    # Not here: a ring with a bar across it.
    no = Picture((15, 15)).body(union(ring(15.5, 15.5, 10, 4), segment((8.5, 8.5), (22.5, 22.5), 4)))
    c[2029] = no
    c[2030] = Picture((15, 15)).art(HOURGLASS, 8, 6)
    # Help: the pointer with a question mark.
    c[2031] = pointer_with(lambda p: p.art(QUESTION, 17, 9))
    return c


# ------------------------------------------------------------------------------- files

def cursor_file(p):
    """A .cur file with one 32x32 monochrome image: colours, XOR mask, AND mask."""
    xor_rows, and_rows = bytearray(), bytearray()
    for row in reversed(p.px):  # bottom-up
        xor_bits = and_bits = 0
        for x, c in enumerate(row):
            bit = 1 << (31 - x)
            if c is CLEAR:
                and_bits |= bit
            elif c == WHITE:
                xor_bits |= bit
        xor_rows += struct.pack('>I', xor_bits)
        and_rows += struct.pack('>I', and_bits)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, len(xor_rows) + len(and_rows), 0, 0, 2, 0)
    colours = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + colours + bytes(xor_rows) + bytes(and_rows)
    hot_x, hot_y = p.hot
    directory = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, hot_x, hot_y,
                                                             len(image), 6 + 16)
    return directory + image


def main():
    pictures = cursors()
    assert sorted(pictures) == list(range(2001, 2032))
    for number, p in pictures.items():
        with open(os.path.join(HERE, '%d.cur' % number), 'wb') as f:
            f.write(cursor_file(p))
    with open(os.path.join(HERE, 'cursors.rc'), 'w') as f:
        f.write('// The bitmap-button family\'s cursors, drawn by make_cursors.py.\n')
        for number in sorted(pictures):
            f.write('%d CURSOR "%d.cur"\n' % (number, number))


if __name__ == '__main__':
    main()

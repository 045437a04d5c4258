#!/usr/bin/env python3
"""Draws the program icon (32x32, 16 colours) and writes Tessaline.ico.

The picture: a globe with its grid lines and a dial-up signal arcing from its top-right.
Run it again after changing the drawing; the build uses the .ico it writes.
"""
import math
import struct

# The platform's standard 16-colour palette, in its usual order.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, GREEN, TEAL, GRAY, BLUE, LIME, YELLOW, AQUA, WHITE, OLIVE = 0, 4, 2, 6, 8, 12, 10, 11, 14, 15, 3
CLEAR = None


def draw():
    px = [[CLEAR] * 32 for _ in range(32)]
    cx, cy, r = 14.5, 17.5, 12.5
    for y in range(32):
        for x in range(32):
            dx, dy = x - cx, y - cy
            d = math.hypot(dx, dy)
            if d > r + 0.5:
                continue
            if d > r - 0.7:
                px[y][x] = NAVY
                continue
            # Land: a few soft blobs; sea elsewhere, lit from the top-left.
            land = (math.sin(dx * 0.45 + 1.0) * math.cos(dy * 0.5 - 0.4) + 0.35 * math.sin(dx * dy * 0.05)) > 0.45
            lit = (dx + dy) < -6
            colour = (LIME if lit else GREEN) if land else (AQUA if (dx + dy) < -14 else BLUE)
            # Grid: the equator, two parallels and three meridians (ellipses across the globe).
            lat = abs(dy) < 0.5 or abs(abs(dy) - r * 0.55) < 0.5
            mer = any(abs(dx - k * math.sqrt(max(r * r - dy * dy, 0.0))) < 0.55 for k in (-0.55, 0.0, 0.55))
            if lat or mer:
                colour = TEAL if not land else OLIVE
            px[y][x] = colour
    # A highlight on the sea.
    for (x, y) in [(8, 10), (9, 10), (8, 11)]:
        px[y][x] = WHITE
    # The signal: three arcs from the globe's top-right.
    ox, oy = 25.0, 6.0
    for radius in (3, 6, 9):
        for t in range(0, 91, 3):
            a = math.radians(t)
            x, y = round(ox - 6 + radius * math.cos(a)), round(oy + 6 - radius * math.sin(a))
            if 0 <= x < 32 and 0 <= y < 32:
                px[y][x] = YELLOW
                if 0 <= x + 1 < 32 and px[y][x + 1] is CLEAR:
                    px[y][x + 1] = OLIVE
    return px


def ico(px):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bottom-up
        for x in range(0, 32, 2):
            a, b = row[x] or 0, row[x + 1] or 0
            xor.append((a << 4) | b)
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if row[x] is CLEAR else 0)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 0, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22) + image


if __name__ == "__main__":
    data = ico(draw())
    assert len(data) == 766, len(data)
    with open("Tessaline.ico", "wb") as f:
        f.write(data)

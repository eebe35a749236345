#!/usr/bin/env python3
"""Writes src/resources/vantrel.ico: the program's icon, 16 colours, 32x32 and 16x16.

A white page with text lines (the source program's record) and a blue disc with
a white arrow (the hand-off to the imaging application). Run from the
repository's root; the output is committed, so the build never needs Python.
"""
import struct
import sys

# The standard 16-colour palette, so the icon looks the same in every depth.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, SILVER, GREY, BLUE, WHITE = 0, 4, 7, 8, 12, 15
CLEAR = None


def draw(n):
    """The picture at n x n pixels, as rows of palette indexes (None: transparent)."""
    s = n / 32.0
    px = [[CLEAR] * n for _ in range(n)]

    def put(x, y, c):
        if 0 <= x < n and 0 <= y < n:
            px[y][x] = c

    # The page, with its top-right corner folded.
    left, top, right, bottom, fold = round(4 * s), round(1 * s), round(22 * s), round(29 * s), round(6 * s)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:
                continue
            edge = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            put(x, y, BLACK if edge else WHITE)
    for i in range(fold + 1):  # the fold's underside
        for x in range(right - fold, right - fold + i + 1):
            put(x, top + i, GREY if x < right - fold + i else BLACK)
        put(right - fold, top + i, BLACK)
    put(right - fold, top + fold, BLACK)
    for x in range(right - fold, right + 1):
        put(x, top + fold, BLACK)

    # Text lines.
    step = max(2, round(4 * s))
    y = top + fold + step
    while y < bottom - round(8 * s):
        for x in range(left + max(2, round(3 * s)), right - max(2, round(3 * s)) + 1):
            put(x, y, GREY)
        y += step

    # The disc with the arrow, both centred on one pixel so they stay symmetric.
    c = round(22 * s)
    r = 8.6 * s
    for yy in range(n):
        for xx in range(n):
            d2 = (xx - c) ** 2 + (yy - c) ** 2
            if d2 <= r * r:
                put(xx, yy, NAVY if d2 > (r - max(1.0, 1.2 * s)) ** 2 else BLUE)
    half_shaft = 1 if n >= 32 else 0
    x0, x1 = c - round(5 * s), c + round(1 * s)
    for x in range(x0, x1):
        for yy in range(c - half_shaft, c + half_shaft + 1):
            put(x, yy, WHITE)
    head = round(4.5 * s)
    for i in range(head + 1):
        for yy in range(c - (head - i), c + (head - i) + 1):
            put(x1 + i, yy, WHITE)
    return px


def bitmap(px):
    n = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor = b""
    andmask = b""
    for row in reversed(px):  # bottom-up
        nib = [c if c is not None else 0 for c in row]
        line = bytes((nib[i] << 4) | nib[i + 1] for i in range(0, n, 2))
        xor += line + b"\0" * (-len(line) % 4)
        bits = 0
        mask = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        andmask += bytes(mask) + b"\0" * (-len(mask) % 4)
    return header + palette + xor + andmask


def main(out):
    images = [(32, bitmap(draw(32))), (16, bitmap(draw(16)))]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, bmp in images:
        data += struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(bmp), offset)
        offset += len(bmp)
    data += b"".join(bmp for _, bmp in images)
    with open(out, "wb") as f:
        f.write(data)
    if "--preview" in sys.argv:
        for n in (32, 16):
            for row in draw(n):
                print("".join("." if c is None else "0123456789abcdef"[c] for c in row))
            print()


if __name__ == "__main__":
    main("src/resources/vantrel.ico")

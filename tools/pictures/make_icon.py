#!/usr/bin/env python3
"""Writes resources/vorn.ico: one 64x64, 24-bit image of a blue trail on black.

Run it by hand to change the icon; the build uses the committed file.
"""
import math
import struct
import sys

SIZE = 64


def pixel(x, y):
    # A ring of accumulated blue with a brighter spot, like a trail of stamps.
    dx, dy = x - 31.5, y - 31.5
    r = math.hypot(dx, dy)
    ring = max(0.0, 1.0 - abs(r - 20.0) / 6.0)
    angle = (math.atan2(dy, dx) + math.pi) / (2 * math.pi)
    blue = int(255 * ring * (0.35 + 0.65 * angle))
    spot = max(0.0, 1.0 - math.hypot(x - 51, y - 32) / 7.0)
    red = green = int(255 * spot)
    return min(255, blue + red), green, red  # stored blue, green, red


def main(path):
    stride = (SIZE * 3 + 3) // 4 * 4
    rows = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(SIZE):
            row += bytes(pixel(x, y))
        row += b"\0" * (stride - len(row))
        rows += row
    mask = b"\0" * (SIZE // 8 * SIZE)  # fully opaque
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0,
                         len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/vorn.ico")

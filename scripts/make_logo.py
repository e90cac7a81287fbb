#!/usr/bin/env python3
"""Draws the tray icon (modules/img/logo.ico): a red ring with a wedge, on
a dark rounded square, at 16, 32 and 48 pixels."""
import math
import struct
import sys


def pixel(size, x, y):
    c = (size - 1) / 2.0
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy) / (size / 2.0)
    corner = max(abs(dx), abs(dy)) / (size / 2.0)
    if corner > 0.98:
        return (0, 0, 0, 0)
    bg = (0x20, 0x1c, 0x1b, 255)  # BGRA
    red = (0x3b, 0x3b, 0xff, 255)
    ang = math.degrees(math.atan2(dy, dx)) % 360
    if 0.50 <= r <= 0.78 and not (300 <= ang <= 340):
        return red
    if r < 0.28:
        return (0xe1, 0xe1, 0xe1, 255)
    return bg


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        rows.append(b"".join(bytes(pixel(size, x, y)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    andmask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def main(out):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    open(out, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "modules/img/logo.ico")

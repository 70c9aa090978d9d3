#!/usr/bin/env python3
"""Writes Slumberhold.ico: a crescent moon, 32x32 and 16x16, 32-bit colour
with alpha (shown by Windows XP and later) and the 1-bit AND mask that older
code paths use.

Standard library only, and deterministic: running it again gives the same
bytes, so the generated icon is kept in the repository beside this script.

    python3 make_icon.py [output path]   (default: Slumberhold.ico here)
"""
import os
import struct
import sys

SIZES = (32, 16)
SAMPLES = 4  # per axis, for smooth edges
MOON = (0xF2, 0xD8, 0x6A)  # pale gold, as (red, green, blue)
EDGE = (0xB8, 0x95, 0x2E)  # darker rim


def coverage(size, x, y):
    """Share (0..1) of pixel (x, y) inside the crescent, and whether the
    covered part is mostly rim; coordinates in units of the icon's size."""
    inside = 0
    rim = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            u = (x + (sx + 0.5) / SAMPLES) / size
            v = (y + (sy + 0.5) / SAMPLES) / size
            # The lit disk, and the shadow disk that bites into it.
            d_lit = ((u - 0.48) ** 2 + (v - 0.5) ** 2) ** 0.5
            d_bite = ((u - 0.66) ** 2 + (v - 0.38) ** 2) ** 0.5
            if d_lit <= 0.44 and d_bite >= 0.36:
                inside += 1
                if d_lit >= 0.44 - 1.6 / size or d_bite <= 0.36 + 1.6 / size:
                    rim += 1
    total = SAMPLES * SAMPLES
    return inside / total, inside > 0 and rim * 2 >= inside


def image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    pixels = bytearray()
    mask = bytearray()
    mask_row_bytes = ((size + 31) // 32) * 4
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        row = bytearray(mask_row_bytes)
        for x in range(size):
            share, on_rim = coverage(size, x, y)
            red, green, blue = EDGE if on_rim else MOON
            alpha = round(share * 255)
            pixels += bytes((blue, green, red, alpha))
            if alpha == 0:  # transparent where the mask bit is set
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        size,  # biWidth
        size * 2,  # biHeight: colour image and mask together
        1,  # biPlanes
        32,  # biBitCount
        0,  # biCompression (BI_RGB)
        len(pixels) + len(mask),  # biSizeImage
        0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def icon():
    images = [image(size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))  # ICONDIR: type 1 = icon
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack(
            "<BBBBHHII",
            size % 256, size % 256,  # width, height (0 would mean 256)
            0, 0,  # no palette, reserved
            1, 32,  # planes, bits per pixel
            len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "Slumberhold.ico")
    with open(path, "wb") as file:
        file.write(icon())


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes Bitset.ico: a disc with a bit pattern, in the four formats the
executable carries (32x32 and 16x16, 16 and 256 colours)."""
import struct
import sys

# 16-colour palette (the standard VGA colours), as BGRA.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def pixel(size, x, y):
    """Palette index of one pixel, or None for transparent."""
    c = (size - 1) / 2.0
    r = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
    outer = size / 2.0
    if r > outer - 0.5:
        return None
    if r < size * 0.09:
        return None  # the hole
    if r < size * 0.16:
        return 8  # grey hub
    if abs(x - c) < size * 0.08 and y < c:
        return 12  # a blue bit across the disc
    return 7 if (x + y) % 5 else 15  # silver surface with a glint


def image(size, bpp):
    colours = 16 if bpp == 4 else 256
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA)
    palette += b"\0" * (4 * (colours - 16))
    rows_xor = []
    rows_and = []
    for y in reversed(range(size)):  # bottom-up
        indices = [pixel(size, x, y) for x in range(size)]
        if bpp == 4:
            row = bytearray()
            for x in range(0, size, 2):
                a = indices[x] or 0
                b = indices[x + 1] or 0
                row.append((a << 4) | b)
        else:
            row = bytearray((i or 0) for i in indices)
        while len(row) % 4:
            row.append(0)
        rows_xor.append(bytes(row))
        mask = bytearray((size + 31) // 32 * 4)
        for x, i in enumerate(indices):
            if i is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        rows_and.append(bytes(mask))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         0, 0, 0, 0, 0)
    return header + palette + b"".join(rows_xor) + b"".join(rows_and), colours


def main(path):
    formats = [(32, 4), (16, 4), (32, 8), (16, 8)]
    images = [(size, bpp) + image(size, bpp) for size, bpp in formats]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, data, colours in images:
        out += struct.pack("<BBBBHHII", size, size, colours % 256, 0, 1, bpp, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data, _ in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Bitset.ico")

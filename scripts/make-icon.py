#!/usr/bin/env python3
"""Draws Tallymere's icon, a white "+" and "=" on a blue rounded tile, at every size Windows asks
for, and writes window/form/tallymere.ico: 32-bit images of 16 to 64 pixels, and 256 as PNG for
Explorer's large views. Standard library only.
    python3 scripts/make-icon.py [OUTPUT.ico]
"""
import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
BLUE = (0x2B, 0x6C, 0xB0)
WHITE = (0xFF, 0xFF, 0xFF)
SAMPLES = 4  # per pixel and axis, for smooth edges

# In units of the tile's side: the "+" at the top left, the "=" at the bottom right.
BARS = [
    (0.19, 0.17, 0.56, 0.28),  # "+", across
    (0.32, 0.04, 0.43, 0.41),  # "+", down
    (0.44, 0.56, 0.83, 0.65),  # "=", upper
    (0.44, 0.74, 0.83, 0.83),  # "=", lower
]
CORNER = 0.16


def inside_tile(x, y):
    nearest_x = min(max(x, CORNER), 1 - CORNER)
    nearest_y = min(max(y, CORNER), 1 - CORNER)
    return (x - nearest_x) ** 2 + (y - nearest_y) ** 2 <= CORNER ** 2


def on_bar(bars, x, y):
    return any(left <= x < right and top <= y < bottom for left, top, right, bottom in bars)


def snapped(size):
    """The bars with their edges on whole pixels, so that small images stay sharp."""
    return [tuple(max(1, round(edge * size)) / size for edge in bar) for bar in BARS]


def pixel(size, bars, column, row):
    """Straight (not premultiplied) RGBA of one pixel, averaged over its samples."""
    tile = white = 0
    for i in range(SAMPLES):
        for j in range(SAMPLES):
            x = (column + (i + 0.5) / SAMPLES) / size
            y = (row + (j + 0.5) / SAMPLES) / size
            if inside_tile(x, y):
                tile += 1
                white += on_bar(bars, x, y)
    if tile == 0:
        return (0, 0, 0, 0)
    share = white / tile
    rgb = tuple(round(b + (w - b) * share) for b, w in zip(BLUE, WHITE))
    return rgb + (round(255 * tile / SAMPLES ** 2),)


def image(size):
    bars = snapped(size)
    return [[pixel(size, bars, column, row) for column in range(size)] for row in range(size)]


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def bitmap(rows):
    """An icon image as Windows stores it: a header of twice the height, BGRA rows bottom-up,
    then the 1-bit mask (set where transparent), each row padded to 32 bits."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for column, (_, _, _, alpha) in enumerate(row):
            if alpha == 0:
                bits[column // 8] |= 0x80 >> (column % 8)
        mask += bytes(bits)
    return header + colour + mask


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "window/form/tallymere.ico"
    images = [(size, png(image(size)) if size == 256 else bitmap(image(size))) for size in SIZES]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        side = size % 256  # 0 stands for 256
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(output, "wb") as file:
        file.write(directory + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()

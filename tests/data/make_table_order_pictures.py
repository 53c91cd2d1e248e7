#!/usr/bin/env python3
"""Writes the indexed pictures whose colour-table order differs from the order
in which their pixels first use the colours: table_order.png (8 bits per
pixel, 20 table entries), table_order_4bit.png and table_order.gif.

Run from this folder: python3 make_table_order_pictures.py
"""
import struct
import zlib

# Table order. Pixels first use index 3, then 1, 19, 0, 2, 17.
TABLE = [
    (0, 0, 255),      # 0 blue
    (255, 0, 0),      # 1 red
    (255, 255, 255),  # 2 white
    (0, 255, 0),      # 3 green
    (0, 0, 0),        # 4 black
    (128, 128, 128),  # 5 grey
] + [(255, 255, 0)] * 10 + [  # 6-15 yellow, never used by a pixel
    (0, 255, 255),    # 16 cyan
    (255, 0, 255),    # 17 magenta
    (128, 128, 128),  # 18 grey
    (255, 255, 255),  # 19 white
]
ROWS = [[3, 1, 19, 3], [0, 0, 2, 17]]

# The 4-bit picture can only index 16 entries.
TABLE_4BIT = TABLE[:6]
ROWS_4BIT = [[3, 1, 5, 3], [0, 0, 2, 4]]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, table, rows, depth):
    width, height = len(rows[0]), len(rows)
    raw = b""
    for row in rows:
        raw += b"\x00"  # no filter
        if depth == 8:
            raw += bytes(row)
        else:
            raw += bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, 3, 0, 0, 0))
    png += chunk(b"PLTE", b"".join(bytes(c) for c in table))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_gif(path, table, rows):
    width, height = len(rows[0]), len(rows)
    bits = 1
    while (1 << bits) < len(table):
        bits += 1
    padded = table + [(0, 0, 0)] * ((1 << bits) - len(table))
    gif = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (bits - 1), 0, 0)
    gif += b"".join(bytes(c) for c in padded)
    gif += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    # LZW without compression: every pixel is its own code, and a clear code
    # before each keeps the code width at bits + 1.
    min_code = max(bits, 2)
    clear, end, width_bits = 1 << min_code, (1 << min_code) + 1, min_code + 1
    codes = []
    for row in rows:
        for index in row:
            codes += [clear, index]
    codes.append(end)
    stream, acc, used = bytearray(), 0, 0
    for code in codes:
        acc |= code << used
        used += width_bits
        while used >= 8:
            stream.append(acc & 0xFF)
            acc >>= 8
            used -= 8
    if used:
        stream.append(acc)
    gif += bytes([min_code])
    for i in range(0, len(stream), 255):
        block = stream[i:i + 255]
        gif += bytes([len(block)]) + block
    gif += b"\x00\x3b"
    with open(path, "wb") as f:
        f.write(gif)


write_png("table_order.png", TABLE, ROWS, 8)
write_png("table_order_4bit.png", TABLE_4BIT, ROWS_4BIT, 4)
write_gif("table_order.gif", TABLE, ROWS)

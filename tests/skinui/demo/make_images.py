#!/usr/bin/env python3
"""Writes the demo skin's images as PNG files: solid fills with a frame, so the
window test can check exact pixels after the image decoder and GDI drawing."""
import struct
import sys
import zlib


def png(path, width, height, pixel):
    rows = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
                chunk(b"IEND", b""))


def framed(width, height, fill, frame):
    def pixel(x, y):
        edge = x == 0 or y == 0 or x == width - 1 or y == height - 1
        return frame if edge else fill
    return pixel


def main(out_dir):
    # The close button: red with a white frame.
    png(out_dir + "/close.png", 24, 24, framed(24, 24, (0xD8, 0x3C, 0x3C, 0xFF), (0xFF, 0xFF, 0xFF, 0xFF)))
    # The action button: green with a dark frame.
    png(out_dir + "/action.png", 96, 32, framed(96, 32, (0x3C, 0xB0, 0x5A, 0xFF), (0x20, 0x20, 0x20, 0xFF)))


if __name__ == "__main__":
    main(sys.argv[1])

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


# Pixels of this colour are keyed out by the scroll bar's default image descriptions.
MASK = (0xFF, 0x00, 0xFF, 0xFF)


def strip(state_pixel):
    """A 32 by 8 strip of four 8 by 8 state frames: normal, hot, pushed, disabled."""
    return lambda x, y: state_pixel(x // 8, x % 8, y)


def rounded(colours):
    def pixel(state, x, y):
        corner = x in (0, 7) and y in (0, 7)
        return MASK if corner else colours[state]
    return pixel


def arrow(colours, up):
    def pixel(state, x, y):
        row = y if up else 7 - y
        inside = 2 <= row <= 5 and abs(2 * x - 7) <= 2 * (row - 2) + 1
        return colours[state] if inside else MASK
    return pixel


def grip(colours):
    def pixel(state, x, y):
        return colours[state] if y in (2, 4, 6) and 2 <= x <= 5 else MASK
    return pixel


def scroll_images(out_dir):
    track = [(0x22, 0x30, 0x42, 0xFF), (0x28, 0x38, 0x4C, 0xFF), (0x2E, 0x40, 0x56, 0xFF), (0x2A, 0x2A, 0x2A, 0xFF)]
    thumb = [(0x6A, 0x8C, 0xB8, 0xFF), (0x84, 0xA6, 0xD2, 0xFF), (0x9C, 0xBE, 0xEA, 0xFF), (0x50, 0x50, 0x50, 0xFF)]
    mark = [(0x3C, 0x56, 0x78, 0xFF), (0x4A, 0x66, 0x8C, 0xFF), (0x56, 0x74, 0x9C, 0xFF), (0x38, 0x38, 0x38, 0xFF)]
    png(out_dir + "/scroll_back.png", 32, 8, strip(rounded(track)))
    png(out_dir + "/scroll_thumb.png", 32, 8, strip(rounded(thumb)))
    png(out_dir + "/scroll_tail.png", 32, 8, strip(grip(mark)))
    png(out_dir + "/scroll_button1.png", 32, 8, strip(arrow(thumb, True)))
    png(out_dir + "/scroll_button2.png", 32, 8, strip(arrow(thumb, False)))

    # The scrolled content: 13 bands of 36 pixels from teal to amber, each with a dark rule.
    def band(x, y):
        i = y // 36
        if y % 36 == 35:
            return (0x14, 0x1C, 0x28, 0xFF)
        t = i / 12
        return (int(0x2A + t * (0xE8 - 0x2A)), int(0xA0 + t * (0xA8 - 0xA0)), int(0xA8 + t * (0x3C - 0xA8)), 0xFF)
    png(out_dir + "/scroll_content.png", 16, 468, band)


def main(out_dir):
    # The close button: red with a white frame.
    png(out_dir + "/close.png", 24, 24, framed(24, 24, (0xD8, 0x3C, 0x3C, 0xFF), (0xFF, 0xFF, 0xFF, 0xFF)))
    # The action button: green with a dark frame.
    png(out_dir + "/action.png", 96, 32, framed(96, 32, (0x3C, 0xB0, 0x5A, 0xFF), (0x20, 0x20, 0x20, 0xFF)))
    scroll_images(out_dir)


if __name__ == "__main__":
    main(sys.argv[1])

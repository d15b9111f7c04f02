#!/usr/bin/env python3
"""Writes the demo skin's images as PNG files: rounded shapes with smooth
(supersampled) edges, gradients and a few glyphs, drawn from code so the
archive needs no binary sources. The window test checks some exact pixels:
the centres of the flat shapes keep their colour."""
import os
import struct
import sys
import zlib

BLUE = (0x4F, 0x8C, 0xFF)
BLUE_HOT = (0x6B, 0x9F, 0xFF)
BLUE_PUSHED = (0x3A, 0x70, 0xDB)
DISABLED = (0xC9, 0xD3, 0xE3)
VIOLET = (0x8B, 0x5C, 0xF6)
RED = (0xE5, 0x48, 0x4D)
RED_PUSHED = (0xC2, 0x35, 0x3A)
TRACK = (0xE6, 0xEB, 0xF2)
GRIP = (0x7F, 0x95, 0xBD)
SOFT_BUTTON = (0xE8, 0xEF, 0xFD)
WHITE = (0xFF, 0xFF, 0xFF)
BORDER = (0xC9, 0xD3, 0xE3)
BORDER_HOT = (0x9D, 0xB2, 0xD6)
FIELD_DISABLED = (0xF1, 0xF4, 0xF9)
AMBER = (0xF5, 0xA6, 0x23)


def png(path, width, height, pixel):
    """pixel(x, y) gives (r, g, b, a) with straight alpha."""
    rows = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
                chunk(b"IEND", b""))


def coverage(inside, x, y, samples=4):
    """Share of the pixel (x, y) for which inside(px, py) holds."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            hits += inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples)
    return hits / (samples * samples)


def rounded(left, top, right, bottom, radius):
    """inside(px, py) of a rounded rectangle."""
    def inside(px, py):
        if px < left or px > right or py < top or py > bottom:
            return False
        cx = min(max(px, left + radius), right - radius)
        cy = min(max(py, top + radius), bottom - radius)
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2
    return inside


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def shape(width, height, inside, colour):
    """colour(x, y) inside the shape, transparent outside."""
    def pixel(x, y):
        c = coverage(inside, x, y)
        return colour(x, y) + (round(255 * c),) if c > 0 else (0, 0, 0, 0)
    return pixel


def flat(rgb):
    return lambda x, y: rgb


def cross(cx, cy, half, thickness):
    """inside(px, py) of an x of two bars through (cx, cy)."""
    def inside(px, py):
        dx, dy = px - cx, py - cy
        if abs(dx) > half or abs(dy) > half:
            return False
        return abs(dx - dy) <= thickness * 0.7071 or abs(dx + dy) <= thickness * 0.7071
    return inside


def close_button(out, background):
    """32 x 32: a rounded square (none for the normal state) under a light cross."""
    size = 32
    square = rounded(2, 2, 30, 30, 6)
    mark = cross(16, 16, 5.5, 1.6)

    def pixel(x, y):
        c_bg = coverage(square, x, y) if background else 0.0
        c_x = coverage(mark, x, y)
        glyph = WHITE if background else (0xC8, 0xD2, 0xE6)
        if c_x > 0:
            base = background if background else glyph
            rgb = mix(base, glyph, c_x)
            alpha = max(c_bg, c_x)
            return rgb + (round(255 * alpha),)
        if c_bg > 0:
            return background + (round(255 * c_bg),)
        return (0, 0, 0, 0)
    png(out, size, size, pixel)


def state_strip(out, inside, colours):
    """32 x 8: four 8 x 8 frames (normal, hot, pushed, disabled), the same
    shape in each frame's colour, as the scroll bar's default images are cut."""
    frames = [shape(8, 8, inside, flat(rgb)) for rgb in colours]

    def pixel(x, y):
        frame, fx = divmod(x, 8)
        return frames[frame](fx, y)
    png(out, 32, 8, pixel)


def arrow(up):
    """inside(px, py) of a small triangle pointing up or down in an 8 x 8 frame."""
    def inside(px, py):
        row = py if up else 8 - py
        return 2.5 <= row <= 5.5 and abs(px - 4) <= (row - 2.5) * 0.9
    return inside


def scroll_images(out_dir):
    """The scroll bar's default images (scroll_*.png): a light track, a round
    thumb that turns blue while dragged, a grip of three lines and arrows."""
    thumb = [(0xB7, 0xC4, 0xD9), GRIP, BLUE, (0xDD, 0xE3, 0xEC)]
    track = [(0xEC, 0xF0, 0xF6), (0xE3, 0xE9, 0xF2), (0xE3, 0xE9, 0xF2), (0xF3, 0xF5, 0xF9)]
    lines = [(0xE4, 0xEA, 0xF3), (0xC9, 0xD3, 0xE3), (0xD6, 0xE4, 0xFF), (0xEE, 0xF1, 0xF6)]
    arrows = [(0x98, 0xA6, 0xBE), GRIP, BLUE, (0xDD, 0xE3, 0xEC)]
    state_strip(out_dir + "/scroll_back.png", rounded(0, 0, 8, 8, 2), track)
    state_strip(out_dir + "/scroll_thumb.png", rounded(0, 0, 8, 8, 3), thumb)
    state_strip(out_dir + "/scroll_tail.png", lambda px, py: 2 <= px < 6 and int(py) in (2, 4, 6), lines)
    state_strip(out_dir + "/scroll_button1.png", arrow(True), arrows)
    state_strip(out_dir + "/scroll_button2.png", arrow(False), arrows)


def frames(out, width, height, draws):
    """A horizontal strip of frames; draws[i](x, y) gives the pixel of frame i."""
    def pixel(x, y):
        frame, fx = divmod(x, width)
        return draws[frame](fx, y)
    png(out, width * len(draws), height, pixel)


def layered(*layers):
    """Pixels of shapes drawn over each other: (inside, colour) pairs, last on top."""
    def pixel(x, y):
        rgb, alpha = (0, 0, 0), 0.0
        for inside, colour in layers:
            c = coverage(inside, x, y)
            if c > 0:
                rgb = mix(rgb, colour, c) if alpha > 0 else colour
                alpha = alpha + c * (1 - alpha)
        return rgb + (round(255 * alpha),) if alpha > 0 else (0, 0, 0, 0)
    return pixel


def outlined(inside_outer, inside_inner, line, fill):
    return layered((inside_outer, line), (inside_inner, fill))


def tick(px, py):
    """A check mark in a 16 x 16 frame."""
    def near(ax, ay, bx, by):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        return (px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2 <= 1.1 ** 2
    return near(4.2, 8.2, 7, 11) or near(7, 11, 12, 5)


def input_images(out_dir):
    """Check boxes and radio buttons (six 16 x 16 frames: normal, hot, selected,
    selected hot, disabled, selected disabled) and the edit field's frame strip
    (normal, hot, focused, disabled; 40 x 30 with 6-pixel corners)."""
    box = rounded(0.5, 0.5, 15.5, 15.5, 3.5)
    inner = rounded(1.5, 1.5, 14.5, 14.5, 2.5)
    checks = [outlined(box, inner, BORDER, WHITE), outlined(box, inner, BLUE, WHITE),
              layered((box, BLUE), (tick, WHITE)), layered((box, BLUE_HOT), (tick, WHITE)),
              outlined(box, inner, DISABLED, FIELD_DISABLED), layered((box, DISABLED), (tick, WHITE))]
    frames(out_dir + "/check.png", 16, 16, checks)

    ring = rounded(0.5, 0.5, 15.5, 15.5, 7.5)
    hole = rounded(1.5, 1.5, 14.5, 14.5, 6.5)
    dot = rounded(4.5, 4.5, 11.5, 11.5, 3.5)
    radios = [outlined(ring, hole, BORDER, WHITE), outlined(ring, hole, BLUE, WHITE),
              layered((ring, BLUE), (hole, WHITE), (dot, BLUE)), layered((ring, BLUE_HOT), (hole, WHITE), (dot, BLUE_HOT)),
              outlined(ring, hole, DISABLED, FIELD_DISABLED), layered((ring, DISABLED), (hole, WHITE), (dot, DISABLED))]
    frames(out_dir + "/radio.png", 16, 16, radios)

    w, h = 40, 30
    outer = rounded(0, 0, w, h, 6)
    field = rounded(1, 1, w - 1, h - 1, 5)
    focused = rounded(2, 2, w - 2, h - 2, 4)
    frames(out_dir + "/edit.png", w, h, [outlined(outer, field, BORDER, WHITE), outlined(outer, field, BORDER_HOT, WHITE),
                                         outlined(outer, focused, BLUE, WHITE),
                                         outlined(outer, field, DISABLED, FIELD_DISABLED)])


def message_box_images(out_dir):
    """What the message boxes name: their buttons ("zul/btn31_*" primary,
    "zul/cancel_*" secondary, 90 x 31) and the notice icon (48 x 48)."""
    os.makedirs(out_dir + "/zul", exist_ok=True)
    os.makedirs(out_dir + "/common", exist_ok=True)
    w, h = 90, 31
    body = rounded(0, 0, w, h, 6)
    inner = rounded(1, 1, w - 1, h - 1, 5)
    for state, rgb in (("normal", BLUE), ("hot", BLUE_HOT), ("pushed", BLUE_PUSHED)):
        png(out_dir + "/zul/btn31_%s.png" % state, w, h, shape(w, h, body, flat(rgb)))
    for state, line, fill in (("normal", BORDER, WHITE), ("hot", BORDER_HOT, (0xF6, 0xF8, 0xFC)),
                              ("pushed", BORDER_HOT, SOFT_BUTTON)):
        png(out_dir + "/zul/cancel_%s.png" % state, w, h, outlined(body, inner, line, fill))
    disc = rounded(0, 0, 48, 48, 24)
    bar = rounded(21.5, 11, 26.5, 29, 2.5)
    point = rounded(21.5, 32, 26.5, 37, 2.5)
    png(out_dir + "/common/msg_noice48.png", 48, 48, layered((disc, AMBER), (bar, WHITE), (point, WHITE)))


def combo_images(out_dir):
    """combo.png: the combo box's face in three 60 x 28 frames (normal, hot,
    pushed) side by side, a rounded outline over a light fill with a chevron
    in the right 28 pixels (cut with corner='8,8,28,8' to keep it there)."""
    w, h = 60, 28
    outer = rounded(0, 0, w, h, 6)
    inner = rounded(1, 1, w - 1, h - 1, 5)

    def chevron(px, py):
        dx = px - 44
        return abs(dx) <= 4.2 and abs((py - 15.5) + abs(dx) * 0.75) <= 0.9

    looks = [(BORDER, WHITE, GRIP), (BLUE_HOT, WHITE, BLUE), (BLUE, (0xEE, 0xF4, 0xFF), BLUE_PUSHED)]
    frames(out_dir + "/combo.png", w, h,
           [layered((outer, line), (inner, fill), (chevron, glyph)) for line, fill, glyph in looks])
    # The list header's column separator: a 4-pixel drag strip, a line in its middle.
    png(out_dir + "/header_sep.png", 4, 16, lambda x, y: (0xD5, 0xDC, 0xE7, 255) if x == 2 and 3 <= y < 13 else (0, 0, 0, 0))


def gif(path, width, height, palette, frames, delays):
    """An animated GIF of frames (each index(x, y) -> palette index, at most
    16 colours), looping forever; delays in hundredths of a second per frame,
    or None to write no frame delays at all. The LZW stream is plain literal
    codes with a clear code every 14 of them, so the code size stays 5 bits."""
    table = list(palette) + [(0, 0, 0)] * (16 - len(palette))
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF3, 0, 0))
    out += b"".join(bytes(rgb) for rgb in table)
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for i, index in enumerate(frames):
        if delays is not None:
            out += b"\x21\xF9\x04\x04" + struct.pack("<H", delays[i]) + b"\x00\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        codes = []
        pixels = [index(x, y) for y in range(height) for x in range(width)]
        for n, value in enumerate(pixels):
            if n % 14 == 0:
                codes.append(16)
            codes.append(value)
        codes.append(17)
        bits = 0
        count = 0
        data = bytearray()
        for code in codes:
            bits |= code << count
            count += 5
            while count >= 8:
                data.append(bits & 0xFF)
                bits >>= 8
                count -= 8
        if count > 0:
            data.append(bits & 0xFF)
        out += b"\x04"
        for start in range(0, len(data), 255):
            block = data[start:start + 255]
            out += bytes([len(block)]) + block
        out += b"\x00"
    out += b"\x3B"
    with open(path, "wb") as f:
        f.write(out)


def gif_images(out_dir):
    """spinner.gif: eight dots on a circle, the bright one going round (8
    frames of 48 x 48, 0.1 s each). anim3.gif / anim3_nodelay.gif: three
    16 x 16 frames, red, green, blue, 0.3 s each / without frame delays."""
    import math
    palette = [WHITE, (0xD6, 0xE4, 0xFF), BLUE]

    def spinner(frame):
        def index(x, y):
            for dot in range(8):
                angle = dot * math.pi / 4
                cx, cy = 24 + 16 * math.cos(angle), 24 + 16 * math.sin(angle)
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= 16:
                    return 2 if dot == frame else 1
            return 0
        return index

    gif(out_dir + "/spinner.gif", 48, 48, palette, [spinner(f) for f in range(8)], [10] * 8)
    solid = [(0xFF, 0, 0), (0, 0xFF, 0), (0, 0, 0xFF)]
    frames = [lambda x, y, i=i: i for i in range(3)]
    gif(out_dir + "/anim3.gif", 16, 16, solid, frames, [30, 30, 30])
    gif(out_dir + "/anim3_nodelay.gif", 16, 16, solid, frames, None)


def tree_images(out_dir):
    """The tree's row glyphs and the slider's thumb. Row glyphs are 18 x 24 (the row's button size): the folder
    button open (a chevron down) and closed (a chevron right), and the check
    box off and on (a rounded square, ticked when on)."""
    w, h = 18, 24

    def chevron(down):
        def inside(px, py):
            if down:
                dx, dy = px - 9, py - 12.5
            else:
                dx, dy = py - 12, px - 9.5
            return abs(dx) <= 4.2 and abs(dy + abs(dx) * 0.75 - 1) <= 0.9
        return inside

    png(out_dir + "/tree_open.png", w, h, shape(w, h, chevron(True), flat(GRIP)))
    png(out_dir + "/tree_closed.png", w, h, shape(w, h, chevron(False), flat(GRIP)))
    outer = rounded(2, 5, 16, 19, 3)
    inner = rounded(3, 6, 15, 18, 2)

    def tick(px, py):
        return abs(py - (15 - abs(px - 7.5) * 0 - (px - 7.5) * 0.9 if px > 7.5 else 15 - (7.5 - px) * 0.9)) <= 1 \
            and 4.5 <= px <= 13.5
    png(out_dir + "/tree_check.png", w, h, outlined(outer, inner, BORDER, WHITE))
    png(out_dir + "/tree_checked.png", w, h, layered((outer, BLUE), (tick, WHITE)))
    # The slider's thumb: a white disc ringed in blue, 16 x 16 (hot: a lighter ring).
    disc = rounded(0, 0, 16, 16, 8)
    core = rounded(3, 3, 13, 13, 5)
    png(out_dir + "/thumb.png", 16, 16, outlined(disc, core, BLUE, WHITE))
    png(out_dir + "/thumb_hot.png", 16, 16, outlined(disc, core, BLUE_HOT, WHITE))
    # Its track and fill: an 8-pixel band in the middle of 16 rows, so both
    # stretch over the slider's whole height with the band staying 8 high.
    band = rounded(0, 4, 16, 12, 4)
    png(out_dir + "/slider_track.png", 16, 16, shape(16, 16, band, flat(TRACK)))
    png(out_dir + "/slider_fill.png", 16, 16, shape(16, 16, band, lambda x, y: mix(BLUE, VIOLET, x / 15)))


def main(out_dir):
    # Caption: the logo, a rounded square with a diagonal blue-violet gradient.
    png(out_dir + "/logo.png", 22, 22,
        shape(22, 22, rounded(0, 0, 22, 22, 6), lambda x, y: mix(BLUE, VIOLET, (x + y) / 42)))
    close_button(out_dir + "/close.png", None)
    close_button(out_dir + "/close_hot.png", RED)
    close_button(out_dir + "/close_pushed.png", RED_PUSHED)

    # The primary button: a strip of four frames (normal, hot, pushed,
    # disabled), each 96 x 34 with 6-pixel corners for nine-grid stretching.
    frames = [BLUE, BLUE_HOT, BLUE_PUSHED, DISABLED]
    w, h = 96, 34
    body = rounded(0, 0, w, h, 6)

    def strip(x, y):
        frame, fx = divmod(x, w)
        c = coverage(body, fx, y)
        return frames[frame] + (round(255 * c),) if c > 0 else (0, 0, 0, 0)
    png(out_dir + "/button.png", w * 4, h, strip)
    # A soft secondary button that fades into the primary one.
    png(out_dir + "/button_soft.png", w, h, shape(w, h, body, flat(SOFT_BUTTON)))

    # Progress bars: a track and a gradient fill with round ends, for both
    # directions (4-pixel corners).
    png(out_dir + "/track.png", 16, 8, shape(16, 8, rounded(0, 0, 16, 8, 4), flat(TRACK)))
    png(out_dir + "/fill.png", 16, 8, shape(16, 8, rounded(0, 0, 16, 8, 4), lambda x, y: mix(BLUE, VIOLET, x / 15)))
    png(out_dir + "/trackv.png", 8, 16, shape(8, 16, rounded(0, 0, 8, 16, 4), flat(TRACK)))
    png(out_dir + "/fillv.png", 8, 16,
        shape(8, 16, rounded(0, 0, 8, 16, 4), lambda x, y: mix(VIOLET, BLUE, y / 15)))

    # The splitter's grip: three dots on a 6 x 40 strip.
    dots = [rounded(1.5, cy - 1.5, 4.5, cy + 1.5, 1.5) for cy in (14, 20, 26)]
    png(out_dir + "/grip.png", 6, 40, shape(6, 40, lambda px, py: any(d(px, py) for d in dots), flat(GRIP)))

    scroll_images(out_dir)
    input_images(out_dir)
    message_box_images(out_dir)
    combo_images(out_dir)
    gif_images(out_dir)
    tree_images(out_dir)


if __name__ == "__main__":
    main(sys.argv[1])

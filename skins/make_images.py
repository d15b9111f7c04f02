#!/usr/bin/env python3
"""Draws the images of the installer's and the uninstaller's skins, and the
programs' icon artwork, as PNG files, and the launcher's loading animation as
an animated GIF. Standard library only; every shape is a signed-distance
figure, so edges are anti-aliased at any size.

  make_images.py skin zulinst|zulplay|zulplayuninst <out dir>
  make_images.py icon zulinst|zulplay|zulplayuninst <out dir>   icon_<size>.png for the .ico

The two programs share one look: a light window, a soft blue hero behind the
logo, a pale band at the bottom, blue primary buttons and white outlined
secondary ones. Text is drawn by the UI framework, so the images carry shapes
only.
"""
import math
import os
import struct
import sys
import zlib

# Palette (RGB). The hero's top matches the title bar colour of the skins.
ACCENT = (0x6D, 0xAB, 0xFF)
HERO_LOW = (0x9F, 0xCA, 0xFF)
PRIMARY_TOP, PRIMARY_BOTTOM = (0x4F, 0x97, 0xFB), (0x3A, 0x82, 0xF0)
PRIMARY_HOT_TOP, PRIMARY_HOT_BOTTOM = (0x66, 0xA6, 0xFF), (0x4E, 0x93, 0xF6)
PRIMARY_PUSHED = (0x2F, 0x6F, 0xD6)
DISABLED_FILL = (0xC9, 0xD5, 0xE4)
WHITE = (0xFF, 0xFF, 0xFF)
BAND = (0xF4, 0xF7, 0xFB)
BAND_LINE = (0xE3, 0xE9, 0xF1)
BORDER = (0xC5, 0xD2, 0xE2)
BORDER_HOT = (0x8D, 0xB9, 0xF5)
TEXT_MUTED = (0x6B, 0x7A, 0x8C)
TRACK = (0xE2, 0xE9, 0xF2)
SUCCESS = (0x2E, 0xBD, 0x85)
WARNING = (0xFF, 0xB0, 0x20)
CLOSE_HOT, CLOSE_PUSHED = (0xF0, 0x60, 0x5D), (0xD8, 0x4B, 0x48)
WARM_TOP, WARM_BOTTOM = (0xFF, 0x9A, 0x62), (0xF2, 0x6D, 0x50)


# ---- Canvas: premultiplied RGBA floats, "over" compositing -----------------

class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        n = width * height
        self.r, self.g, self.b, self.a = [0.0] * n, [0.0] * n, [0.0] * n, [0.0] * n

    def fill(self, sdf, color, box=None, soft=1.0):
        """Paints the figure sdf(x, y) <= 0 with color: an RGB tuple, an
        (RGB, alpha) pair or a function (x, y) -> (RGB, alpha). soft widens the
        edge (in pixels) for shadows and glows."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        shade = color if callable(color) else None
        if shade is None:
            rgb, alpha = (color, 1.0) if len(color) == 3 else color
        for y in range(y0, y1):
            cy = y + 0.5
            row = y * self.w
            for x in range(x0, x1):
                cx = x + 0.5
                cover = 0.5 - sdf(cx, cy) / soft
                if cover <= 0.0:
                    continue
                if cover > 1.0:
                    cover = 1.0
                if shade is not None:
                    rgb, alpha = shade(cx, cy)
                sa = alpha * cover
                if sa <= 0.0:
                    continue
                i = row + x
                keep = 1.0 - sa
                self.r[i] = rgb[0] * sa + self.r[i] * keep
                self.g[i] = rgb[1] * sa + self.g[i] * keep
                self.b[i] = rgb[2] * sa + self.b[i] * keep
                self.a[i] = sa + self.a[i] * keep

    def save(self, path):
        rows = bytearray()
        for y in range(self.h):
            rows.append(0)
            for x in range(self.w):
                i = y * self.w + x
                a = self.a[i]
                if a <= 0.0:
                    rows += b"\x00\x00\x00\x00"
                    continue
                rows += bytes((_byte(self.r[i] / a), _byte(self.g[i] / a), _byte(self.b[i] / a), _byte(a * 255.0)))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

        os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)  # 8-bit RGBA
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) +
                    chunk(b"IEND", b""))


def _byte(v):
    return 0 if v <= 0 else 255 if v >= 255 else int(v + 0.5)


# ---- Figures (signed distances: negative inside) ---------------------------

def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def d(x, y):
        qx, qy = abs(x - cx) - hx + radius, abs(y - cy) - hy + radius
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return d


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def ellipse(cx, cy, rx, ry):
    def d(x, y):
        nx, ny = (x - cx) / rx, (y - cy) / ry
        k = math.hypot(nx, ny)
        if k == 0.0:
            return -min(rx, ry)
        grad = math.hypot(nx / rx, ny / ry) / k
        return (k - 1.0) / grad
    return d


def segment(ax, ay, bx, by, width):
    """A stroke with round ends from (ax, ay) to (bx, by)."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def d(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2
    return d


def polyline(points, width):
    parts = [segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def polygon(points):
    """Exact distance to a closed polygon."""
    n = len(points)

    def d(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(wx - t * ex, wy - t * ey))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -best if inside else best
    return d


def rounded(figure, radius):
    return lambda x, y: figure(x, y) - radius


def union(*figures):
    return lambda x, y: min(f(x, y) for f in figures)


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def ring_arc(cx, cy, radius, width, lower_only):
    """A stroke along a circle; with lower_only, the lower half with round ends."""
    def d(x, y):
        if lower_only and y < cy:
            return min(math.hypot(x - (cx - radius), y - cy), math.hypot(x - (cx + radius), y - cy)) - width / 2
        return abs(math.hypot(x - cx, y - cy) - radius) - width / 2
    return d


def vertical(top_rgb, bottom_rgb, y0, y1, alpha=1.0):
    def shade(x, y):
        t = max(0.0, min(1.0, (y - y0) / float(y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top_rgb, bottom_rgb)), alpha
    return shade


def horizontal(left_rgb, right_rgb, x0, x1, alpha=1.0):
    def shade(x, y):
        t = max(0.0, min(1.0, (x - x0) / float(x1 - x0)))
        return tuple(a + (b - a) * t for a, b in zip(left_rgb, right_rgb)), alpha
    return shade


def everywhere():
    return lambda x, y: -1.0


# ---- Glyphs ----------------------------------------------------------------

def check_mark(c, x0, y0, size, width, rgb, alpha=1.0):
    """A tick inside the size x size square at (x0, y0)."""
    pts = [(x0 + size * 0.22, y0 + size * 0.52), (x0 + size * 0.43, y0 + size * 0.72), (x0 + size * 0.78, y0 + size * 0.32)]
    c.fill(polyline(pts, width), (rgb, alpha), (x0, y0, x0 + size, y0 + size))


def chevron(c, cx, cy, half, width, rgb, direction):
    """An open arrow head pointing down, up, left or right."""
    dx, dy = {"down": (0, 1), "up": (0, -1), "right": (1, 0), "left": (-1, 0)}[direction]
    tip = (cx + dx * half / 2, cy + dy * half / 2)
    side = (-dy, dx)
    a = (cx - dx * half / 2 + side[0] * half, cy - dy * half / 2 + side[1] * half)
    b = (cx - dx * half / 2 - side[0] * half, cy - dy * half / 2 - side[1] * half)
    c.fill(polyline([a, tip, b], width), rgb, (cx - half - 2, cy - half - 2, cx + half + 2, cy + half + 2))


# ---- The skin images -------------------------------------------------------

def background(path, hero_bottom):
    """The window background, 640 x 400: a blue hero behind the logo with a
    curved lower edge, white below, and a pale band from y 336 whose lower part
    may be stretched when the window grows (the skins keep the top 340 rows)."""
    w, h = 640, 400
    c = Canvas(w, h)
    c.fill(everywhere(), WHITE)
    band_top = 336
    c.fill(rounded_rect(0, band_top, w, h + 10, 0), BAND, (0, band_top, w, h))
    c.fill(rounded_rect(0, band_top, w, band_top + 1, 0), BAND_LINE, (0, band_top, w, band_top + 1))

    hero = union(rounded_rect(-10, -10, w + 10, hero_bottom - 60, 0),
                 ellipse(w / 2, hero_bottom - 120, 560, 120))
    c.fill(hero, vertical(ACCENT, HERO_LOW, 0, hero_bottom), (0, 0, w, hero_bottom + 2))
    # Soft light shapes inside the hero.
    for cx, cy, r, alpha in ((70, 40, 150, 0.10), (600, 190, 120, 0.08), (520, -30, 90, 0.09), (250, 260, 110, 0.06)):
        c.fill(intersect(circle(cx, cy, r), hero), (WHITE, alpha), (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))
    c.fill(intersect(ring_arc(560, 70, 54, 2.0, False), hero), (WHITE, 0.22), (500, 10, 620, 130))
    c.fill(intersect(ring_arc(96, 176, 26, 2.0, False), hero), (WHITE, 0.20), (66, 146, 126, 206))
    # A faint shadow where the hero meets the white.
    c.fill(lambda x, y: max(-hero(x, y) - 6.0, hero(x, y) - 1.0), ((0x3A, 0x6F, 0xC0), 0.05), (0, hero_bottom - 80, w, hero_bottom + 2))
    c.save(path)


def mark(c, x0, y0, size, top_rgb, bottom_rgb):
    """The product mark: a white rounded square with a rounded play triangle."""
    s = size
    c.fill(rounded_rect(x0 + s * 0.04, y0 + s * 0.08, x0 + s * 0.96, y0 + s * 1.02, s * 0.24), ((0x1E, 0x4F, 0xA8), 0.18),
           (x0 - 4, y0, x0 + s + 4, y0 + s + 8), soft=s * 0.08)
    c.fill(rounded_rect(x0, y0, x0 + s, y0 + s, s * 0.24), WHITE, (x0, y0, x0 + s, y0 + s))
    tri = [(x0 + s * 0.38, y0 + s * 0.28), (x0 + s * 0.38, y0 + s * 0.72), (x0 + s * 0.74, y0 + s * 0.50)]
    c.fill(rounded(polygon(tri), s * 0.05), vertical(top_rgb, bottom_rgb, y0 + s * 0.25, y0 + s * 0.75),
           (x0, y0, x0 + s, y0 + s))


def wordmark(c, x0, y0, height, stroke, rgb, alpha=1.0):
    """The letters Z, U and L drawn as strokes (the product word is part of the logo)."""
    w = height * 0.64
    gap = height * 0.17
    h = height
    z = polyline([(x0, y0), (x0 + w, y0), (x0, y0 + h), (x0 + w, y0 + h)], stroke)
    ux = x0 + w + gap
    u = union(segment(ux, y0, ux, y0 + h - w / 2, stroke), segment(ux + w, y0, ux + w, y0 + h - w / 2, stroke),
              ring_arc(ux + w / 2, y0 + h - w / 2, w / 2, stroke, True))
    lx = ux + w + gap
    l = polyline([(lx, y0), (lx, y0 + h), (lx + w * 0.8, y0 + h)], stroke)
    pad = stroke
    c.fill(union(z, u, l), (rgb, alpha), (x0 - pad, y0 - pad, lx + w + pad, y0 + h + pad))


def logo(path, top_rgb, bottom_rgb):
    """308 x 141, transparent: the mark and the word mark in white."""
    c = Canvas(308, 141)
    mark(c, 14, 20, 100, top_rgb, bottom_rgb)
    wordmark(c, 146, 37, 66, 13, WHITE)
    c.save(path)


def title_button(path, glyph):
    """41 x 41 frames: normal, hot, pushed, disabled; a white minimise or close glyph."""
    size = 41
    c = Canvas(size * 4, size)
    for frame in range(4):
        x0 = frame * size
        if glyph == "close" and frame in (1, 2):
            c.fill(rounded_rect(x0, 0, x0 + size, size, 0), CLOSE_HOT if frame == 1 else CLOSE_PUSHED, (x0, 0, x0 + size, size))
        elif frame in (1, 2):
            c.fill(rounded_rect(x0 + 6, 6, x0 + size - 6, size - 6, 6), (WHITE, 0.20 if frame == 1 else 0.32),
                   (x0, 0, x0 + size, size))
        alpha = 0.45 if frame == 3 else 1.0
        cx, cy = x0 + size / 2, size / 2
        if glyph == "min":
            c.fill(segment(cx - 6, cy + 0.5, cx + 6, cy + 0.5, 1.6), (WHITE, alpha), (x0, 0, x0 + size, size))
        else:
            c.fill(union(segment(cx - 5.5, cy - 5.5, cx + 5.5, cy + 5.5, 1.6), segment(cx - 5.5, cy + 5.5, cx + 5.5, cy - 5.5, 1.6)),
                   (WHITE, alpha), (x0, 0, x0 + size, size))
    c.save(path)


def primary_button(path, width, height, radius):
    """width x height frames: normal, hot, pushed, disabled, side by side."""
    c = Canvas(width * 4, height)
    fills = [vertical(PRIMARY_TOP, PRIMARY_BOTTOM, 0, height), vertical(PRIMARY_HOT_TOP, PRIMARY_HOT_BOTTOM, 0, height),
             vertical(PRIMARY_PUSHED, PRIMARY_PUSHED, 0, height), vertical(DISABLED_FILL, DISABLED_FILL, 0, height)]
    for frame, shade in enumerate(fills):
        x0 = frame * width
        c.fill(rounded_rect(x0, 0, x0 + width, height, radius), shade, (x0, 0, x0 + width, height))
        if frame < 2:  # a hairline of light along the top edge
            c.fill(intersect(rounded_rect(x0 + 1, 1, x0 + width - 1, height, radius - 1), lambda x, y: abs(y - 1.5) - 0.5),
                   (WHITE, 0.18), (x0, 0, x0 + width, 3))
    c.save(path)


def single_frames(folder, prefix, width, height, radius):
    """The message box's primary button: three files, normal, hot and pushed."""
    shades = {"normal": vertical(PRIMARY_TOP, PRIMARY_BOTTOM, 0, height),
              "hot": vertical(PRIMARY_HOT_TOP, PRIMARY_HOT_BOTTOM, 0, height),
              "pushed": vertical(PRIMARY_PUSHED, PRIMARY_PUSHED, 0, height)}
    for state, shade in shades.items():
        c = Canvas(width, height)
        c.fill(rounded_rect(0, 0, width, height, radius), shade)
        c.save(os.path.join(folder, "%s_%s.png" % (prefix, state)))


def secondary_button(path, width, height, radius):
    """White outlined button frames: normal, hot, pushed, disabled."""
    c = Canvas(width * 4, height)
    looks = [(WHITE, BORDER), ((0xF2, 0xF7, 0xFF), BORDER_HOT), ((0xE3, 0xED, 0xFC), PRIMARY_BOTTOM), ((0xF3, 0xF5, 0xF8), (0xDD, 0xE3, 0xEA))]
    for frame, (fill, line) in enumerate(looks):
        x0 = frame * width
        c.fill(rounded_rect(x0, 0, x0 + width, height, radius), line, (x0, 0, x0 + width, height))
        c.fill(rounded_rect(x0 + 1, 1, x0 + width - 1, height - 1, radius - 1), fill, (x0, 0, x0 + width, height))
    c.save(path)


def edit_frame(path, width, height, radius):
    """The folder field's frames: normal, hot, focused, disabled."""
    c = Canvas(width * 4, height)
    looks = [(WHITE, BORDER, 1.0), (WHITE, BORDER_HOT, 1.0), (WHITE, PRIMARY_TOP, 1.5), ((0xF3, 0xF5, 0xF8), (0xDD, 0xE3, 0xEA), 1.0)]
    for frame, (fill, line, stroke) in enumerate(looks):
        x0 = frame * width
        c.fill(rounded_rect(x0, 0, x0 + width, height, radius), line, (x0, 0, x0 + width, height))
        c.fill(rounded_rect(x0 + stroke, stroke, x0 + width - stroke, height - stroke, radius - stroke), fill,
               (x0, 0, x0 + width, height))
    c.save(path)


def check_box(path):
    """16 x 16 frames: normal, hot, selected, selected hot, disabled."""
    s = 16
    c = Canvas(s * 5, s)
    for frame in range(5):
        x0 = frame * s
        box = (x0, 0, x0 + s, s)
        if frame in (2, 3):
            c.fill(rounded_rect(x0 + 0.5, 0.5, x0 + s - 0.5, s - 0.5, 3.5), PRIMARY_BOTTOM if frame == 2 else PRIMARY_PUSHED, box)
            check_mark(c, x0, 0, s, 1.9, WHITE)
        else:
            line = {0: BORDER, 1: PRIMARY_TOP, 4: (0xDD, 0xE3, 0xEA)}[frame]
            c.fill(rounded_rect(x0 + 0.5, 0.5, x0 + s - 0.5, s - 0.5, 3.5), line, box)
            c.fill(rounded_rect(x0 + 1.5, 1.5, x0 + s - 1.5, s - 1.5, 2.5), WHITE if frame != 4 else (0xF3, 0xF5, 0xF8), box)
    c.save(path)


def progress(track_path, fill_path):
    """The progress bar: a 60 x 10 pill track and its blue fill."""
    c = Canvas(60, 10)
    c.fill(rounded_rect(0, 0, 60, 10, 5), TRACK)
    c.save(track_path)
    c = Canvas(60, 10)
    c.fill(rounded_rect(0, 0, 60, 10, 5), horizontal(ACCENT, PRIMARY_BOTTOM, 0, 60))
    c.save(fill_path)


def glyph_strip(path, size, glyphs):
    """size x size frames, each a chevron (direction, colour)."""
    c = Canvas(size * len(glyphs), size)
    for frame, (direction, rgb) in enumerate(glyphs):
        chevron(c, frame * size + size / 2, size / 2, size * 0.28, 1.6, rgb, direction)
    c.save(path)


def badge(path, size, rgb, kind):
    """A filled circle with a white tick ("ok") or exclamation mark ("notice")."""
    c = Canvas(size, size)
    c.fill(circle(size / 2, size / 2, size / 2 - 0.5), rgb)
    if kind == "ok":
        check_mark(c, size * 0.1, size * 0.06, size * 0.8, size * 0.1, WHITE)
    else:
        c.fill(segment(size / 2, size * 0.26, size / 2, size * 0.56, size * 0.11), WHITE)
        c.fill(circle(size / 2, size * 0.73, size * 0.065), WHITE)
    c.save(path)


def skin_images(program, out):
    zul = os.path.join(out, "zul")
    title_button(os.path.join(zul, "sys_min.png"), "min")
    title_button(os.path.join(zul, "sys_close.png"), "close")
    primary_button(os.path.join(zul, "btn_big.png"), 210, 45, 8)
    progress(os.path.join(zul, "progress_bk.png"), os.path.join(zul, "progress_fore.png"))
    badge(os.path.join(zul, "done.png"), 20, SUCCESS, "ok")
    if program == "zulinst":
        background(os.path.join(zul, "bg.png"), 240)
        logo(os.path.join(zul, "logo.png"), PRIMARY_TOP, PRIMARY_BOTTOM)
        logo(os.path.join(zul, "tw_logo.png"), WARM_TOP, WARM_BOTTOM)
        check_box(os.path.join(zul, "check.png"))
        secondary_button(os.path.join(zul, "btn_small.png"), 40, 28, 5)
        edit_frame(os.path.join(zul, "edit.png"), 40, 28, 5)
        glyph_strip(os.path.join(zul, "chevron.png"), 12, [("down", TEXT_MUTED), ("down", PRIMARY_BOTTOM)])
        # The message box: its primary button and the notice and success icons.
        single_frames(zul, "btn31", 90, 31, 6)
        badge(os.path.join(out, "common", "msg_noice48.png"), 48, WARNING, "notice")
        badge(os.path.join(out, "commonEnalarge", "msg_noice48.png"), 72, WARNING, "notice")
        badge(os.path.join(out, "common", "msg_ok.png"), 48, SUCCESS, "ok")
        # The folder-panel toggle's arrows: right and left, normal and hot.
        glyph_strip(os.path.join(out, "direct_path.png"), 12, [("right", TEXT_MUTED), ("right", PRIMARY_BOTTOM),
                                                               ("left", TEXT_MUTED), ("left", PRIMARY_BOTTOM)])
    else:
        background(os.path.join(zul, "bg.png"), 198)
        logo(os.path.join(zul, "bg_logo.png"), PRIMARY_TOP, PRIMARY_BOTTOM)
        secondary_button(os.path.join(zul, "btn_small.png"), 40, 31, 6)
        primary_button(os.path.join(zul, "btn_mid.png"), 140, 31, 6)


# ---- The launcher (zulplay) ------------------------------------------------
# The same family on a night-blue ground: the window is a deep blue gradient
# with soft glows, panels are frosted white cards, the primary buttons and
# the progress are the installer's blue, and the product mark and word mark
# carry the game art.

NIGHT_TOP, NIGHT_BOTTOM = (0x1D, 0x3C, 0x7A), (0x0A, 0x12, 0x27)
ART_TOP, ART_BOTTOM = (0x4F, 0x97, 0xFB), (0x2C, 0x35, 0x9C)
CYAN = (0x62, 0xD8, 0xFF)
SLATE = (0x5A, 0x6B, 0x8C)
BLACK = (0x00, 0x00, 0x00)
REGION_CODES = ("en", "cn", "tw", "kr", "jp", "vn", "th", "pt", "id")


def launcher_background(path, w, h):
    """The window ground, drawn at a quarter of the window's size (the skin
    stretches it): a night-blue gradient with soft glows, nothing sharp."""
    c = Canvas(w, h)
    c.fill(everywhere(), vertical(NIGHT_TOP, NIGHT_BOTTOM, 0, h))
    for cx, cy, r, rgb, alpha in ((w * 0.82, h * 0.18, w * 0.30, ACCENT, 0.30), (w * 0.10, h * 0.85, w * 0.28, PRIMARY_BOTTOM, 0.22),
                                  (w * 0.45, h * 0.05, w * 0.18, CYAN, 0.10), (w * 0.62, h * 0.95, w * 0.22, (0x6A, 0x5C, 0xE8), 0.12)):
        c.fill(circle(cx, cy, r * 0.35), (rgb, alpha), soft=r * 1.3)
    c.save(path)


def band(path, width, height, top_alpha, bottom_alpha, line_y=None, line_alpha=0.0):
    """A translucent dark band (title bar, bottom bar) with an optional light hairline."""
    c = Canvas(width, height)
    c.fill(everywhere(), lambda x, y: (BLACK, top_alpha + (bottom_alpha - top_alpha) * y / height))
    if line_y is not None:
        c.fill(rounded_rect(0, line_y, width, line_y + 1, 0), (WHITE, line_alpha), (0, line_y, width, line_y + 1))
    c.save(path)


def card(path, size, radius, fill_alpha, line_alpha):
    """A frosted panel for nine-grid stretching: white at low alpha with a hairline."""
    c = Canvas(size, size)
    c.fill(rounded_rect(0, 0, size, size, radius), (WHITE, line_alpha))
    c.fill(rounded_rect(1, 1, size - 1, size - 1, radius - 1), ((0x10, 0x22, 0x4A), 0.50))
    c.fill(rounded_rect(1, 1, size - 1, size - 1, radius - 1), (WHITE, fill_alpha))
    c.save(path)


def game_art(path, w, h):
    """The right-hand art panel: a rounded blue card with light shapes, the
    product mark and the word mark."""
    c = Canvas(w, h)
    r = 18
    body = rounded_rect(0, 0, w, h, r)
    c.fill(body, vertical(ART_TOP, ART_BOTTOM, 0, h))
    for cx, cy, rad, alpha in ((w * 0.85, h * 0.12, w * 0.42, 0.12), (w * 0.05, h * 0.55, w * 0.35, 0.08),
                               (w * 0.70, h * 0.92, w * 0.30, 0.10)):
        c.fill(intersect(circle(cx, cy, rad), body), (WHITE, alpha), (cx - rad - 1, cy - rad - 1, cx + rad + 1, cy + rad + 1))
    c.fill(intersect(ring_arc(w * 0.80, h * 0.20, w * 0.16, 2.0, False), body), (WHITE, 0.25), (0, 0, w, h * 0.45))
    c.fill(intersect(ring_arc(w * 0.18, h * 0.78, w * 0.09, 2.0, False), body), (WHITE, 0.20), (0, h * 0.6, w * 0.4, h))
    for sx, sy, sr in ((0.22, 0.16, 2.5), (0.64, 0.34, 2.0), (0.30, 0.58, 1.8), (0.86, 0.62, 2.2), (0.52, 0.84, 2.0)):
        c.fill(circle(w * sx, h * sy, sr), (WHITE, 0.7), (w * sx - 4, h * sy - 4, w * sx + 4, h * sy + 4))
    size = w * 0.38
    x0, y0 = (w - size) / 2, h * 0.30
    mark(c, x0, y0, size, ART_TOP, ART_BOTTOM)
    word_h = size * 0.42
    word_w = word_h * (0.64 * 3 + 0.17 * 2)
    wordmark(c, (w - word_w) / 2, y0 + size + h * 0.07, word_h, word_h * 0.2, WHITE)
    c.fill(lambda x, y: abs(body(x, y) + 0.5) - 0.5, (WHITE, 0.18), (0, 0, w, h))
    c.save(path)


def round_button_frames(path, size, glyph, frames=3):
    """Round translucent buttons (normal, hot, pushed[, disabled]) with a white glyph."""
    c = Canvas(size * frames, size)
    for frame in range(frames):
        x0 = frame * size
        ring = (0.10, 0.20, 0.28, 0.05)[frame]
        c.fill(circle(x0 + size / 2, size / 2, size / 2 - 1), (WHITE, ring), (x0, 0, x0 + size, size))
        glyph(c, x0, size, 0.45 if frame == 3 else 1.0)
    c.save(path)


def glyph_home(c, x0, s, a):
    m = s / 2
    roof = polygon([(x0 + m, s * 0.26), (x0 + s * 0.74, s * 0.47), (x0 + s * 0.26, s * 0.47)])
    c.fill(union(rounded(roof, 1.0), rounded_rect(x0 + s * 0.32, s * 0.45, x0 + s * 0.68, s * 0.72, 1.5)), (WHITE, a), (x0, 0, x0 + s, s))
    c.fill(rounded_rect(x0 + s * 0.45, s * 0.56, x0 + s * 0.55, s * 0.73, 1.0), ((0x20, 0x3A, 0x70), a), (x0, 0, x0 + s, s))


def glyph_facebook(c, x0, s, a):
    stem = segment(x0 + s * 0.52, s * 0.34, x0 + s * 0.52, s * 0.72, s * 0.09)
    hook = ring_arc(x0 + s * 0.60, s * 0.36, s * 0.08, s * 0.09, False)
    top = intersect(hook, lambda x, y: max(y - s * 0.36, x0 + s * 0.52 - x))
    bar = segment(x0 + s * 0.42, s * 0.47, x0 + s * 0.63, s * 0.47, s * 0.08)
    c.fill(union(stem, top, bar), (WHITE, a), (x0, 0, x0 + s, s))


def glyph_video(c, x0, s, a):
    c.fill(rounded_rect(x0 + s * 0.26, s * 0.32, x0 + s * 0.74, s * 0.68, s * 0.08), (WHITE, a), (x0, 0, x0 + s, s))
    tri = [(x0 + s * 0.45, s * 0.41), (x0 + s * 0.45, s * 0.59), (x0 + s * 0.60, s * 0.50)]
    c.fill(polygon(tri), ((0x20, 0x3A, 0x70), a), (x0, 0, x0 + s, s))


def glyph_chat(c, x0, s, a):
    c.fill(rounded_rect(x0 + s * 0.27, s * 0.32, x0 + s * 0.73, s * 0.64, s * 0.12), (WHITE, a), (x0, 0, x0 + s, s))
    c.fill(polygon([(x0 + s * 0.36, s * 0.60), (x0 + s * 0.34, s * 0.73), (x0 + s * 0.48, s * 0.62)]), (WHITE, a), (x0, 0, x0 + s, s))
    for ex in (0.41, 0.59):
        c.fill(circle(x0 + s * ex, s * 0.48, s * 0.045), ((0x20, 0x3A, 0x70), a), (x0, 0, x0 + s, s))


def glyph_bolt(c, x0, s, a):
    pts = [(x0 + s * 0.54, s * 0.26), (x0 + s * 0.36, s * 0.53), (x0 + s * 0.50, s * 0.53), (x0 + s * 0.45, s * 0.74),
           (x0 + s * 0.65, s * 0.45), (x0 + s * 0.51, s * 0.45)]
    c.fill(polygon(pts), (WHITE, a), (x0, 0, x0 + s, s))


def glyph_letter_n(c, x0, s, a):
    c.fill(polyline([(x0 + s * 0.36, s * 0.70), (x0 + s * 0.36, s * 0.30), (x0 + s * 0.64, s * 0.70), (x0 + s * 0.64, s * 0.30)], s * 0.08),
           (WHITE, a), (x0, 0, x0 + s, s))


def glyph_bag(c, x0, s, a):
    c.fill(rounded_rect(x0 + s * 0.30, s * 0.40, x0 + s * 0.70, s * 0.72, s * 0.06), (WHITE, a), (x0, 0, x0 + s, s))
    handle = intersect(ring_arc(x0 + s / 2, s * 0.40, s * 0.11, s * 0.06, False), lambda x, y: y - s * 0.40)
    c.fill(handle, (WHITE, a), (x0, 0, x0 + s, s))


def glyph_pause(c, x0, s, a):
    for bx in (0.41, 0.59):
        c.fill(rounded_rect(x0 + s * bx - s * 0.05, s * 0.32, x0 + s * bx + s * 0.05, s * 0.68, 1.2), (WHITE, a), (x0, 0, x0 + s, s))


def glyph_play(c, x0, s, a):
    tri = [(x0 + s * 0.40, s * 0.30), (x0 + s * 0.40, s * 0.70), (x0 + s * 0.71, s * 0.50)]
    c.fill(rounded(polygon(tri), 1.0), (WHITE, a), (x0, 0, x0 + s, s))


def title_frames(path, size, glyph):
    """Title-bar buttons, size x size frames: normal, hot, pushed, disabled."""
    c = Canvas(size * 4, size)
    for frame in range(4):
        x0 = frame * size
        if glyph == "close" and frame in (1, 2):
            c.fill(rounded_rect(x0 + 4, 4, x0 + size - 4, size - 4, 8), CLOSE_HOT if frame == 1 else CLOSE_PUSHED, (x0, 0, x0 + size, size))
        elif frame in (1, 2):
            c.fill(rounded_rect(x0 + 4, 4, x0 + size - 4, size - 4, 8), (WHITE, 0.14 if frame == 1 else 0.24), (x0, 0, x0 + size, size))
        a = 0.45 if frame == 3 else 0.92
        cx, cy = x0 + size / 2, size / 2
        box = (x0, 0, x0 + size, size)
        if glyph == "min":
            c.fill(segment(cx - 7, cy + 0.5, cx + 7, cy + 0.5, 1.6), (WHITE, a), box)
        elif glyph == "close":
            c.fill(union(segment(cx - 6, cy - 6, cx + 6, cy + 6, 1.6), segment(cx - 6, cy + 6, cx + 6, cy - 6, 1.6)), (WHITE, a), box)
        else:  # a cog: a ring with eight teeth
            teeth = [rounded_rect(cx - 1.8, cy - 10, cx + 1.8, cy - 6, 0.8)]
            cog = [ring_arc(cx, cy, 5.6, 2.6, False)]
            for k in range(8):
                ang = k * math.pi / 4
                tx, ty = cx + math.sin(ang) * 8.0, cy - math.cos(ang) * 8.0
                cog.append(circle(tx, ty, 1.9))
            c.fill(union(*cog), (WHITE, a), box)
    c.save(path)


def start_button(path, width, height, radius):
    """The Start button's frames (normal, hot, pushed, disabled), stretched sideways by the skin."""
    c = Canvas(width * 4, height)
    looks = [(PRIMARY_TOP, PRIMARY_BOTTOM), (PRIMARY_HOT_TOP, PRIMARY_HOT_BOTTOM), (PRIMARY_PUSHED, PRIMARY_PUSHED), (SLATE, SLATE)]
    for frame, (top, bottom) in enumerate(looks):
        x0 = frame * width
        shape = rounded_rect(x0, 0, x0 + width, height, radius)
        c.fill(shape, vertical(top, bottom, 0, height), (x0, 0, x0 + width, height))
        if frame < 2:
            c.fill(intersect(shape, lambda x, y: y - height * 0.5), (WHITE, 0.10), (x0, 0, x0 + width, height))
            c.fill(intersect(rounded_rect(x0 + 1, 1, x0 + width - 1, height, radius - 1), lambda x, y: abs(y - 1.5) - 0.5),
                   (WHITE, 0.30), (x0, 0, x0 + width, 3))
    c.save(path)


def dark_field(path, width, height, radius):
    """The folder field on the dark ground: normal, hot, focused, disabled."""
    c = Canvas(width * 4, height)
    looks = [(0.10, 0.22), (0.12, 0.40), (0.14, 0.0), (0.05, 0.12)]
    for frame, (fill, line) in enumerate(looks):
        x0 = frame * width
        edge = (PRIMARY_TOP, 1.0) if frame == 2 else (WHITE, line)
        c.fill(rounded_rect(x0, 0, x0 + width, height, radius), edge, (x0, 0, x0 + width, height))
        c.fill(rounded_rect(x0 + 1, 1, x0 + width - 1, height - 1, radius - 1), ((0x0B, 0x14, 0x2C), 0.85), (x0, 0, x0 + width, height))
        c.fill(rounded_rect(x0 + 1, 1, x0 + width - 1, height - 1, radius - 1), (WHITE, fill), (x0, 0, x0 + width, height))
    c.save(path)


def ghost_button(path, width, height, radius):
    """An outlined button on the dark ground: normal, hot, pushed, disabled."""
    c = Canvas(width * 4, height)
    for frame, (fill, line) in enumerate(((0.06, 0.35), (0.14, 0.55), (0.22, 0.55), (0.03, 0.15))):
        x0 = frame * width
        c.fill(rounded_rect(x0, 0, x0 + width, height, radius), (WHITE, line), (x0, 0, x0 + width, height))
        c.fill(rounded_rect(x0 + 1, 1, x0 + width - 1, height - 1, radius - 1), ((0x0B, 0x14, 0x2C), 0.9), (x0, 0, x0 + width, height))
        c.fill(rounded_rect(x0 + 1, 1, x0 + width - 1, height - 1, radius - 1), (WHITE, fill), (x0, 0, x0 + width, height))
    c.save(path)


def launcher_progress(track_path, fill_path, glow_path):
    """The download and install bars: a faint 60 x 10 pill track, its blue to
    cyan fill, and the glow that rides on the fill with a bright head."""
    c = Canvas(60, 10)
    c.fill(rounded_rect(0, 0, 60, 10, 5), (WHITE, 0.14))
    c.save(track_path)
    c = Canvas(60, 10)
    c.fill(rounded_rect(0, 0, 60, 10, 5), horizontal(PRIMARY_BOTTOM, CYAN, 0, 60))
    c.save(fill_path)
    c = Canvas(60, 10)
    c.fill(rounded_rect(0, 2, 60, 4, 1), lambda x, y: (WHITE, 0.25 * x / 60.0), (0, 0, 60, 10))
    c.fill(circle(54, 5, 3.2), (WHITE, 0.85), (44, 0, 60, 10), soft=2.5)
    c.save(glow_path)


def save_gif(path, width, height, palette, frames, delay):
    """An animated GIF that loops for ever: 256 palette colours, frames of
    width x height palette indices, each shown for delay hundredths of a
    second."""
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0xF7, 0, 0)  # a global table of 256 colours
    for rgb in palette:
        out += bytes(rgb)
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for pixels in frames:
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x04, delay, 0, 0)  # each frame stays under the next
        out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
        data = _lzw(pixels)
        out.append(8)
        for i in range(0, len(data), 255):
            block = data[i:i + 255]
            out.append(len(block))
            out += block
        out.append(0)
    out.append(0x3B)
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as f:
        f.write(out)


def _lzw(pixels):
    """GIF's variable-width LZW of 8-bit indices, codes packed from the low bit."""
    clear, end = 256, 257
    out = bytearray()
    state = {"bits": 0, "count": 0}

    def emit(code, width):
        state["bits"] |= code << state["count"]
        state["count"] += width
        while state["count"] >= 8:
            out.append(state["bits"] & 0xFF)
            state["bits"] >>= 8
            state["count"] -= 8

    table, next_code, width = {}, end + 1, 9
    emit(clear, width)
    prefix = pixels[0]
    for index in pixels[1:]:
        key = (prefix << 8) | index
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix, width)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, next_code, width = {}, end + 1, 9
        prefix = index
    emit(prefix, width)
    emit(end, width)
    if state["count"]:
        out.append(state["bits"] & 0xFF)
    return bytes(out)


def loading_animation(path, size):
    """The launcher's loading spinner on the dark ground: twelve rounded bars
    round the centre, the brightest one stepping on each frame with a fading
    tail behind it."""
    bars, ground, colour = 12, (0x0C, 0x15, 0x2C), CYAN
    c = size / 2.0
    inner, outer, thickness = size * 0.12, size * 0.22, size * 0.045
    # Each bar's coverage, once: the frames differ only in how bright each bar is.
    covers = []
    for k in range(bars):
        angle = 2 * math.pi * k / bars - math.pi / 2
        ax, ay = c + inner * math.cos(angle), c + inner * math.sin(angle)
        bx, by = c + outer * math.cos(angle), c + outer * math.sin(angle)
        figure = segment(ax, ay, bx, by, thickness)
        pad = thickness
        cover = {}
        for y in range(int(min(ay, by) - pad), int(math.ceil(max(ay, by) + pad))):
            for x in range(int(min(ax, bx) - pad), int(math.ceil(max(ax, bx) + pad))):
                amount = 0.5 - figure(x + 0.5, y + 0.5)
                if amount > 0.0:
                    cover[y * size + x] = min(1.0, amount)
        covers.append(cover)
    # Palette entry i is the bar colour over the ground at i / 255.
    palette = [tuple(_byte(g + (b - g) * i / 255.0) for g, b in zip(ground, colour)) for i in range(256)]
    frames = []
    for head in range(bars):
        pixels = bytearray(size * size)
        for k, cover in enumerate(covers):
            behind = (head - k) % bars
            brightness = 1.0 - 0.82 * behind / (bars - 1)
            for i, amount in cover.items():
                pixels[i] = _byte(255.0 * amount * brightness)
        frames.append(pixels)
    save_gif(path, size, size, palette, frames, 8)


def radio_frames(path, size):
    """The settings window's round options: normal, hot, selected."""
    c = Canvas(size * 3, size)
    r = size / 2
    for frame in range(3):
        x0 = frame * size
        box = (x0, 0, x0 + size, size)
        if frame == 2:
            c.fill(circle(x0 + r, r, r - 1), vertical(PRIMARY_TOP, PRIMARY_BOTTOM, 0, size), box)
            c.fill(circle(x0 + r, r, r * 0.36), WHITE, box)
        else:
            c.fill(ring_arc(x0 + r, r, r - 1.8, 1.5, False), (WHITE, 0.45 if frame == 0 else 0.85), box)
            c.fill(circle(x0 + r, r, r - 2.6), (WHITE, 0.04 if frame == 0 else 0.10), box)
    c.save(path)


def combo_frames(path, width, height, radius):
    """The language list's face on the dark ground (normal, hot, pushed,
    disabled): the folder field's look with a chevron on the right."""
    c = Canvas(width * 4, height)
    looks = [(0.10, 0.22), (0.14, 0.45), (0.18, 0.55), (0.05, 0.12)]
    for frame, (fill, line) in enumerate(looks):
        x0 = frame * width
        box = (x0, 0, x0 + width, height)
        c.fill(rounded_rect(x0, 0, x0 + width, height, radius), (WHITE, line), box)
        c.fill(rounded_rect(x0 + 1, 1, x0 + width - 1, height - 1, radius - 1), ((0x0B, 0x14, 0x2C), 0.85), box)
        c.fill(rounded_rect(x0 + 1, 1, x0 + width - 1, height - 1, radius - 1), (WHITE, fill), box)
        cx, cy = x0 + width - 17, height / 2
        c.fill(polyline([(cx - 5, cy - 2.5), (cx, cy + 2.5), (cx + 5, cy - 2.5)], 1.6),
               (WHITE, 0.45 if frame == 3 else 0.9), box)
    c.save(path)


def launcher_skin_images(out):
    zul = os.path.join(out, "zul")
    launcher_background(os.path.join(zul, "launch_bg.png"), 411, 245)
    band(os.path.join(zul, "titlebar.png"), 8, 56, 0.30, 0.18, 55, 0.06)
    band(os.path.join(zul, "bottom_band.png"), 8, 96, 0.30, 0.42, 0, 0.08)
    card(os.path.join(zul, "card.png"), 48, 14, 0.045, 0.14)
    art = os.path.join(zul, "right_bg_en.png")
    game_art(art, 520, 720)
    with open(art, "rb") as f:
        art_bytes = f.read()
    for code in REGION_CODES[1:]:
        with open(os.path.join(zul, "right_bg_%s.png" % code), "wb") as f:
            f.write(art_bytes)
    c = Canvas(30, 30)
    mark(c, 1, 0, 28, PRIMARY_TOP, PRIMARY_BOTTOM)
    c.save(os.path.join(zul, "mark_small.png"))
    for name in ("min", "close", "setup"):
        title_frames(os.path.join(zul, "title_%s.png" % name), 44, name)
    glyphs = {"home": glyph_home, "facebook": glyph_facebook, "video": glyph_video, "chat": glyph_chat,
              "bolt": glyph_bolt, "letter_n": glyph_letter_n, "bag": glyph_bag}
    for name, glyph in glyphs.items():
        round_button_frames(os.path.join(zul, "link_%s.png" % name), 40, glyph)
    for state, frame in (("normal", 0), ("hot", 1), ("pushed", 2)):
        for name, glyph in (("pause", glyph_pause), ("play", glyph_play)):
            c = Canvas(30, 30)
            c.fill(circle(15, 15, 14), (WHITE, (0.12, 0.22, 0.30)[frame]))
            glyph(c, 0, 30, 1.0)
            c.save(os.path.join(zul, "%s_%s.png" % (name, state)))
    start_button(os.path.join(zul, "btn_start.png"), 120, 76, 14)
    dark_field(os.path.join(zul, "edit_dark.png"), 40, 36, 8)
    ghost_button(os.path.join(zul, "btn_ghost.png"), 40, 36, 8)
    radio_frames(os.path.join(zul, "radio.png"), 20)
    combo_frames(os.path.join(zul, "combo_dark.png"), 60, 36, 8)
    launcher_progress(os.path.join(zul, "progress_bk.png"), os.path.join(zul, "progress_fore.png"),
                      os.path.join(zul, "progress_glow.png"))
    loading_animation(os.path.join(zul, "loading.gif"), 500)
    # The message boxes: title-bar close, primary and secondary buttons, icons.
    title_button(os.path.join(zul, "sys_close.png"), "close")
    single_frames(zul, "btn31", 90, 31, 6)
    for state, (fill, line) in (("normal", (WHITE, BORDER)), ("hot", ((0xF2, 0xF7, 0xFF), BORDER_HOT)),
                                ("pushed", ((0xE3, 0xED, 0xFC), PRIMARY_BOTTOM))):
        c = Canvas(90, 31)
        c.fill(rounded_rect(0, 0, 90, 31, 6), line)
        c.fill(rounded_rect(1, 1, 89, 30, 5), fill)
        c.save(os.path.join(zul, "cancel_%s.png" % state))
    badge(os.path.join(out, "common", "msg_noice48.png"), 48, WARNING, "notice")
    badge(os.path.join(out, "commonEnalarge", "msg_noice48.png"), 72, WARNING, "notice")
    badge(os.path.join(out, "common", "msg_ok.png"), 48, SUCCESS, "ok")


# ---- Icon artwork ----------------------------------------------------------

def icon(program, size, path):
    """The mark on a blue rounded square; the uninstaller's carries a minus badge."""
    c = Canvas(size, size)
    s = float(size)
    c.fill(rounded_rect(s * 0.04, s * 0.04, s * 0.96, s * 0.96, s * 0.22), vertical(ACCENT, PRIMARY_BOTTOM, s * 0.04, s * 0.96))
    tri = [(s * 0.38, s * 0.27), (s * 0.38, s * 0.73), (s * 0.76, s * 0.50)]
    c.fill(rounded(polygon(tri), s * 0.045), WHITE)
    if program == "zulplayuninst":
        r = s * 0.2
        cx, cy = s * 0.76, s * 0.76
        c.fill(circle(cx, cy, r + max(1.0, s * 0.03)), WHITE)
        c.fill(circle(cx, cy, r), CLOSE_HOT)
        c.fill(segment(cx - r * 0.5, cy, cx + r * 0.5, cy, max(1.2, s * 0.05)), WHITE)
    c.save(path)


def main(argv):
    if len(argv) != 4 or argv[1] not in ("skin", "icon") or argv[2] not in ("zulinst", "zulplay", "zulplayuninst"):
        sys.stderr.write(__doc__)
        return 2
    kind, program, out = argv[1], argv[2], argv[3]
    if kind == "skin" and program == "zulplay":
        launcher_skin_images(out)
    elif kind == "skin":
        skin_images(program, out)
    else:
        for size in (16, 24, 32, 48, 64, 256):
            icon(program, size, os.path.join(out, "icon_%d.png" % size))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

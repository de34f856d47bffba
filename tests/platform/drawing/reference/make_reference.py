#!/usr/bin/env python3
"""Writes the reference pictures for the drawing tests from an analytic model
of each shape (distance and angle tests, 8×8 samples a pixel), independent of
the renderer. Run from this folder: python3 make_reference.py"""
import math
import struct
import zlib

SAMPLES = 8


def write_png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) straight-alpha byte tuples."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for p in row:
            raw.extend(p)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def render(width_pt, height_pt, scale, layers):
    """layers: list of (inside(x, y) -> bool, (r, g, b, a)) painted in order with
    source-over, each sample fully in or out. Returns straight RGBA rows."""
    w, h = int(width_pt * scale), int(height_pt * scale)
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / scale
                    y = (py + (sy + 0.5) / SAMPLES) / scale
                    c = [0.0, 0.0, 0.0, 0.0]
                    for inside, (r, g, b, a) in layers:
                        if inside(x, y):
                            c = [r / 255 * a + c[0] * (1 - a), g / 255 * a + c[1] * (1 - a),
                                 b / 255 * a + c[2] * (1 - a), a + c[3] * (1 - a)]
                    for i in range(4):
                        acc[i] += c[i]
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(min(1, acc[i] / n / a) * 255) for i in range(3)) +
                           (round(a * 255),))
        rows.append(row)
    return w, h, rows


def ring():
    # A 24-pt ring (centre 16,16, radius 12) with a 3-pt line: the track in blue
    # at 0.3 opacity, the arc in blue over 0…0.3 of the circle starting at the
    # top and running clockwise, with round caps.
    cx, cy, r, half = 16.0, 16.0, 12.0, 1.5
    blue = (10, 132, 255)
    end = 0.3 * 2 * math.pi  # clockwise from the top

    def on_track(x, y):
        return abs(math.hypot(x - cx, y - cy) - r) <= half

    def clockwise_from_top(x, y):
        return math.atan2(x - cx, -(y - cy)) % (2 * math.pi)

    def on_arc(x, y):
        if on_track(x, y) and clockwise_from_top(x, y) <= end:
            return True
        for t in (0.0, end):
            ex, ey = cx + r * math.sin(t), cy - r * math.cos(t)
            if math.hypot(x - ex, y - ey) <= half:
                return True
        return False

    return render(32, 32, 2, [(on_track, blue + (0.3,)), (on_arc, blue + (1.0,))])


def progress_bar():
    # A 72×4 bar at (4, 2): the grey track (120,120,128 at 0.36) with round
    # ends, and the green tint over the first 60 % (to x = 47.2), its end
    # rounded too.
    def capsule(x0, x1, y0, y1):
        rad = (y1 - y0) / 2
        cy = (y0 + y1) / 2

        def inside(x, y):
            if y < y0 or y > y1:
                return False
            if x0 + rad <= x <= x1 - rad:
                return True
            ex = x0 + rad if x < x0 + rad else x1 - rad
            return math.hypot(x - ex, y - cy) <= rad
        return inside

    return render(80, 8, 2, [(capsule(4, 76, 2, 6), (120, 120, 128, 0.36)),
                             (capsule(4, 47.2, 2, 6), (48, 209, 88, 1.0))])


if __name__ == "__main__":
    for name, picture in (("ring.png", ring()), ("progress-bar.png", progress_bar())):
        w, h, rows = picture
        write_png(name, w, h, rows)

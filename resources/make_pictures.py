#!/usr/bin/env python3
"""Generate the splash and About pictures (resources/pictures/*.bmp).

A dark panel with a clock gauge and the product name in slanted stroke
letters.  Letters come from the small stroke font below, drawn as round-capped
capsules; everything is anti-aliased by supersampling.  Magenta (255, 0, 255)
marks transparent pixels: edges of the outer silhouette are cut at half
coverage so no pixel mixes with magenta.  Pure standard library, deterministic
output; run from the repo root:

    python3 resources/make_pictures.py
"""
import math
import os
import struct

SS = 3  # supersamples per pixel along each axis
MAGENTA = (255, 0, 255)

PANEL_TOP = (34, 40, 58)
PANEL_BOTTOM = (14, 16, 24)
PANEL_EDGE = (92, 104, 130)
TRACE = (44, 62, 88)
INK = (8, 9, 14)

# Stroke font on a 4 x 6 grid, y down; each letter is a list of polylines.
_BOWL = [(0, 0), (3, 0), (3.7, 0.3), (4, 1), (4, 2), (3.7, 2.7), (3, 3), (0, 3)]
_RING = [(2 + 2 * math.sin(a * math.pi / 12), 3 - 3 * math.cos(a * math.pi / 12))
         for a in range(25)]
FONT = {
    "V": [[(0, 0), (2, 6), (4, 0)]],
    "A": [[(0, 6), (2, 0), (4, 6)], [(0.8, 3.9), (3.2, 3.9)]],
    "N": [[(0, 6), (0, 0), (4, 6), (4, 0)]],
    "T": [[(0, 0), (4, 0)], [(2, 0), (2, 6)]],
    "R": [[(0, 6)] + _BOWL, [(2.2, 3), (4, 6)]],
    "E": [[(4, 0), (0, 0), (0, 6), (4, 6)], [(0, 3), (3, 3)]],
    "L": [[(0, 0), (0, 6), (4, 6)]],
    "O": [_RING],
    "Q": [_RING, [(2.6, 4.4), (4.1, 6.3)]],
    "U": [[(0, 0), (0, 4)] +
          [(2 - 2 * math.cos(a * math.pi / 8), 4 + 2 * math.sin(a * math.pi / 8))
           for a in range(1, 8)] + [(4, 4), (4, 0)]],
    "I": [[(2, 0), (2, 6)], [(1, 0), (3, 0)], [(1, 6), (3, 6)]],
}
NAME = "VANTRELOQUIN"


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def ramp(stops, t):
    """Colour at t (0..1) along evenly spaced colour stops."""
    t = max(0.0, min(1.0, t)) * (len(stops) - 1)
    i = min(int(t), len(stops) - 2)
    return mix(stops[i], stops[i + 1], t - i)


class Canvas:
    """An RGB picture at SS x resolution plus the silhouette of what is
    opaque; shapes paint samples by position with a colour function."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.sw, self.sh = width * SS, height * SS
        self.rgb = [None] * (self.sw * self.sh)
        self.solid = bytearray(self.sw * self.sh)

    def paint(self, box, inside, colour, solid=True):
        """Paints every sample in box (x0, y0, x1, y1, picture pixels) whose
        centre satisfies inside(x, y); solid ones join the silhouette."""
        x0, y0, x1, y1 = box
        sx0, sy0 = max(0, int(x0 * SS)), max(0, int(y0 * SS))
        sx1, sy1 = min(self.sw, int(math.ceil(x1 * SS)) + 1), min(self.sh, int(math.ceil(y1 * SS)) + 1)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / SS
            row = sy * self.sw
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / SS
                if inside(x, y):
                    self.rgb[row + sx] = colour(x, y)
                    if solid:
                        self.solid[row + sx] = 1

    def capsule(self, a, b, r, colour):
        (ax, ay), (bx, by) = a, b
        dx, dy = bx - ax, by - ay
        ll = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
            ex, ey = x - ax - t * dx, y - ay - t * dy
            return ex * ex + ey * ey <= r * r
        self.paint((min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r),
                   inside, colour)

    def ring(self, cx, cy, r_in, r_out, colour, a0=None, a1=None):
        """Annulus (or sector of it between angles a0..a1 in degrees,
        counter-clockwise, 0 = right)."""
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if not r_in <= d <= r_out:
                return False
            if a0 is None:
                return True
            a = math.degrees(math.atan2(cy - y, x - cx)) % 360
            return (a - a0) % 360 <= (a1 - a0) % 360
        self.paint((cx - r_out, cy - r_out, cx + r_out, cy + r_out), inside, colour)

    def rounded_rect(self, x0, y0, x1, y1, rad, colour, solid=True):
        def inside(x, y):
            qx = max(x0 + rad - x, 0, x - (x1 - rad))
            qy = max(y0 + rad - y, 0, y - (y1 - rad))
            return qx * qx + qy * qy <= rad * rad and x0 <= x <= x1 and y0 <= y <= y1
        self.paint((x0, y0, x1, y1), inside, colour, solid)

    def pixels(self):
        """Rows of (r, g, b): average of the painted samples where at least
        half of the pixel is solid, magenta elsewhere."""
        rows = []
        for py in range(self.h):
            row = []
            for px in range(self.w):
                rs = gs = bs = n = solid = 0
                for sy in range(py * SS, py * SS + SS):
                    for sx in range(px * SS, px * SS + SS):
                        i = sy * self.sw + sx
                        solid += self.solid[i]
                        c = self.rgb[i]
                        if c is not None and self.solid[i]:
                            rs += c[0]; gs += c[1]; bs += c[2]; n += 1
                if n and solid * 2 >= SS * SS:
                    c = (round(rs / n), round(gs / n), round(bs / n))
                    row.append((254, 0, 255) if c == MAGENTA else c)
                else:
                    row.append(MAGENTA)
            rows.append(row)
        return rows


ADVANCE = 5.5  # grid units from one letter to the next


def text(canvas, s, x, y, height, colour, weight=0.09, slant=0.22, outline=0.0,
         outline_colour=INK, shadow=(0, 0)):
    """Draws s in the stroke font with its top-left at (x, y); returns the
    right end.  Stroke radius is weight x height; outline and shadow are
    drawn first as a wider dark stroke."""
    unit = height / 6.0
    advance = unit * ADVANCE
    r = weight * height

    def place(i, p):
        px, py = p
        return (x + i * advance + (px + (6 - py) * slant) * unit, y + py * unit)
    passes = [(0, 0, r, colour)]
    if outline or shadow != (0, 0):
        passes.insert(0, (shadow[0], shadow[1], r + outline, lambda *_: outline_colour))
    for dx, dy, rr, col in passes:
        for i, ch in enumerate(s):
            for line in FONT[ch]:
                pts = [place(i, p) for p in line]
                for a, b in zip(pts, pts[1:]):
                    canvas.capsule((a[0] + dx, a[1] + dy), (b[0] + dx, b[1] + dy), rr, col)
    return x + len(s) * advance


def text_width(s, height, slant=0.22):
    unit = height / 6.0
    return (len(s) - 1) * unit * ADVANCE + (4 + 6 * slant) * unit


HOT = [(70, 200, 255), (120, 230, 160), (255, 214, 60), (255, 110, 30), (235, 40, 40)]


def gauge(canvas, cx, cy, r, needle_deg=28):
    """A clock gauge: bezel, coloured 270 degree scale, ticks, needle."""
    canvas.ring(cx, cy, 0, r, lambda x, y: mix((58, 64, 84), (20, 22, 32),
                                               (y - cy + r) / (2 * r)))
    canvas.ring(cx, cy, r * 0.90, r, lambda *_: (150, 162, 186))
    canvas.ring(cx, cy, 0, r * 0.86, lambda x, y: mix((30, 34, 48), (12, 13, 20),
                                                      math.hypot(x - cx, y - cy) / r))

    def scale(x, y):
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return ramp(HOT, ((225 - a) % 360) / 270)
    canvas.ring(cx, cy, r * 0.64, r * 0.78, scale, -45, 225)
    for i in range(11):
        a = math.radians(225 - i * 27)
        c, s = math.cos(a), -math.sin(a)
        inner = 0.50 if i % 5 == 0 else 0.56
        canvas.capsule((cx + inner * r * c, cy + inner * r * s),
                       (cx + 0.61 * r * c, cy + 0.61 * r * s),
                       r * (0.030 if i % 5 == 0 else 0.018), lambda *_: (222, 228, 240))
    a = math.radians(needle_deg)
    tip = (cx + 0.80 * r * math.cos(a), cy - 0.80 * r * math.sin(a))
    tail = (cx - 0.16 * r * math.cos(a), cy + 0.16 * r * math.sin(a))
    canvas.capsule(tail, tip, r * 0.045, lambda *_: (255, 84, 40))
    canvas.ring(cx, cy, 0, r * 0.12, lambda *_: (210, 216, 230))
    canvas.ring(cx, cy, 0, r * 0.06, lambda *_: (40, 44, 60))


def chip(canvas, cx, cy, size):
    """A GPU chip: a die with pins on every side and a tiny gauge on it."""
    half = size / 2
    pin = lambda *_: (196, 160, 80)
    for i in range(6):
        o = -half * 0.75 + i * (1.5 * half / 5)
        canvas.capsule((cx + o, cy - half - size * 0.14), (cx + o, cy + half + size * 0.14),
                       size * 0.035, pin)
        canvas.capsule((cx - half - size * 0.14, cy + o), (cx + half + size * 0.14, cy + o),
                       size * 0.035, pin)
    canvas.rounded_rect(cx - half, cy - half, cx + half, cy + half, size * 0.12,
                        lambda x, y: mix((70, 80, 104), (36, 40, 56), (y - cy + half) / size))
    canvas.rounded_rect(cx - half * 0.62, cy - half * 0.62, cx + half * 0.62,
                        cy + half * 0.62, size * 0.06, lambda *_: (22, 24, 34))
    canvas.capsule((cx - half * 0.35, cy + half * 0.2), (cx, cy - half * 0.3), size * 0.05,
                   lambda *_: (255, 110, 30))
    canvas.capsule((cx, cy - half * 0.3), (cx + half * 0.35, cy + half * 0.2), size * 0.05,
                   lambda *_: (70, 200, 255))


def panel(canvas, x0, y0, x1, y1, rad):
    canvas.rounded_rect(x0, y0, x1, y1, rad, lambda *_: PANEL_EDGE)
    canvas.rounded_rect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, rad - 2,
                        lambda x, y: mix(PANEL_TOP, PANEL_BOTTOM, (y - y0) / (y1 - y0)))


def traces(canvas, x0, x1, ys, seed):
    """Faint circuit traces with pads, stepping up or down once."""
    for n, y in enumerate(ys):
        k = (seed * 7 + n * 13) % 5
        mid = x0 + (x1 - x0) * (0.25 + 0.12 * k)
        dy = 8 if n % 2 else -8
        pts = [(x0, y), (mid, y), (mid + 8, y + dy), (x1, y + dy)]
        for a, b in zip(pts, pts[1:]):
            canvas.capsule(a, b, 1.1, lambda *_: TRACE)
        canvas.ring(x1, y + dy, 0, 3.2, lambda *_: TRACE)


def name_colour(x0, x1):
    return lambda x, y: ramp(HOT[:4], (x - x0) / (x1 - x0))


def splash():
    w, h = 761, 286
    c = Canvas(w, h)
    panel(c, 1, 1, w - 1, h - 1, 30)
    # the gauge on a board: traces run out to a chip on either side
    for y in (44, 64, 84):
        c.capsule((150, y), (610, y), 1.2, lambda *_: TRACE)
    traces(c, 40, 300, (22, 110), 1)
    traces(c, 460, 730, (22, 110), 2)
    chip(c, 110, 64, 44)
    chip(c, 651, 64, 44)
    gauge(c, 380.5, 68, 58)
    height = 62
    tw = text_width(NAME, height)
    x = (w - tw) / 2
    text(c, NAME, x, 152, height, name_colour(x, x + tw), outline=3.0, shadow=(3, 4))
    # a clock-speed bar under the name, mostly full
    c.rounded_rect(x, 240, x + tw, 254, 7, lambda *_: (10, 11, 18))
    c.rounded_rect(x + 2, 242, x + tw * 0.86, 252, 5, name_colour(x, x + tw))
    return c.pixels()


def about_corner():
    w, h = 128, 127
    c = Canvas(w, h)
    gauge(c, 64, 63.5, 62, needle_deg=40)
    return c.pixels()


def about_banner():
    w, h = 444, 94
    c = Canvas(w, h)
    panel(c, 1, 1, w - 1, h - 1, 18)
    traces(c, 90, 430, (14, 82), 2)
    chip(c, 44, 47, 36)
    height = 31
    tw = text_width(NAME, height)
    x = 84 + (350 - tw) / 2
    text(c, NAME, x, 31, height, name_colour(x, x + tw), outline=2.0, shadow=(2, 2))
    return c.pixels()


def write_bmp(path, rows):
    """24-bit uncompressed bottom-up BMP, rows padded to 4 bytes."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    pad = bytes(stride - w * 3)
    data = b"".join(bytes(v for r, g, b in row for v in (b, g, r)) + pad
                    for row in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = os.path.join(here, "pictures")
    os.makedirs(out_dir, exist_ok=True)
    for name, draw in (("splash", splash), ("about_corner", about_corner),
                       ("about_banner", about_banner)):
        path = os.path.join(out_dir, name + ".bmp")
        write_bmp(path, draw())
        print("wrote", path)


if __name__ == "__main__":
    main()

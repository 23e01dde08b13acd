#!/usr/bin/env python3
"""Generate the tray icons (resources/icons/*.ico) from simple geometry.

Each icon is a round gauge whose needle and accent colour show the GPU clock
state.  Pure standard library, deterministic output; run from the repo root:

    python3 resources/make_icons.py [--preview DIR]

--preview additionally writes enlarged PNGs on light and dark backgrounds.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48)
SS = 4  # supersamples per pixel along each axis

OUTLINE = (28, 31, 36)
FACE = (244, 245, 247)
NEEDLE = (30, 33, 38)

# name -> (accent ring colour, needle angle in degrees; 90 = straight up)
ICONS = {
    "clock_free": ((138, 148, 160), 90),         # steel grey, needle centred
    "clock_held": ((255, 96, 24), 8),            # hot orange, pinned high
    "clock_forced_down": ((40, 140, 255), 172),  # cool blue, held low
}


def seg_dist(px, py, ax, ay, bx, by):
    """Distance from point p to segment a-b."""
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def shade(x, y, accent, angle, size):
    """Colour of the sample at (x, y) in unit coordinates, or None if empty.

    Layers are tested top-down so the first hit wins.
    """
    cx, cy = 0.5, 0.5
    r = math.hypot(x - cx, y - cy)
    # at 16 px everything is chunkier so the colour and needle survive;
    # the face line is dropped there since it would only blur the ring
    if size <= 16:
        outer, ring_out, ring_in, face_line, needle_w, needle_len, hub = \
            0.50, 0.41, 0.26, 0.26, 0.065, 0.25, 0.11
    else:
        outer, ring_out, ring_in, face_line, needle_w, needle_len, hub = \
            0.48, 0.43, 0.33, 0.315, 0.045, 0.34, 0.085
    a = math.radians(angle)
    tip = (cx + needle_len * math.cos(a), cy - needle_len * math.sin(a))
    if r <= hub:
        return NEEDLE
    if seg_dist(x, y, cx, cy, *tip) <= needle_w:
        return NEEDLE
    if r > outer:
        return None
    if r > ring_out:                                  # dark outer outline
        return OUTLINE
    if r > ring_in:                                   # accent bezel
        # the bottom quarter stays dark so it reads as a gauge, not a clock
        below = y > cy and abs(x - cx) < (y - cy)
        return OUTLINE if below else accent
    if r > face_line:                                 # thin inner line
        return OUTLINE
    # scale ticks along a 270 degree sweep, only where there is room for them
    if size >= 32 and r > 0.23:
        for i in range(7):
            t = math.radians(225 - i * 45)
            tx, ty = math.cos(t), -math.sin(t)
            if seg_dist(x, y, cx + 0.24 * tx, cy + 0.24 * ty,
                        cx + 0.31 * tx, cy + 0.31 * ty) <= 0.022:
                return NEEDLE
    return FACE


def render(accent, angle, size):
    """Return rows of (r, g, b, a) tuples, anti-aliased by supersampling."""
    rows = []
    n = SS * SS
    for py in range(size):
        row = []
        for px in range(size):
            rs = gs = bs = hits = 0
            for sy in range(SS):
                for sx in range(SS):
                    c = shade((px + (sx + 0.5) / SS) / size,
                              (py + (sy + 0.5) / SS) / size, accent, angle, size)
                    if c:
                        rs += c[0]; gs += c[1]; bs += c[2]; hits += 1
            if hits:
                row.append((round(rs / hits), round(gs / hits), round(bs / hits),
                            round(255 * hits / n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def dib(rows):
    """32-bit BGRA DIB with AND mask, as stored inside an .ico file."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         size * size * 4 + mask_stride * size, 0, 0, 0, 0)
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    """images: list of (size, rows)."""
    blobs = [dib(rows) for _, rows in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, _), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def write_png(path, pixels):
    """pixels: rows of (r, g, b) tuples."""
    h, w = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data +
                struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" +
                chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview(path, rendered, span=192, pad=8):
    """One sheet: a row per icon, each size enlarged to the same span and
    shown on a light and a dark tile, so single pixels can be inspected."""
    tile = span + 2 * pad
    backs = ((240, 240, 240), (32, 36, 44))
    width = tile * len(SIZES) * len(backs)
    sheet = []
    for images in rendered:
        band = [[None] * width for _ in range(tile)]
        col = 0
        for bg in backs:
            for size, rows in images:
                scale = span // size
                for y in range(tile):
                    for x in range(tile):
                        sx, sy = (x - pad) // scale, (y - pad) // scale
                        c = bg
                        if 0 <= sx < size and 0 <= sy < size:
                            r, g, b, a = rows[sy][sx]
                            c = tuple((v * a + q * (255 - a)) // 255
                                      for v, q in zip((r, g, b), bg))
                        band[y][col + x] = c
                col += tile
        sheet += band
    write_png(path, sheet)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = os.path.join(here, "icons")
    os.makedirs(out_dir, exist_ok=True)
    rendered = []
    for name, (accent, angle) in ICONS.items():
        images = [(s, render(accent, angle, s)) for s in SIZES]
        write_ico(os.path.join(out_dir, name + ".ico"), images)
        rendered.append(images)
        print("wrote", os.path.join(out_dir, name + ".ico"))
    if "--preview" in sys.argv:
        pdir = sys.argv[sys.argv.index("--preview") + 1]
        os.makedirs(pdir, exist_ok=True)
        preview(os.path.join(pdir, "icons_preview.png"), rendered)
        print("wrote", os.path.join(pdir, "icons_preview.png"))


if __name__ == "__main__":
    main()

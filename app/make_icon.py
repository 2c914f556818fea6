#!/usr/bin/env python3
"""Draws the application icon and writes it twice: as a Windows icon file with 13 images
(for the resource script) and as C++ pixel arrays (linked into the Linux launcher, which
reads no files at run time). The same inputs give the same bytes on every run.

Usage: make_icon.py OUT.ico OUT.cpp
"""
import struct
import sys
import zlib

# (size, bits per pixel) in the order the icon group lists them.
ICO_IMAGES = [(32, 4), (16, 4), (48, 8), (32, 8), (16, 8),
              (256, 32), (64, 32), (48, 32), (40, 32), (32, 32), (24, 32), (20, 32), (16, 32)]
# The sizes the Linux launcher links in (the window icon list and DrawIcon's 32 x 32).
LINKED_SIZES = [16, 20, 24, 32, 40, 48, 64]

TOP = (0xF9, 0xBF, 0x6C)     # the bar's fill colour, fading into a deeper orange
BOTTOM = (0xE0, 0x7A, 0x22)
WHITE = (0xFF, 0xFF, 0xFF)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def rounded_square(px, py, half, radius):
    """Signed distance to a square centred at 0.5, 0.5 with rounded corners."""
    qx = abs(px - 0.5) - (half - radius)
    qy = abs(py - 0.5) - (half - radius)
    ox, oy = max(qx, 0.0), max(qy, 0.0)
    return (ox * ox + oy * oy) ** 0.5 + min(max(qx, qy), 0.0) - radius


def segment(px, py, ax, ay, bx, by, width):
    """Signed distance to a stroke of the given width from a to b, round ends."""
    dx, dy = bx - ax, by - ay
    t = clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    ex, ey = px - (ax + t * dx), py - (ay + t * dy)
    return (ex * ex + ey * ey) ** 0.5 - width / 2


def render(size):
    """RGBA rows, top to bottom, as a list of (r, g, b, a) tuples per row."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = (x + 0.5) / size, (y + 0.5) / size
            # Coverage from the distance in pixels gives one pixel of anti-aliasing.
            back = clamp01(0.5 - rounded_square(px, py, 0.46, 0.2) * size)
            stroke = 0.13
            mark = min(segment(px, py, 0.27, 0.60, 0.50, 0.36, stroke),
                       segment(px, py, 0.50, 0.36, 0.73, 0.60, stroke),
                       segment(px, py, 0.33, 0.76, 0.67, 0.76, stroke * 0.8))
            ink = clamp01(0.5 - mark * size)
            g = clamp01((py - 0.04) / 0.92)
            base = [TOP[i] + (BOTTOM[i] - TOP[i]) * g for i in range(3)]
            colour = [base[i] + (WHITE[i] - base[i]) * ink for i in range(3)]
            row.append(tuple(int(round(c)) for c in colour) + (int(round(back * 255)),))
        rows.append(row)
    return rows


def sixteen_palette():
    """The gradient in twelve steps, white, and three tints between them."""
    steps = [tuple(int(round(TOP[i] + (BOTTOM[i] - TOP[i]) * k / 11)) for i in range(3))
             for k in range(12)]
    tints = [tuple(int(round(c + (255 - c) * f)) for c in steps[6]) for f in (0.25, 0.5, 0.75)]
    return steps + tints + [WHITE]


def cube_palette():
    levels = [0, 51, 102, 153, 204, 255]
    colours = [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [(v, v, v) for v in range(6, 246, 6)][:40]
    return colours


def nearest(palette, rgb):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = sum((p[k] - rgb[k]) ** 2 for k in range(3))
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def and_mask(rows):
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def dib(rows, bits):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    stride = ((size * bits + 31) // 32) * 4
    palette = b''
    pixels = bytearray()
    if bits == 32:
        for row in reversed(rows):
            line = bytearray()
            for r, g, b, a in row:
                line += bytes((b, g, r, a))
            pixels += line + bytes(stride - len(line))
    else:
        colours = sixteen_palette() if bits == 4 else cube_palette()
        palette = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
        for row in reversed(rows):
            idx = [nearest(colours, px[:3]) if px[3] >= 128 else 0 for px in row]
            if bits == 4:
                line = bytearray((idx[i] << 4) | (idx[i + 1] if i + 1 < len(idx) else 0)
                                 for i in range(0, len(idx), 2))
            else:
                line = bytearray(idx)
            pixels += line + bytes(stride - len(line))
    return header + palette + bytes(pixels) + and_mask(rows)


def png(rows):
    size = len(rows)
    raw = b''.join(b'\0' + b''.join(bytes(px) for px in row) for row in rows)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def write_ico(path, images):
    blobs = []
    for size, bits in ICO_IMAGES:
        rows = images[size]
        blobs.append(png(rows) if size == 256 else dib(rows, bits))
    out = bytearray(struct.pack('<HHH', 0, 1, len(ICO_IMAGES)))
    offset = 6 + 16 * len(ICO_IMAGES)
    for (size, bits), blob in zip(ICO_IMAGES, blobs):
        dim = 0 if size == 256 else size
        colours = 16 if bits == 4 else 0
        out += struct.pack('<BBBBHHII', dim, dim, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, 'wb') as f:
        f.write(out)


def write_cpp(path, images):
    lines = ['// Generated by app/make_icon.py: the application icon, resource 128. Do not edit.',
             '#include "platform/Resources.h"', '', 'namespace {', '']
    for size in LINKED_SIZES:
        values = ['0x%02X%02X%02X%02Xu' % (a, r, g, b) for row in images[size] for r, g, b, a in row]
        lines.append('constexpr uint32_t kIcon%d[] = {' % size)
        for i in range(0, len(values), 8):
            lines.append('    ' + ', '.join(values[i:i + 8]) + ',')
        lines.append('};')
        lines.append('')
    lines.append('constexpr platform::IconImage kImages[] = {')
    for size in LINKED_SIZES:
        lines.append('    {%d, %d, kIcon%d},' % (size, size, size))
    lines.append('};')
    lines.append('const platform::IconResource kIcons[] = {{128, kImages}};')
    lines.append('const platform::ResourceModule kModule({}, kIcons);')
    lines.append('')
    lines.append('}  // namespace')
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(lines) + '\n')


def main():
    if len(sys.argv) != 3:
        sys.exit('usage: make_icon.py OUT.ico OUT.cpp')
    images = {size: render(size) for size in sorted({s for s, _ in ICO_IMAGES})}
    write_ico(sys.argv[1], images)
    write_cpp(sys.argv[2], images)


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Draws the program's icon, a telephone directory with a telephone on its cover, once, and
writes it in the three forms the program and the desktop use: the 32 x 32, 16-colour XPM
the program carries, a PNG of the same pixels, and an SVG of the same design for any size.

Run it after changing the drawing: packaging/icons/draw_icon.py
"""
import pathlib
import struct
import zlib

SIZE = 32
PALETTE = {  # symbol: colour (None is transparent)
    ' ': None,
    'k': '#000000',  # outlines
    'm': '#800000',  # the cover
    'd': '#500000',  # the spine and the cover's shadow
    'r': '#C00000',  # the cover's light edge
    'w': '#FFFFFF',  # pages, the dial
    'l': '#C0C0C0',  # page edges
    'g': '#808080',  # lines on the pages
    'y': '#FFFF00',  # the telephone
    'o': '#C0A000',  # the telephone's shadow
    'p': '#800080',  # index tabs, in the colours of the search boxes
    'a': '#00FFFF',
    'n': '#008000',
    'b': '#0000FF',
    'e': '#00FF00',  # the title strip
}

grid = [[' '] * SIZE for _ in range(SIZE)]


def rect(x0, y0, x1, y1, c):
    """Fills the pixels from (x0, y0) to (x1, y1), both included."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            grid[y][x] = c


def pattern(x0, y0, rows):
    for dy, row in enumerate(rows):
        for dx, c in enumerate(row):
            if c != '.':
                grid[y0 + dy][x0 + dx] = c


# Pages behind the cover, with lines, and the index tabs standing out on the right.
rect(6, 2, 28, 30, 'k')
rect(7, 3, 27, 29, 'w')
for y in range(5, 29, 3):
    rect(24, y, 27, y, 'g')
rect(27, 3, 27, 29, 'l')
for y0, c in ((5, 'p'), (10, 'a'), (15, 'n'), (20, 'b')):
    rect(28, y0, 30, y0 + 3, 'k')
    rect(28, y0 + 1, 29, y0 + 2, c)

# The cover, its spine and its light edge.
rect(2, 1, 24, 29, 'k')
rect(3, 2, 23, 28, 'm')
rect(3, 2, 5, 28, 'd')
rect(6, 2, 23, 2, 'r')
rect(6, 2, 6, 28, 'r')

# The title strip.
rect(9, 4, 21, 7, 'k')
rect(10, 5, 20, 6, 'e')

# A telephone: the handset on its cradle, the body with its dial.
pattern(7, 10, [
    '.kkkk.......kkkk.',
    'kyyyykkkkkkkyyyyk',
    'kyyyyyyyyyyyyyyyk',
    'kyyookkkkkkkooyyk',
    '.kkk.kyyyyyk.kkk.',
    '....kyyyyyyyk....',
    '...kyyywwwyyyk...',
    '..kyyywkkkwyyyk..',
    '..kyywkwwwkwyyk..',
    '.kyyywkwkwkwyyyk.',
    '.kyyywkwwwkwyyyk.',
    '.kyyyywkkkwyyyyk.',
    '.kyyyyywwwyyyyyk.',
    '.kooooooooooooook.',
    '.kkkkkkkkkkkkkkk.',
])

rows = [''.join(r) for r in grid]
used = sorted({c for r in rows for c in r})
here = pathlib.Path(__file__).resolve().parent
root = here.parent.parent


def hex_rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


# XPM, which is C source: the program includes it.
xpm = ['/* XPM */', 'static const char* const lambreya_xpm[] = {',
       f'"{SIZE} {SIZE} {len(used)} 1",']
for c in used:
    xpm.append(f'"{c} c {PALETTE[c] or "None"}",')
xpm += [f'"{r}",' for r in rows]
xpm[-1] = xpm[-1].rstrip(',')
xpm.append('};')
(root / 'ui' / 'lambreya_icon.xpm').write_text('\n'.join(xpm) + '\n')

# PNG, 8-bit RGBA.
raw = b''.join(b'\0' + b''.join(
    bytes(hex_rgb(PALETTE[c]) + (255,)) if PALETTE[c] else b'\0\0\0\0' for c in r) for r in rows)


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack(
        '>I', zlib.crc32(kind + data) & 0xFFFFFFFF)


png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', SIZE, SIZE, 8, 6, 0, 0, 0)) \
    + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
(here / 'lambreya-32.png').write_bytes(png)

# SVG: the same pixels as runs of squares, crisp at every size.
svg = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
       f'viewBox="0 0 {SIZE} {SIZE}" shape-rendering="crispEdges">',
       '<title>Ламбрея</title>']
for y, r in enumerate(rows):
    x = 0
    while x < SIZE:
        c = r[x]
        end = x
        while end < SIZE and r[end] == c:
            end += 1
        if PALETTE[c]:
            svg.append(f'<rect x="{x}" y="{y}" width="{end - x}" height="1" fill="{PALETTE[c]}"/>')
        x = end
svg.append('</svg>')
(here / 'lambreya.svg').write_text('\n'.join(svg) + '\n')
print('\n'.join(rows))

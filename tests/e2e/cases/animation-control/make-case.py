#!/usr/bin/python3
# Makes the files of this case and what the program must write: an ANM (the
# test-side writer of tests/graphics2d/anim_conformance.py) shown in an
# Animation window and captured from the screen; an FLC (the same file's
# generator) played on a surface, whose frames chosen with SetFrame are saved
# and must equal python3-pil's decode of those frames; PCX and TGA pictures
# read back as python3-pil reads them. Run it again after changing anything.
import os, struct, sys
from PIL import Image

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, '..', '..', '..', 'graphics2d'))
from anim_conformance import anm_write, make_flic, flic_pictures

def bmp24(rows, w, h):
    """A bottom-up 24-bit BMP of RGB rows, laid out as the runtime and the
    launcher write them (no resolution, no colour table)."""
    row = (w * 3 + 3) & ~3
    head = struct.pack('<2sIHHI', b'BM', 54 + row * h, 0, 0, 54)
    head += struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, row * h, 0, 0, 0, 0)
    body = b''
    for y in range(h - 1, -1, -1):
        line = b''.join(bytes((b, g, r)) for r, g, b in rows[y])
        body += line + bytes(row - len(line))
    return head + body

# ANM: 16 x 12, 24 bits, five frames of 40 ms; frame i has a moving bar.
AW, AH, FRAMES = 16, 12, 5
def anm_colour(x, y, i):
    if x == 3 * i or y == 2 * i:
        return (250, 240 - 40 * i, 10 + 40 * i)
    return ((x * 15 + 20 * i) & 255, (y * 20) & 255, (x ^ y) * 15 & 255)
frames = [b''.join(bytes((b, g, r)) for y in range(AH) for x in range(AW) for r, g, b in [anm_colour(x, y, i)])
          for i in range(FRAMES)]
open(os.path.join(here, 'walk.anm'), 'wb').write(anm_write(AW, AH, 24, frames, None, 6, delay=40))

# The window capture: 64 x 48 of the window's colour, frame 3 at (8, 6).
WW, WH, AX, AY, SHOWN = 64, 48, 8, 6, 3
back = (0x20, 0x40, 0x60)
rows = [[anm_colour(x - AX, y - AY, SHOWN) if AX <= x < AX + AW and AY <= y < AY + AH else back
         for x in range(WW)] for y in range(WH)]
open(os.path.join(here, 'written', 'drawn.bmp'), 'wb').write(bmp24(rows, WW, WH))

# FLC: 40 x 14, six frames (colour chunk, byte runs, byte delta, word delta,
# clear, raw, byte delta); saved frames 2, 5 and then 1 (a seek backwards).
FW, FH = 40, 14
palette = bytes((i * 5 + c * 80) & 252 for i in range(256) for c in range(3))
open(os.path.join(here, 'flick.flc'), 'wb').write(make_flic(True, FW, FH, 66, flic_pictures(FW, FH), palette))
flc = Image.open(os.path.join(here, 'flick.flc'))
for k in (2, 5, 1):
    flc.seek(0)
    for i in range(1, k + 1):
        flc.seek(i)
    rgb = flc.convert('RGB')
    rows = [[rgb.getpixel((x, y)) for x in range(FW)] for y in range(FH)]
    open(os.path.join(here, 'written', 'frame%d.bmp' % k), 'wb').write(bmp24(rows, FW, FH))

# PCX (24 bits, three planes) and TGA (RLE, and colour-mapped top-down).
PW, PH = 16, 8
pic = Image.new('RGB', (PW, PH))
for y in range(PH):
    for x in range(PW):
        pic.putpixel((x, y), ((x * 15 + 3) & 255, (y * 31 + 9) & 255, ((x ^ y) * 17 + 40) & 255))
pic.save(os.path.join(here, 'pic.pcx'))
pic.save(os.path.join(here, 'pic.tga'), compression='tga_rle')
pic.quantize(32).save(os.path.join(here, 'cmap.tga'), orientation=1)

lines = ['window 16 12 frames 5', 'speed 200', 'looping 1 moved 1', 'stopped 0', 'error 14 line 38',
         'surface 40 14 frames 6', 'paused 1 1']
for name in ('pic.pcx', 'pic.tga', 'cmap.tga'):
    image = Image.open(os.path.join(here, name)).convert('RGB')
    for x, y in ((0, 0), (5, 3), (15, 7), (9, 1)):
        r, g, b = image.getpixel((x, y))
        lines.append('%s %d %d %d' % (name.replace('.', '_'), x, y, (r << 16) | (g << 8) | b))
lines.append('end')
open(os.path.join(here, 'written', 'result.txt'), 'wb').write(('\r\n'.join(lines) + '\r\n').encode())

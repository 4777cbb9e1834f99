#!/usr/bin/python3
# Makes the packaged files of this case: a 320 x 240 background picture, two
# sprite pictures on black (the transparent pixel value) whose hot spots the
# manifest gives, and a five-frame ANM (the test-side writer of
# tests/graphics2d/anim_conformance.py) without black pixels. The goldens in
# written/ come from a run under Wine; check-case.py checks them against
# these files. Run it again after changing anything.
import os, sys
from PIL import Image

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, '..', '..', '..', 'graphics2d'))
from anim_conformance import anm_write

def back_colour(x, y):
    return ((x * 4 // 5) & 255, (y + 40) & 255, (((x // 16) ^ (y // 16)) & 1) * 90 + 60)

def ring_colour(x, y):
    if 2 <= x < 14 and 2 <= y < 14 and not (5 <= x < 11 and 5 <= y < 11):
        return (0xFF, 0xC0 - 8 * y, 0x20 + 8 * x)
    return (0, 0, 0)

def cross_colour(x, y):
    if 4 <= x < 8 or 8 <= y < 12:
        return (0x20 + 10 * y, 0xE0, 0x60)
    return (0, 0, 0)

AW, AH, FRAMES = 24, 18, 5
def anm_colour(x, y, i):
    if x == 4 * i or y == 3 * i:
        return (250, 240 - 40 * i, 10 + 40 * i)
    return (40 + (x * 8 + 20 * i) % 200, 30 + (y * 11) % 200, 20 + ((x ^ y) * 9) % 200)

def picture(name, w, h, colour):
    image = Image.new('RGB', (w, h))
    for y in range(h):
        for x in range(w):
            image.putpixel((x, y), colour(x, y))
    image.save(os.path.join(here, name))

if __name__ == '__main__':
    picture('back.png', 320, 240, back_colour)
    picture('ring.png', 16, 16, ring_colour)
    picture('cross.png', 12, 20, cross_colour)
    frames = [b''.join(bytes((b, g, r)) for y in range(AH) for x in range(AW) for r, g, b in [anm_colour(x, y, i)])
              for i in range(FRAMES)]
    open(os.path.join(here, 'walk.anm'), 'wb').write(anm_write(AW, AH, 24, frames, None, 6, delay=40))

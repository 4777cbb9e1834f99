#!/usr/bin/python3
# Checks the goldens of written/ (made by a run under Wine) against the
# packaged files of make-case.py, without the runtime: the 24-bit save, the
# own-depth save and the client capture hold the same pixels; the animation's
# box shows frame 3 of the ANM exactly; every sprite drawn plainly (no
# effect, scale or rotation) whose box meets no other box shows its picture's
# opaque pixels at its position less its hot spot and the background through
# its transparent ones; far from every sprite the background is untouched.
import os, sys
from PIL import Image

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
from importlib.machinery import SourceFileLoader
case = SourceFileLoader('make_case', os.path.join(here, 'make-case.py')).load_module()

def rgb(name):
    return Image.open(os.path.join(here, 'written', name)).convert('RGB')

flat, own, shot = rgb('window24.bmp'), rgb('window.bmp'), rgb('captured.bmp')
assert flat.size == own.size == shot.size == (320, 240)
assert list(flat.getdata()) == list(own.getdata()), 'own-depth save differs'
assert list(flat.getdata()) == list(shot.getdata()), 'capture differs'

# Frame 3 of the animation at (250, 60) less its hot spot (12, 9).
for y in range(case.AH):
    for x in range(case.AW):
        assert flat.getpixel((238 + x, 51 + y)) == case.anm_colour(x, y, 3), ('animation', x, y)

# The sprites as main.src places them (the last refresh puts 2 and 3 back).
sprites = []
for i in range(50):
    ring = i % 2 == 0
    w, h, hx, hy = (16, 16, 8, 8) if ring else (12, 20, 6, 10)
    x, y = 8 + (i * 37) % 300, 10 + (i * 53) % 220
    plain = not (i % 7 == 3 or i % 11 == 5 or i % 6 == 0 or i % 8 == 4 or i == 10)
    grows = i % 6 == 0 or i % 8 == 4
    sprites.append((i, ring, x - hx, y - hy, w, h, plain, grows))
sprites.append((50, None, 238, 51, case.AW, case.AH, False, False))
checked = 0
def pad(o):
    return 5 if o[7] else 0
for i, ring, left, top, w, h, plain, grows in sprites:
    # A scaled or turned neighbour reaches at most 5 pixels past its plain box.
    alone = all(o[0] == i or left + w + pad(o) <= o[2] or o[2] + o[4] + pad(o) <= left or
                top + h + pad(o) <= o[3] or o[3] + o[5] + pad(o) <= top for o in sprites)
    if not (plain and alone):
        continue
    colour = case.ring_colour if ring else case.cross_colour
    for y in range(h):
        for x in range(w):
            want = colour(x, y)
            if want == (0, 0, 0):
                want = case.back_colour(left + x, top + y)
            assert flat.getpixel((left + x, top + y)) == want, ('sprite', i, x, y)
    checked += 1
# An XOR sprite (5) and a half-transparent one (3, weight 128 of 256, within
# one step of rounding), where no other box reaches.
def free(i, px, py):
    return all(o[0] == i or not (o[2] - pad(o) <= px < o[2] + o[4] + pad(o) and o[3] - pad(o) <= py < o[3] + o[5] + pad(o))
               for o in sprites)
mixed = 0
for i, mix in ((5, lambda s, d: tuple(a ^ b for a, b in zip(s, d))),
               (3, lambda s, d: tuple((a * 128 + b * 128) // 256 for a, b in zip(s, d)))):
    _, ring, left, top, w, h = sprites[i][:6]
    for y in range(h):
        for x in range(w):
            if not free(i, left + x, top + y):
                continue
            src, back = case.cross_colour(x, y), case.back_colour(left + x, top + y)
            want = back if src == (0, 0, 0) else mix(src, back)
            got = flat.getpixel((left + x, top + y))
            assert all(abs(a - b) <= 1 for a, b in zip(got, want)), ('mixed', i, x, y, got, want)
            mixed += 1
far = 0
for y in range(240):
    for x in range(320):
        if all(x < o[2] - 12 or x >= o[2] + o[4] + 12 or y < o[3] - 12 or y >= o[3] + o[5] + 12 for o in sprites):
            assert flat.getpixel((x, y)) == case.back_colour(x, y), ('background', x, y)
            far += 1
print('checked: same pixels in the three pictures, animation frame 3, %d lone plain sprites, %d XOR and half-transparent pixels, %d background pixels'
      % (checked, mixed, far))

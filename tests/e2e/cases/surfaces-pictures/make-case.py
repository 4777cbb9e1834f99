#!/usr/bin/python3
# Makes the pictures of this case and the result the program must write:
# colours at chosen points as python3-pil reads them from the source files
# (the JPEG as djpeg decodes it). Run it again after changing a picture.
import os, struct, subprocess
from PIL import Image

here = os.path.dirname(os.path.abspath(__file__))
W, H = 16, 8

def colour(x, y, salt):
    return ((x * 15 + salt) & 255, (y * 31 + 2 * salt) & 255, ((x ^ y) * 17 + 40) & 255)

# Palette 0 of the bank's table: no black past entry 0 (the runtime keeps
# black only at 0), every entry distinct.
table = [(0, 0, 0)] + [((i * 37) & 255 | 1, (i * 91) & 255 | 2, (255 - i) | 4) for i in range(1, 256)]
open(os.path.join(here, 'table.pal'), 'wb').write(bytes(v for c in table for v in (*c, 0)))

rgb = Image.new('RGB', (W, H))
pal = Image.new('P', (W, H))
alpha = Image.new('RGBA', (W, H))
raw = Image.new('RGB', (W, H))
loose = Image.new('RGB', (W, H))
pal8 = Image.new('P', (W, H))
palette = [c for i in range(256) for c in ((i * 53) & 255, (i * 29 + 7) & 255, (i * 11 + 100) & 255)]
pal.putpalette(palette)
pal8.putpalette(palette)
for y in range(H):
    for x in range(W):
        rgb.putpixel((x, y), colour(x, y, 0))
        pal.putpixel((x, y), (x * 16 + y * 3) & 255)
        pal8.putpixel((x, y), (200 + x + y) & 255)
        alpha.putpixel((x, y), colour(x, y, 50) + ((x * 16) & 255,))
        raw.putpixel((x, y), table[1 + x + y * W])
        loose.putpixel((x, y), colour(x, y, 99))
rgb.save(os.path.join(here, 'rgb.png'))
pal.save(os.path.join(here, 'pal.png'))
alpha.save(os.path.join(here, 'alpha.png'))
raw.save(os.path.join(here, 'raw.bmp'))
os.makedirs(os.path.join(here, 'files'), exist_ok=True)
loose.save(os.path.join(here, 'files', 'loose.bmp'))
pal8.save(os.path.join(here, 'files', 'pal8.bmp'))
photo = Image.new('RGB', (W, W))
for y in range(W):
    for x in range(W):
        photo.putpixel((x, y), colour(x, y, 7))
photo.save(os.path.join(here, 'photo.jpg'), quality=90)
ppm = subprocess.run(['djpeg', '-ppm', os.path.join(here, 'photo.jpg')], capture_output=True, check=True).stdout
decoded = Image.open(__import__('io').BytesIO(ppm)).convert('RGB')

points = [(0, 0), (5, 3), (15, 7), (9, 1)]
def value(c):
    return (c[0] << 16) | (c[1] << 8) | c[2]
lines = []
for name, image in (('rgb', rgb.convert('RGB')), ('pal', pal.convert('RGB')), ('alpha', alpha.convert('RGB')),
                    ('photo', decoded), ('raw', raw), ('loose.bmp', loose)):
    for x, y in points:
        lines.append('%s %d %d %d' % (name, x, y, value(image.getpixel((x, y)))))
lines.append('image depth 8 8')
for x, y in points:
    index = pal8.getpixel((x, y))
    lines.append('own palette %d %d %d %d' % (x, y, index, value(pal8.convert('RGB').getpixel((x, y)))))
    lines.append('surface palette %d %d 1' % (x, y))
lines.append('end')
open(os.path.join(here, 'written', 'result.txt'), 'wb').write(('\r\n'.join(lines) + '\r\n').encode())

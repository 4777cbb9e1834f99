#!/usr/bin/python3
"""Image files made by ImageMagick for the engine's image adapter test.

Writes into OUTDIR: the files below, each with NAME.rgb (ImageMagick's own
reading of the file, `convert NAME -depth 8 rgb:-`) and, for alpha.png,
alpha.png.alpha (its alpha plane as gray bytes). The pixels are 16 x 8 (the
texture keeps a power-of-two image as it is read) in colours of the 3-3-2
palette (red (i & 7) * 36, green ((i >> 3) & 7) * 36, blue (i >> 6) * 85), so
an 8-bit world over that palette has an exact index for every pixel. The
header of each file is checked, so that a change of ImageMagick's defaults
shows here and not as a puzzling texel.

Usage: make_image_fixtures.py CONVERT OUTDIR
"""
import os
import struct
import subprocess
import sys

convert, out = sys.argv[1], sys.argv[2]
os.makedirs(out, exist_ok=True)


def colour(i):
    return bytes(((i & 7) * 36, ((i >> 3) & 7) * 36, (i >> 6) * 85))


def source(width, height, alpha):
    data = bytearray()
    for y in range(height):
        for x in range(width):
            data += colour((x * 37 + y * 11 + 5) % 256)
            if alpha:
                data.append((x * 16 + y * 29) % 256)
    return bytes(data)


def make(name, width, height, alpha, *options):
    kind = "rgba" if alpha else "rgb"
    path = os.path.join(out, name)
    subprocess.run([convert, "-size", "%dx%d" % (width, height), "-depth", "8", kind + ":-", *options],
                   input=source(width, height, alpha), check=True)
    with open(path + ".rgb", "wb") as f:
        f.write(subprocess.run([convert, path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout)
    if alpha:
        with open(path + ".alpha", "wb") as f:
            f.write(subprocess.run([convert, path, "-alpha", "extract", "-depth", "8", "gray:-"],
                                   capture_output=True, check=True).stdout)
    with open(path, "rb") as f:
        return f.read()


def check_bmp(data, bits, compression):
    got = struct.unpack_from("<HI", data, 28)
    if got != (bits, compression):
        sys.exit("BMP header: %d bits, compression %d; wanted %d, %d" % (got + (bits, compression)))


def check_png(data, bits, colour_type):
    got = (data[24], data[25])
    if got != (bits, colour_type):
        sys.exit("PNG header: bit depth %d, colour type %d; wanted %d, %d" % (got + (bits, colour_type)))


o = lambda name: os.path.join(out, name)
check_bmp(make("rgb24.bmp", 16, 8, False, "-type", "TrueColor", "BMP3:" + o("rgb24.bmp")), 24, 0)
check_bmp(make("narrow24.bmp", 2, 4, False, "-type", "TrueColor", "BMP3:" + o("narrow24.bmp")), 24, 0)
check_bmp(make("pal8.bmp", 16, 8, False, "-type", "Palette", "-compress", "None", "BMP3:" + o("pal8.bmp")), 8, 0)
check_bmp(make("rle8.bmp", 16, 8, False, "-type", "Palette", "BMP3:" + o("rle8.bmp")), 8, 1)
check_png(make("rgb.png", 16, 8, False, "PNG24:" + o("rgb.png")), 8, 2)
check_png(make("pal8.png", 16, 8, False, "PNG8:" + o("pal8.png")), 8, 3)
check_png(make("alpha.png", 16, 8, True, "PNG32:" + o("alpha.png")), 8, 6)

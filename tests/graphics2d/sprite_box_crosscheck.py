#!/usr/bin/python3
"""Outside check of sprite bounding boxes under scale and rotation.

Runs the core test that lists boxes (position, image size, hot spot, scales,
angle, then the box) and computes each box again: the scaled image's four
corner pixel centres, taken from the hot spot, are turned counter-clockwise
(screen coordinates, y down) about the position; left and top are the least
coordinates rounded to the nearest; the size is the span of the corners as
the transformed copy is made (single-precision products, truncated, plus 1).

Usage: sprite_box_crosscheck.py CORE_TESTS_EXECUTABLE
"""
import math
import os
import struct
import subprocess
import sys
import tempfile


def f32(v):
    return struct.unpack("f", struct.pack("f", v))[0]


def scaled(length, scale):
    if scale == 1.0:
        return length
    v = math.floor(abs(length) * scale + 0.5)
    return int(math.copysign(v, length)) if length else 0


def box(x, y, w, h, hx, hy, sx, sy, angle):
    sw, sh, shx, shy = scaled(w, sx), scaled(h, sy), scaled(hx, sx), scaled(hy, sy)
    if angle == 0:
        return x - shx, y - shy, x - shx + sw, y - shy + sh
    if angle == 90:
        c, s = 0.0, 1.0
    elif angle == 270:
        c, s = 0.0, -1.0
    else:
        # Degrees to radians by the constant the sprite rule names.
        c, s = math.cos(angle * 0.01745329251993889), math.sin(angle * 0.01745329251993889)
    corners = [(px - shx, py - shy) for px in (0, sw - 1) for py in (0, sh - 1)]
    turned = [(px * c + py * s, py * c - px * s) for px, py in corners]
    left = x + math.floor(min(t[0] for t in turned) + 0.5)
    top = y + math.floor(min(t[1] for t in turned) + 0.5)
    # The copy's size: corners from the image's top left, float products.
    xs = [f32(f32(px * c) + f32(py * s)) for px in (0, sw - 1) for py in (0, sh - 1)]
    ys = [f32(f32(py * c) - f32(px * s)) for px in (0, sw - 1) for py in (0, sh - 1)]
    width = int(f32(max(xs) - min(xs))) + 1
    height = int(f32(max(ys) - min(ys))) + 1
    return left, top, left + width, top + height


def main():
    failures = checked = 0
    with tempfile.TemporaryDirectory() as folder:
        listing = os.path.join(folder, "boxes.txt")
        env = dict(os.environ, TW_SPRITE_BOXES_FILE=listing)
        subprocess.run([sys.argv[1], "--gtest_filter=SpriteGeometry.WritesBoxesForTheOutsideCheck"], env=env,
                       check=True, stdout=subprocess.DEVNULL)
        with open(listing) as f:
            for line in f:
                v = line.split()
                x, y, w, h, hx, hy = (int(t) for t in v[:6])
                sx, sy, angle = float(v[6]), float(v[7]), int(v[8])
                got = tuple(int(t) for t in v[9:13])
                want = box(x, y, w, h, hx, hy, sx, sy, angle)
                checked += 1
                if got != want:
                    failures += 1
                    if failures <= 5:
                        print(f"{line.strip()}: reference {want}")
    print(f"{checked} boxes, {failures} differ")
    return 1 if failures or not checked else 0


if __name__ == "__main__":
    sys.exit(main())

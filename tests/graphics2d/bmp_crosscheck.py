#!/usr/bin/python3
"""Outside check of the 15- and 16-bit pixel layouts.

Runs the core test that writes a row of colours through the 15- and 16-bit
routines as a BI_RGB 5-5-5 BMP and a BI_BITFIELDS 5-6-5 BMP (with the colours
the routines read back beside them), then decodes both files with python3-pil
and with netpbm's bmptopnm and compares. The decoders scale short channels to
the full range, the routines shift them up, so the channels are compared at
their stored width (5 bits, 6 for 5-6-5 green).

Usage: bmp_crosscheck.py CORE_TESTS_EXECUTABLE
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image


def pnm_header(data):
    """The four header fields of a binary PNM file (magic, width, height,
    maxval, separated by whitespace and comments) and where the samples start."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    return fields, pos


def read_ppm(data):
    fields, pos = pnm_header(data)
    assert fields[0] == b"P6", fields[0]
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    pos += 1
    size = 1 if maxval < 256 else 2
    values = []
    for i in range(width * height * 3):
        chunk = data[pos + i * size:pos + (i + 1) * size]
        values.append(int.from_bytes(chunk, "big"))
    pixels = [tuple(values[i:i + 3]) for i in range(0, len(values), 3)]
    return width, height, maxval, pixels


def stored(value, maxval, bits):
    """A decoded channel back at its stored width."""
    top = (1 << bits) - 1
    return (value * top * 2 + maxval) // (2 * maxval)


def main():
    exe = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, TW_BMP_CROSSCHECK_DIR=folder)
        subprocess.run([exe, "--gtest_filter=PixelLayout.WritesBmpFilesForTheOutsideCheck"], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        # netpbm reads the 5-6-5 masks only from a version 4 header; given
        # them behind a 40-byte header it decodes 5-5-5.
        files = (("rgb555", (5, 5, 5), True), ("rgb565", (5, 6, 5), False), ("rgb565v4", (5, 6, 5), True))
        for name, bits, with_netpbm in files:
            path = os.path.join(folder, name)
            with open(path + ".txt") as f:
                expected = [tuple(int(v) for v in line.split()) for line in f]
            # The routines' colours have their low bits 0: at stored width
            # they are the colour shifted down.
            want = [tuple(c >> (8 - b) for c, b in zip(rgb, bits)) for rgb in expected]

            image = Image.open(path + ".bmp").convert("RGB")
            pil = [tuple(stored(c, 255, b) for c, b in zip(rgb, bits)) for rgb in image.getdata()]

            decoded = [("python3-pil", pil)]
            if with_netpbm:
                ppm = subprocess.run(["bmptopnm", path + ".bmp"], check=True, capture_output=True).stdout
                _, _, maxval, pixels = read_ppm(ppm)
                decoded.append(("bmptopnm", [tuple(stored(c, maxval, b) for c, b in zip(rgb, bits)) for rgb in pixels]))

            for decoder, got in decoded:
                if len(got) != len(want):
                    print(f"{name} {decoder}: {len(got)} pixels, expected {len(want)}")
                    failures += 1
                    continue
                bad = [(i, g, w) for i, (g, w) in enumerate(zip(got, want)) if g != w]
                for i, g, w in bad[:5]:
                    print(f"{name} {decoder}: pixel {i} decodes as {g}, routines read {w}")
                failures += len(bad)
                if not bad:
                    print(f"{name} {decoder}: {len(want)} pixels agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

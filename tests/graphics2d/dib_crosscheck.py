#!/usr/bin/python3
"""Outside check of the DIB export and import.

Export: the core test writes a surface of each depth as a BMP file (the
packed DIB of GetBitmapInfo behind a 14-byte file header) with the colours it
reads back; python3-pil and netpbm's bmptopnm decode the files and must give
those colours (15 and 16 bits compared at their stored channel widths;
bmptopnm is not asked about 5-6-5 behind a 40-byte header, which it reads as
5-5-5).

Import: ImageMagick (BMP3: at 1, 4, 8 and 24 bits) and netpbm's ppmtobmp
write BMP files of a test picture; the core test imports each with
CreateFromBitmapInfo into a 24-bit surface; the pixels must equal bmptopnm's.
A palette's black past entry 0 is kept as (8,0,0) by the palette records (so
that it stays visible), which the comparison allows.

Usage: dib_crosscheck.py CORE_TESTS_EXECUTABLE
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

from bmp_crosscheck import read_ppm

CONVERT = "/usr/bin/convert"


def bmptopnm(path):
    # Monochrome files decode to PBM and grey ones to PGM: ppmtoppm makes any
    # of them a PPM.
    pnm = subprocess.run(["bmptopnm", path], check=True, capture_output=True).stdout
    _, _, maxval, pixels = read_ppm(subprocess.run(["ppmtoppm"], input=pnm, check=True, capture_output=True).stdout)
    assert maxval == 255, maxval
    return pixels


def read_txt(path):
    with open(path) as f:
        return [tuple(int(v) for v in line.split()) for line in f]


def stored(value, bits):
    top = (1 << bits) - 1
    return (value * top * 2 + 255) // (2 * 255)


def compare(label, want, got, same):
    bad = [i for i, (w, g) in enumerate(zip(want, got)) if not same(w, g)]
    if len(want) != len(got) or bad:
        i = bad[0] if bad else 0
        print(f"{label}: {len(bad)} pixels differ (of {len(want)}/{len(got)}), first at {i}: "
              f"want {want[i] if i < len(want) else None} got {got[i] if i < len(got) else None}")
        return 1
    return 0


def main():
    exe = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        picture = os.path.join(folder, "picture.ppm")
        subprocess.run([CONVERT, "-size", "13x9", "gradient:red-blue", "(", "-size", "13x9", "gradient:yellow-black",
                        "-rotate", "90", "-resize", "13x9!", ")", "-compose", "difference", "-composite", "-depth",
                        "8", picture], check=True)
        imports = {
            "im_1": ["-monochrome", "-compress", "none", "BMP3:"],
            "im_4": ["-colors", "14", "-type", "palette", "-compress", "none", "BMP3:"],
            "im_8": ["-colors", "200", "-type", "palette", "-compress", "none", "BMP3:"],
            "im_24": ["-type", "truecolor", "-compress", "none", "BMP3:"],
        }
        for name, args in imports.items():
            subprocess.run([CONVERT, picture] + args[:-1] + [args[-1] + os.path.join(folder, name + ".bmp")],
                           check=True)
        for name, bpp in (("pbm_24", "24"), ("pbm_8", "8")):
            with open(os.path.join(folder, name + ".bmp"), "wb") as out:
                subprocess.run(["ppmtobmp", "-bpp=" + bpp, picture], check=True, stdout=out,
                               stderr=subprocess.DEVNULL)
        names = list(imports) + ["pbm_24", "pbm_8"]
        with open(os.path.join(folder, "imports.txt"), "w") as f:
            f.write("\n".join(names) + "\n")

        env = dict(os.environ, TW_DIB_CROSSCHECK_DIR=folder)
        subprocess.run([exe, "--gtest_filter=DibCrossCheck.*"], env=env, check=True)

        widths = {8: (8, 8, 8), 15: (5, 5, 5), 16: (5, 6, 5), 24: (8, 8, 8), 32: (8, 8, 8)}
        for depth, bits in widths.items():
            base = os.path.join(folder, f"export_{depth}")
            expected = read_txt(base + ".txt")
            want = [tuple(c >> (8 - b) for c, b in zip(rgb, bits)) for rgb in expected]
            decoded = [("python3-pil", list(Image.open(base + ".bmp").convert("RGB").getdata()))]
            if depth != 16:
                decoded.append(("bmptopnm", bmptopnm(base + ".bmp")))
            for decoder, pixels in decoded:
                got = [tuple(stored(c, b) for c, b in zip(rgb, bits)) for rgb in pixels]
                failures += compare(f"export {depth} bits, {decoder}", want, got, lambda w, g: w == g)

        black_kept = lambda w, g: w == g or (w == (0, 0, 0) and g == (8, 0, 0))
        for name in names:
            path = os.path.join(folder, name + ".bmp")
            with open(path, "rb") as f:
                bit_count = int.from_bytes(f.read()[28:30], "little")
            got = read_txt(os.path.join(folder, name + ".txt"))
            failures += compare(f"import {name} ({bit_count} bits)", bmptopnm(path), got,
                                black_kept if bit_count <= 8 else (lambda w, g: w == g))
    if failures:
        sys.exit(1)
    print("DIB export and import agree with python3-pil and bmptopnm")


if __name__ == "__main__":
    main()

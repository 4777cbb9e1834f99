#!/usr/bin/python3
"""Outside check of the surface's "Rotate" and "SaveImage".

Runs the core test that loads a 24-bit picture into surfaces, turns it by 90,
180 and 270 degrees and saves the results, and saves surfaces of every depth
as BMP, PNG and JPEG with their pixels listed beside the files. Then:
- each turn must equal ImageMagick's `convert -rotate` of the source (the
  surface turns counter-clockwise, ImageMagick clockwise: our 90 is its -90);
- every saved file must decode in python3-pil (BMP also in netpbm's bmptopnm,
  PNG must pass pngcheck) to the surface's pixels (15 and 16 bits compared at
  5 bits a channel; JPEG, being lossy, by its mean difference).

Usage: surface_images_crosscheck.py CORE_TESTS_EXECUTABLE
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

from bmp_crosscheck import pnm_header


def ppm_pixels(data):
    """The pixels of a binary P6 file (maxval below 256)."""
    fields, pos = pnm_header(data)
    assert fields[0] == b"P6" and int(fields[3]) == 255, fields
    samples = data[pos + 1:]
    return [tuple(samples[i:i + 3]) for i in range(0, len(samples), 3)]


def compare(name, got, want, bits=8):
    if len(got) != len(want):
        print(f"{name}: {len(got)} pixels, expected {len(want)}")
        return 1
    shift = 8 - bits
    bad = [(i, g, w) for i, (g, w) in enumerate(zip(got, want))
           if any((a >> shift) != (b >> shift) for a, b in zip(g, w))]
    for i, g, w in bad[:5]:
        print(f"{name}: pixel {i} decodes as {g}, the surface has {w}")
    if not bad:
        print(f"{name}: {len(want)} pixels agree")
    return len(bad)


def compare_lossy(name, got, want, limit=4):
    """JPEG (of a smooth picture): the same size, and a mean difference per
    sample within the limit."""
    if len(got) != len(want):
        print(f"{name}: {len(got)} pixels, expected {len(want)}")
        return 1
    mean = sum(abs(a - b) for g, w in zip(got, want) for a, b in zip(g, w)) / (3 * len(want))
    print(f"{name}: mean difference {mean:.2f} per sample")
    return 0 if mean <= limit else 1


def main():
    exe = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, TW_SURFACE_IMAGES_DIR=folder)
        subprocess.run([exe, "--gtest_filter=SurfaceImageFilesTest.WritesFilesForTheOutsideCheck"], env=env,
                       check=True, stdout=subprocess.DEVNULL)
        source = os.path.join(folder, "rotate0.bmp")
        for degrees in (90, 180, 270):
            reference = os.path.join(folder, f"magick{degrees}.bmp")
            subprocess.run(["convert", source, "-rotate", str(-degrees), "BMP3:" + reference], check=True)
            want = Image.open(reference).convert("RGB")
            got = Image.open(os.path.join(folder, f"rotate{degrees}.bmp")).convert("RGB")
            if got.size != want.size:
                print(f"rotate {degrees}: size {got.size}, ImageMagick {want.size}")
                failures += 1
                continue
            failures += compare(f"rotate {degrees} against convert -rotate {-degrees}", list(got.getdata()),
                                list(want.getdata()))

        for name in sorted(n for n in os.listdir(folder) if n.startswith("saved") and not n.endswith(".txt")):
            path = os.path.join(folder, name)
            with open(path + ".txt") as f:
                want = [tuple(int(v) for v in line.split()) for line in f]
            depth = int(name[5:].split(".")[0])
            bits = 5 if depth in (15, 16) else 8
            image = Image.open(path).convert("RGB")
            if name.endswith(".jpg"):
                failures += compare_lossy(f"{name} python3-pil", list(image.getdata()), want)
                continue
            failures += compare(f"{name} python3-pil", list(image.getdata()), want, bits)
            if name.endswith(".bmp"):
                ppm = subprocess.run(["bmptopnm", path], check=True, capture_output=True).stdout
                failures += compare(f"{name} bmptopnm", ppm_pixels(ppm), want, bits)
            if name.endswith(".png"):
                check = subprocess.run(["pngcheck", path], capture_output=True, text=True)
                if check.returncode != 0:
                    print(f"{name} pngcheck: {check.stdout.strip()}")
                    failures += 1
                else:
                    print(f"{name} pngcheck: OK")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

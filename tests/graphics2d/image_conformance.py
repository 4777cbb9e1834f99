#!/usr/bin/python3
"""The image layer against decoders and encoders no one here wrote.

Makes BMP fixtures with ImageMagick and netpbm, JPEG fixtures with cjpeg, and
takes PngSuite and pngtest.png from the cache that scripts/setup.sh fills
(TW_PNGSUITE_DIR, default /var/cache/tarnwheel/pngsuite; skipped with a note
when missing). The graphics2d test executable reads them all at 24 bits
(image_conformance_test.cpp); each is compared pixel for pixel with
bmptopnm, pngtopnm or djpeg (python3-pil for PNGs with alpha). Then the files
the layer wrote go the other way: bmptopnm and python3-pil read its BMPs,
pngcheck and pngtopnm its PNGs, djpeg its JPEG (within 30 dB of the source).

Usage: image_conformance.py GRAPHICS2D_TESTS_EXECUTABLE
"""
import math
import os
import subprocess
import sys
import tempfile

from PIL import Image

from bmp_crosscheck import pnm_header

failures = []
counts = {}


def fail(text):
    failures.append(text)


def run(*args, stdin=None):
    return subprocess.run(args, check=True, capture_output=True, stdin=stdin).stdout


def parse_pnm(data):
    """(width, height, channels, samples) of a P5/P6 file; 16-bit samples keep their high byte."""
    fields, pos = pnm_header(data)
    pos += 1
    magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    channels = 3 if magic == b"P6" else 1
    body = data[pos:]
    if maxval > 255:
        body = body[0::2]
    return width, height, channels, body[:width * height * channels]


def as_rgb(channels, samples):
    if channels == 3:
        return bytes(samples)
    return bytes(b for s in samples for b in (s, s, s))


def ours(folder, name):
    """(status, width, height, depth, rgb) as the layer read the file."""
    with open(os.path.join(folder, name + ".out"), "rb") as f:
        data = f.read()
    line, _, rows = data.partition(b"\n")
    status, width, height, depth = (int(v) for v in line.split())
    rgb = bytearray(len(rows))
    rgb[0::3], rgb[1::3], rgb[2::3] = rows[2::3], rows[1::3], rows[0::3]
    return status, width, height, depth, bytes(rgb)


def compare(folder, name, expected_rgb, width, height, tolerance=0):
    status, w, h, _, rgb = ours(folder, name)
    if status != 0 or (w, h) != (width, height):
        fail(f"{name}: status {status}, size {w}x{h}, expected {width}x{height}")
        return
    worst = max((abs(a - b) for a, b in zip(rgb, expected_rgb)), default=0)
    if len(rgb) != len(expected_rgb) or worst > tolerance:
        fail(f"{name}: pixels differ (largest difference {worst})")


def source_picture(folder):
    width, height = 61, 37
    rgb = bytearray()
    for y in range(height):
        for x in range(width):
            rgb += bytes(((x * 255) // width, (y * 255) // height, ((x + y) * 255) // (width + height)))
    with open(os.path.join(folder, "source.ppm"), "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height) + rgb)
    return width, height, bytes(rgb)


def main():
    exe = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="twimgconf")
    width, height, source = source_picture(folder)
    src = os.path.join(folder, "source.ppm")
    files = {}  # name -> (kind, expected status or None to compare)

    def make(name, *command):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(run(*command))

    # BMP fixtures: ImageMagick's BMP3 and netpbm's writer; ImageMagick's V4/V5 headers give 5.
    run("convert", src, "BMP3:" + os.path.join(folder, "im24.bmp"))
    run("convert", src, "-alpha", "set", "-define", "bmp3:alpha=true", "BMP3:" + os.path.join(folder, "im32.bmp"))
    run("convert", src, "-colors", "200", "-type", "Palette", "-compress", "None", "BMP3:" + os.path.join(folder, "im8.bmp"))
    run("convert", src, "-colors", "200", "-type", "Palette", "-compress", "RLE", "BMP3:" + os.path.join(folder, "im8rle.bmp"))
    run("convert", src, "BMP:" + os.path.join(folder, "imv5.bmp"))
    make("pbm24.bmp", "ppmtobmp", "-bpp", "24", src)
    quantised = run("pnmquant", "256", src)
    with open(os.path.join(folder, "quant.ppm"), "wb") as f:
        f.write(quantised)
    make("pbm8.bmp", "ppmtobmp", "-bpp", "8", os.path.join(folder, "quant.ppm"))
    make("pbmos2.bmp", "ppmtobmp", "-os2", "-bpp", "24", src)
    for name in ("im24.bmp", "im32.bmp", "im8.bmp", "im8rle.bmp", "pbm24.bmp", "pbm8.bmp", "pbmos2.bmp"):
        files[name] = ("bmp", None)
    files["imv5.bmp"] = ("bmp", 5)

    # JPEG fixtures from cjpeg: the same library decodes them identically.
    for name, options in (("cj.jpg", []), ("cjgrey.jpg", ["-grayscale"]), ("cjprog.jpg", ["-progressive"]),
                          ("cjrestart.jpg", ["-restart", "1"])):
        make(name, "cjpeg", *options, src)
        files[name] = ("jpeg", None)

    # PngSuite.
    suite = os.environ.get("TW_PNGSUITE_DIR", "/var/cache/tarnwheel/pngsuite")
    suite_files = sorted(n for n in os.listdir(suite) if n.endswith(".png")) if os.path.isdir(suite) else []
    if not suite_files:
        print(f"note: no PngSuite in {suite}; run scripts/setup.sh")
    for name in suite_files:
        with open(os.path.join(suite, name), "rb") as f, open(os.path.join(folder, name), "wb") as g:
            g.write(f.read())
        files[name] = ("png", None)

    with open(os.path.join(folder, "list.txt"), "w") as f:
        f.write("\n".join(files) + "\n")
    env = dict(os.environ, TW_IMAGE_CONFORMANCE_DIR=folder)
    result = subprocess.run([exe, "--gtest_filter=ImageConformance.*"], env=env, capture_output=True, text=True)
    if result.returncode != 0:
        print(result.stdout[-3000:])
        sys.exit("the test executable failed")

    for name, (kind, expected_status) in files.items():
        path = os.path.join(folder, name)
        status = ours(folder, name)[0]
        if expected_status is not None:
            if status != expected_status:
                fail(f"{name}: status {status}, expected {expected_status}")
            continue
        if kind == "bmp":
            # bmptopnm refuses ImageMagick's RLE8 rows (their last run ends
            # exactly at the row's end); python3-pil reads them.
            converted = subprocess.run(["bmptopnm", path], capture_output=True)
            if converted.returncode == 0:
                w, h, c, samples = parse_pnm(converted.stdout)
                compare(folder, name, as_rgb(c, samples), w, h)
            else:
                image = Image.open(path)
                compare(folder, name, image.convert("RGB").tobytes(), image.width, image.height)
        elif kind == "jpeg":
            w, h, c, samples = parse_pnm(run("djpeg", "-pnm", path))
            compare(folder, name, as_rgb(c, samples), w, h)
        else:
            counts[status] = counts.get(status, []) + [name]
            if name.startswith("x"):
                if status == 0:
                    fail(f"{name}: a corrupt PngSuite file read without a status")
                continue
            bit_depth = None
            with open(path, "rb") as f:
                head = f.read(29)
            bit_depth, colour_type = head[24], head[25]
            if bit_depth < 8:
                if status != 12:
                    fail(f"{name}: {bit_depth}-bit samples gave status {status}, expected 12")
                continue
            if colour_type in (4, 6):
                image = Image.open(path)
                image.load()
                rgb = image.convert("RGBA").tobytes()
                expected = bytes(b for i in range(0, len(rgb), 4) for b in rgb[i:i + 3])
                if bit_depth == 16:
                    # PIL narrows 16-bit samples by rounding; the layer keeps the high byte.
                    compare(folder, name, expected, image.width, image.height, tolerance=1)
                else:
                    compare(folder, name, expected, image.width, image.height)
            else:
                w, h, c, samples = parse_pnm(run("pngtopnm", path))
                compare(folder, name, as_rgb(c, samples), w, h)

    # The other way: the layer's files in outside decoders.
    def decoded_by_pil(path):
        image = Image.open(path)
        return image.convert("RGB").tobytes(), image.width, image.height

    def check_same(name, rgb, w, h, expected, ew, eh, bits=None):
        if (w, h) != (ew, eh):
            fail(f"{name}: size {w}x{h}, expected {ew}x{eh}")
            return
        if bits is None:
            if rgb != expected:
                fail(f"{name}: pixels differ")
            return
        # 5-6-5 data: compare each channel at its stored width.
        for i, (a, b) in enumerate(zip(rgb, expected)):
            shift = 8 - bits[i % 3]
            if a >> shift != b >> shift:
                fail(f"{name}: pixel {i // 3} differs")
                return

    with open(os.path.join(folder, "ours8.ppm"), "rb") as f:
        _, _, _, cube = parse_pnm(f.read())
    column = bytes(source[(y * width) * 3:(y * width) * 3 + 3][i] for y in range(height) for i in range(3))
    for name, expected, ew, bits in (("ours24.bmp", source, width, None), ("ours16.bmp", source, width, (5, 6, 5)),
                                     ("ours8.bmp", cube, width, None), ("ours24w1.bmp", column, 1, None)):
        path = os.path.join(folder, name)
        # netpbm reads 16-bit masks only inside a version 4 or 5 header; the
        # 40-byte header's masks are read by python3-pil alone.
        if bits is None:
            w, h, c, samples = parse_pnm(run("bmptopnm", path))
            check_same(name + " (bmptopnm)", as_rgb(c, samples), w, h, expected, ew, height, bits)
        rgb, w, h = decoded_by_pil(path)
        check_same(name + " (python3-pil)", rgb, w, h, expected, ew, height, bits)
    for name, expected in (("ours24.png", source), ("ours8.png", cube)):
        path = os.path.join(folder, name)
        if subprocess.run(["pngcheck", "-q", path], capture_output=True).returncode != 0:
            fail(f"{name}: pngcheck refuses it")
        w, h, c, samples = parse_pnm(run("pngtopnm", path))
        check_same(name + " (pngtopnm)", as_rgb(c, samples), w, h, expected, width, height)
    w, h, c, samples = parse_pnm(run("djpeg", "-pnm", os.path.join(folder, "ours24.jpg")))
    squares = sum((a - b) ** 2 for a, b in zip(as_rgb(c, samples), source))
    psnr = 10 * math.log10(255 * 255 / (squares / len(source) + 1e-9))
    if (w, h) != (width, height) or psnr < 30:
        fail(f"ours24.jpg: {w}x{h}, PSNR {psnr:.1f} dB")

    print(f"checked {len(files)} files ({len(suite_files)} from PngSuite); PngSuite statuses:")
    for status in sorted(counts):
        print(f"  {status}: {len(counts[status])} files" + (f" ({' '.join(counts[status])})" if status != 0 else ""))
    print(f"our JPEG against its source: {psnr:.1f} dB")
    if failures:
        print("\n".join(failures))
        sys.exit(1)


main()

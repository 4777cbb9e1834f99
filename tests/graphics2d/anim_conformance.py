#!/usr/bin/python3
"""PCX, TGA, FLI/FLC and ANM against readers and writers no one here wrote.

- PCX from ppmtopcx (-8bit, -24bit) and ImageMagick, compared with pcxtoppm.
- TGA from pamtotga (-cmap, -mono, -rgb, each also -norle), python3-pil (RLE,
  top-left origin, RGBA) and ImageMagick, compared with tgatoppm and
  python3-pil.
- FLI and FLC files from the generator below, written from the published
  layout (byte runs, byte and word deltas, black and stored frames, both
  colour chunk kinds, a prefix chunk); each frame is compared with ffmpeg's
  decode and python3-pil's.
- ANM: the small reader and writer below, written from the format's
  description: files written here decode in the layer, and the layer's files
  decode here, at 8, 15, 16, 24 and 32 bits, stored and deflated.

Usage: anim_conformance.py GRAPHICS2D_TESTS_EXECUTABLE
"""
import glob
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

from PIL import Image

from bmp_crosscheck import pnm_header

failures = []
checked = {}


def fail(text):
    failures.append(text)


def count(tool):
    checked[tool] = checked.get(tool, 0) + 1


def run(*args, stdin=None):
    return subprocess.run(args, check=True, capture_output=True, stdin=stdin).stdout


def parse_ppm(data):
    """(width, height, rgb) of a P6 or P5 file with maxval 255."""
    fields, pos = pnm_header(data)
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    body = data[pos:]
    if fields[0] == b"P5":
        body = bytes(b for s in body[:width * height] for b in (s, s, s))
    return width, height, bytes(body[:width * height * 3])


def bgr_to_rgb(rows):
    out = bytearray(len(rows))
    out[0::3], out[1::3], out[2::3] = rows[2::3], rows[1::3], rows[0::3]
    return bytes(out)


def ours_still(folder, name):
    with open(os.path.join(folder, name + ".out"), "rb") as f:
        line, _, rows = f.read().partition(b"\n")
    status, width, height, _ = (int(v) for v in line.split())
    return status, width, height, bgr_to_rgb(rows)


def ours_frames(folder, name):
    with open(os.path.join(folder, name + ".out"), "rb") as f:
        line, _, rows = f.read().partition(b"\n")
    status, width, height, frames = (int(v) for v in line.split())
    return status, width, height, frames, rows


# ---- The source picture --------------------------------------------------

def source_picture(width=37, height=23):
    img = Image.new("RGB", (width, height))
    px = img.load()
    for y in range(height):
        for x in range(width):
            # Smooth areas and flat runs (for run-length packets) and detail.
            px[x, y] = ((x * 7) & 255, (y * 11) & 255, 200 if x < 12 else (x * y) & 255)
    return img


# ---- FLI/FLC generator ---------------------------------------------------

def chunk(kind, data):
    return struct.pack("<IH", len(data) + 6, kind) + data


def colours(kind, palette):
    """One packet setting all 256 entries (count 0 = 256)."""
    shift = 2 if kind == 11 else 0
    return chunk(kind, struct.pack("<HBB", 1, 0, 0) + bytes(c >> shift for c in palette))


def byte_runs(pic, width, height):
    out = bytearray()
    for y in range(height):
        row = pic[y * width:(y + 1) * width]
        out.append(0)
        x = 0
        while x < width:
            run = 1
            while x + run < width and run < 127 and row[x + run] == row[x]:
                run += 1
            if run >= 3:
                out += struct.pack("<bB", run, row[x])
                x += run
                continue
            lit = 1
            while x + lit < width and lit < 127 and not (x + lit + 2 < width and row[x + lit] == row[x + lit + 1] == row[x + lit + 2]):
                lit += 1
            out += struct.pack("<b", -lit) + bytes(row[x:x + lit])
            x += lit
    return chunk(15, bytes(out))


def byte_delta(prev, pic, width, height):
    changed = [y for y in range(height) if prev[y * width:(y + 1) * width] != pic[y * width:(y + 1) * width]]
    first, last = changed[0], changed[-1]
    out = bytearray(struct.pack("<HH", first, last - first + 1))
    for y in range(first, last + 1):
        a, b = prev[y * width:(y + 1) * width], pic[y * width:(y + 1) * width]
        packets = bytearray()
        n, x, at = 0, 0, 0
        while x < width:
            if a[x] == b[x]:
                x += 1
                continue
            end = x
            while end < width and a[end] != b[end] and end - x < 120:
                end += 1
            skip = x - at
            while skip > 255:
                packets += bytes((255, 0))
                n += 1
                skip -= 255
            seg = b[x:end]
            if len(seg) >= 3 and len(set(seg)) == 1:
                packets += struct.pack("<BbB", skip, -len(seg), seg[0])
            else:
                packets += struct.pack("<Bb", skip, len(seg)) + bytes(seg)
            n += 1
            at = x = end
        out.append(n)
        out += packets
    return chunk(12, bytes(out))


def word_delta(prev, pic, width, height):
    assert width % 2 == 0
    out = bytearray()
    lines = 0
    skip_lines = 0
    for y in range(height):
        a, b = prev[y * width:(y + 1) * width], pic[y * width:(y + 1) * width]
        if a == b:
            skip_lines += 1
            continue
        if skip_lines:
            out += struct.pack("<h", -skip_lines)
            skip_lines = 0
        packets = bytearray()
        n, x, at = 0, 0, 0
        while x < width:
            if a[x:x + 2] == b[x:x + 2]:
                x += 2
                continue
            end = x
            while end < width and a[end:end + 2] != b[end:end + 2] and end - x < 200:
                end += 2
            pairs = [bytes(b[i:i + 2]) for i in range(x, end, 2)]
            skip = x - at
            assert skip <= 255
            if len(pairs) >= 2 and len(set(pairs)) == 1:
                packets += struct.pack("<Bb", skip, -len(pairs)) + pairs[0]
            else:
                packets += struct.pack("<Bb", skip, len(pairs)) + b"".join(pairs)
            n += 1
            at = x = end
        out += struct.pack("<H", n) + packets
        lines += 1
    return chunk(7, struct.pack("<H", lines) + bytes(out))


def frame(subs):
    body = b"".join(subs)
    return struct.pack("<IHH8x", len(body) + 16, 0xF1FA, len(subs)) + body


def make_flic(flc, width, height, speed, pictures, palette, prefix=False):
    frames = [
        frame([colours(4 if flc else 11, palette), byte_runs(pictures[0], width, height)]),
        frame([byte_delta(pictures[0], pictures[1], width, height)]),
        frame([word_delta(pictures[1], pictures[2], width, height)]),
        # Four bytes of padding: python3-pil wants 10 bytes left for every
        # sub-chunk, even for one that has no data.
        frame([chunk(13, bytes(4))]),
        frame([chunk(16, bytes(pictures[4]))]),
        frame([byte_delta(pictures[4], pictures[5], width, height)]),
    ]
    prefix = struct.pack("<IHH8x", 16, 0xF100, 0) if prefix else b""
    body = prefix + b"".join(frames)
    header = struct.pack("<IHHHHHHI", 128 + len(body), 0xAF12 if flc else 0xAF11, len(frames), width, height,
                         8, 3, speed)
    header += bytes(80 - len(header)) + struct.pack("<II", 128 + len(prefix) if flc else 0, 0)
    header += bytes(128 - len(header))
    return header + body


def flic_pictures(width, height):
    pics = []
    base = bytearray((x // 5 + y // 3 * 7) & 255 for y in range(height) for x in range(width))
    pics.append(bytes(base))
    p = bytearray(base)
    for x in range(3, 30):
        p[4 * width + x] = 200
    for x in range(10, 14):
        p[9 * width + x] = (x * 31) & 255
    pics.append(bytes(p))
    p = bytearray(pics[1])
    for y in (2, 3, 11):
        for x in range(6, 26):
            p[y * width + x] = 77 if y != 11 else (x * 3) & 255
    pics.append(bytes(p))
    pics.append(bytes(width * height))
    pics.append(bytes((x * y) & 255 for y in range(height) for x in range(width)))
    p = bytearray(pics[4])
    for x in range(0, width, 3):
        p[(height - 1) * width + x] = 5
    pics.append(bytes(p))
    return pics


# ---- ANM reader and writer -----------------------------------------------

def anm_write(width, height, depth, frames, palette, level, delay=40):
    """frames: packed rows at depth. Key frame, then deltas over the rows that changed."""
    bpp = (depth + 1) // 8
    out = bytearray(b"ANMQ" + struct.pack("<IIIIIIIII", 0, 0, width, height, depth, 0, len(frames), delay,
                                          len(frames) * delay))
    if depth == 8:
        out += struct.pack("<HHI", 0x4571, 0, 772) + struct.pack("<HH", 0, 256) + bytes(palette)

    def put(kind, x, y, w, h, data):
        packed = zlib.compress(data, level) if level else data
        body = struct.pack("<IIIIIII", 0, 0, x, y, w, h, len(data) if level else 0) + packed
        out.extend(struct.pack("<HHI", kind, 0, len(body)) + body)

    row = width * bpp
    put(0x4572, 0, 0, width, height, frames[0])
    for prev, pic in zip(frames, frames[1:]):
        rows = [y for y in range(height) if prev[y * row:(y + 1) * row] != pic[y * row:(y + 1) * row]]
        if not rows:
            put(0x4573, 0, 0, 0, 0, b"")
            continue
        top, bottom = rows[0], rows[-1] + 1
        # Whole rows as one copy each, in pieces of up to 127 pixels; the
        # unchanged rows between them as row skips.
        data = bytearray()
        y = top
        while y < bottom:
            if y not in rows:
                data.append(0x81)
                y += 1
                continue
            data.append(1)
            x = 0
            while x < width:
                n = min(127, width - x)
                data.append(n)
                data += pic[y * row + x * bpp:y * row + (x + n) * bpp]
                x += n
            data.append(0)
            y += 1
        data.append(0)
        put(0x4573, 0, top, width, bottom - top, bytes(data))
    return bytes(out)


def anm_read(data):
    """(width, height, depth, frames as packed rows, palette, delays)."""
    assert data[:4] == b"ANMQ", "magic"
    width, height, depth, _, count, delay, _ = struct.unpack_from("<IIIIIII", data, 12)
    bpp = (depth + 1) // 8
    row = width * bpp
    pic = bytearray(row * height)
    palette = bytearray(768)
    frames, delays = [], []
    at = 40
    while at + 8 <= len(data) and len(frames) < count:
        kind, _, size = struct.unpack_from("<HHI", data, at)
        body = data[at + 8:at + 8 + size]
        at += 8 + size
        if kind == 0x4571:
            first, n = struct.unpack_from("<HH", body)
            for i in range(n):
                if first + i < 256:
                    palette[3 * (first + i):3 * (first + i) + 3] = body[4 + 3 * i:7 + 3 * i]
            continue
        if kind not in (0x4572, 0x4573):
            continue
        fdelay, flags, x, y, w, h, unpacked = struct.unpack_from("<IIIIIII", body)
        pixels = body[28:]
        if unpacked:
            pixels = zlib.decompress(pixels)
            assert len(pixels) == unpacked, "unpacked size"
        delays.append(fdelay or delay)
        if not flags & 1:
            if kind == 0x4572:
                pic[:] = pixels[:row * height]
            else:
                p, yy = 0, y
                while True:
                    g = pixels[p]
                    p += 1
                    if g == 0:
                        break
                    if g >= 128:
                        yy += g & 127
                        continue
                    for _ in range(g):
                        xx = x
                        while True:
                            op = pixels[p]
                            p += 1
                            if op == 0:
                                break
                            if op >= 128:
                                xx += op & 127
                            else:
                                assert xx + op <= x + w and yy < y + h, "delta outside its rectangle"
                                pic[yy * row + xx * bpp:yy * row + (xx + op) * bpp] = pixels[p:p + op * bpp]
                                p += op * bpp
                                xx += op
                        yy += 1
        frames.append(bytes(pic))
    return width, height, depth, frames, bytes(palette), delays


def anm_frames(width, height, depth, count=4):
    bpp = (depth + 1) // 8
    row = width * bpp
    frames = []
    pic = bytearray(((x * 13 + y * 29) ^ (x >> 2)) & 255 for y in range(height) for x in range(row))
    if depth == 32:
        pic[3::4] = bytes(len(pic[3::4]))  # the fourth byte comes out 0
    frames.append(bytes(pic))
    for i in range(1, count):
        pic = bytearray(pic)
        for y in range(2 + i, min(height, 9 + 2 * i)):
            for x in range(i * 5, min(width, i * 5 + 140)):
                for b in range(bpp if depth != 32 else 3):
                    pic[y * row + x * bpp + b] = (pic[y * row + x * bpp + b] + 17 * i + (x & 3) * 60) & 255
        frames.append(bytes(pic))
    return frames


# ---- The checks ----------------------------------------------------------

def main():
    exe = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="twanim")
    try:
        check(exe, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    for tool, n in sorted(checked.items()):
        print("%-28s %d files agree" % (tool, n) if not any(tool in f for f in failures) else tool)
    if failures:
        print("\n".join(failures))
        sys.exit(1)


def path(folder, name):
    return os.path.join(folder, name)


def check(exe, folder):
    src = source_picture()
    src.save(path(folder, "source.ppm"))
    quant = src.quantize(200).convert("RGB")
    quant.save(path(folder, "quant.ppm"))
    src.convert("L").save(path(folder, "grey.pgm"))
    ppm, qppm, pgm = path(folder, "source.ppm"), path(folder, "quant.ppm"), path(folder, "grey.pgm")

    stills = {}  # name -> list of (tool, rgb reference)
    def made(name, data):
        with open(path(folder, name), "wb") as f:
            f.write(data)

    # PCX.
    made("pm8.pcx", run("ppmtopcx", "-8bit", qppm))
    made("pm24.pcx", run("ppmtopcx", "-24bit", ppm))
    run("convert", ppm, path(folder, "im24.pcx"))
    run("convert", qppm, "-type", "Palette", path(folder, "im8.pcx"))
    for name in ("pm8.pcx", "pm24.pcx", "im24.pcx", "im8.pcx"):
        stills[name] = [("pcxtoppm", parse_ppm(run("pcxtoppm", path(folder, name)))[2])]

    # TGA.
    made("cmap.tga", run("pamtotga", "-cmap", qppm))
    made("cmap_raw.tga", run("pamtotga", "-cmap", "-norle", qppm))
    made("mono.tga", run("pamtotga", "-mono", pgm))
    made("mono_raw.tga", run("pamtotga", "-mono", "-norle", pgm))
    made("rgb.tga", run("pamtotga", "-rgb", ppm))
    made("rgb_raw.tga", run("pamtotga", "-rgb", "-norle", ppm))
    src.save(path(folder, "pil_rle.tga"), compression="tga_rle")
    src.save(path(folder, "pil_topleft.tga"), orientation=1)
    rgba = src.convert("RGBA")
    rgba.putalpha(Image.linear_gradient("L").resize(src.size))
    rgba.save(path(folder, "pil_rgba.tga"), compression="tga_rle")
    run("convert", ppm, path(folder, "im.tga"))
    run("convert", ppm, "-compress", "RLE", path(folder, "im_rle.tga"))
    for name in ("cmap.tga", "cmap_raw.tga", "mono.tga", "mono_raw.tga", "rgb.tga", "rgb_raw.tga", "pil_rle.tga",
                 "pil_topleft.tga", "pil_rgba.tga", "im.tga", "im_rle.tga"):
        refs = [("python3-pil", Image.open(path(folder, name)).convert("RGB").tobytes())]
        if name != "pil_rgba.tga":
            refs.append(("tgatoppm", parse_ppm(run("tgatoppm", path(folder, name)))[2]))
        stills[name] = refs
    with open(path(folder, "stills.txt"), "w") as f:
        f.write("\n".join(stills) + "\n")

    # FLI and FLC.
    anims = []
    width, height = 40, 14
    palette = bytes((i * 5 + c * 80) & 252 for i in range(256) for c in range(3))
    pictures = flic_pictures(width, height)
    # python3-pil reads the first frame from byte 128 whatever stands there,
    # so the file with a prefix chunk goes to ffmpeg only.
    flics = (("gen.fli", False, False), ("gen.flc", True, False), ("gen_prefix.flc", True, True))
    for name, flc, prefix in flics:
        made(name, make_flic(flc, width, height, 5 if not flc else 66, pictures, palette, prefix))
        anims.append((name, 24))

    # ANM both ways.
    writes = []
    anm_cases = {}
    for depth in (8, 15, 16, 24, 32):
        for level in (0, 6):
            w, h = 150, 21
            frames = anm_frames(w, h, depth)
            pal = bytes((i * 3 + c * 70) & 255 for i in range(256) for c in range(3))
            name = "py%d_%s.anm" % (depth, "zlib" if level else "stored")
            made(name, anm_write(w, h, depth, frames, pal, level))
            anims.append((name, 0))
            anm_cases[name] = frames
            ours = "ours%d_%s" % (depth, "zlib" if level else "stored")
            made(ours + ".raw", b"".join(frames) + (pal if depth == 8 else b""))
            writes.append("%s %d %d %d %d %d" % (ours, depth, w, h, len(frames), 60 if level else 0))
            anm_cases[ours] = (frames, pal)
    with open(path(folder, "anims.txt"), "w") as f:
        f.write("".join("%s %d\n" % a for a in anims))
    with open(path(folder, "writes.txt"), "w") as f:
        f.write("\n".join(writes) + "\n")

    env = dict(os.environ, TW_ANIM_CONFORMANCE_DIR=folder)
    result = subprocess.run([exe, "--gtest_filter=AnimConformance.*"], env=env, capture_output=True, text=True)
    if result.returncode != 0:
        fail("the layer's half failed:\n" + result.stdout[-3000:])
        return

    for name, refs in stills.items():
        status, w, h, rgb = ours_still(folder, name)
        if status != 0:
            fail("%s: status %d" % (name, status))
            continue
        for tool, ref in refs:
            if rgb != ref:
                diff = sum(1 for a, b in zip(rgb, ref) if a != b)
                fail("%s: differs from %s in %d samples (%dx%d)" % (name, tool, diff, w, h))
            else:
                count(tool + (" (PCX)" if name.endswith(".pcx") else " (TGA)"))

    for name, flc, prefix in flics:
        status, w, h, n, rows = ours_frames(folder, name)
        if status != 0 or n != 6:
            fail("%s: status %d after %d frames" % (name, status, n))
            continue
        ours = [bgr_to_rgb(rows[i * w * h * 3:(i + 1) * w * h * 3]) for i in range(n)]
        pil_frames = None
        if not prefix:
            pil = Image.open(path(folder, name))
            pil_frames = []
            for i in range(n):
                pil.seek(i)
                pil_frames.append(pil.convert("RGB").tobytes())
        out = path(folder, name + "_ff")
        os.mkdir(out)
        run("ffmpeg", "-v", "error", "-i", path(folder, name), "-fps_mode", "passthrough", "-f", "image2",
            path(out, "frame%03d.ppm"))
        ff_frames = [parse_ppm(open(p, "rb").read())[2] for p in sorted(glob.glob(path(out, "*.ppm")))]
        if not flc:
            # 6-bit colours: ffmpeg fills the low two bits from the high
            # ones, the layer (and python3-pil) multiply by 4.
            ff_frames = [bytes(v & 0xFC for v in f) for f in ff_frames]
        for tool, theirs in (("python3-pil (FLI/FLC)", pil_frames), ("ffmpeg (FLI/FLC)", ff_frames)):
            if theirs is None:
                continue
            if len(theirs) < n:
                fail("%s: %s gave %d frames" % (name, tool, len(theirs)))
            for i in range(min(n, len(theirs))):
                if theirs[i] != ours[i]:
                    fail("%s frame %d differs from %s" % (name, i, tool))
            if len(theirs) >= n and all(theirs[i] == ours[i] for i in range(n)):
                count(tool)

    for name, value in anm_cases.items():
        if name.endswith(".anm"):
            status, w, h, n, rows = ours_frames(folder, name)
            size = len(value[0])
            if status != 0 or n != len(value):
                fail("%s: status %d after %d frames" % (name, status, n))
            elif any(rows[i * size:(i + 1) * size] != value[i] for i in range(n)):
                fail("%s: the layer's frames differ from the ones written here" % name)
            else:
                count("ANM written here, read by the layer")
        else:
            frames, pal = value
            try:
                w, h, depth, theirs, their_pal, delays = anm_read(open(path(folder, name + ".anm"), "rb").read())
            except Exception as e:  # a reader failure is a finding
                fail("%s.anm: the reader here failed: %r" % (name, e))
                continue
            if theirs != frames:
                fail("%s.anm: frames read here differ from the source" % name)
            elif depth == 8 and their_pal != pal:
                fail("%s.anm: palette differs" % name)
            elif delays != [20 + i for i in range(len(frames))]:
                fail("%s.anm: delays %r" % (name, delays))
            else:
                count("ANM written by the layer, read here")


if __name__ == "__main__":
    main()

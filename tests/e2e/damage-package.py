#!/usr/bin/env python3
"""Makes damaged copies of a packed executable, one file per damage:
  cut-N      the file cut at ten points inside its package;
  flip-N     twenty copies, each with one bit flipped in the upper two bytes of
             a length or offset word (a chunk size other than an end chunk's,
             a bank's element count or an element record offset), chosen with
             a fixed seed;
  size-*     each such chunk size and bank element count set to 0xFFFFFFFF,
             0x7FFFFFF0 and 0x80000000;
  record-*   each element record offset pointing past the end of the file.
Usage: damage-package.py PACKED.exe OUT_FOLDER"""
import os
import random
import struct
import sys

MARKER = b"\x8fTW-PACKAGE-AT\x1a\x00"


def words(data, start):
    """(what, position) of every length and offset word of the package."""
    found = []

    def walk(at, end, depth):
        while at + 8 <= end:
            cid, _, size = struct.unpack_from("<HHI", data, at)
            if cid == 0x7F7F:
                # Nothing is read past an end chunk: its size word is not
                # checked, so damage to it changes nothing that is read.
                return
            found.append((f"chunk{cid:04x}@{at - start}", at + 4))
            if cid == 0x1200 and depth == 0:
                n = struct.unpack_from("<H", data, at + 8)[0]
                walk(at + 10 + n, at + 8 + size, 1)
            elif cid == 0x1100 and depth == 1:
                n = struct.unpack_from("<H", data, at + 8)[0]
                bank = at + 10 + n
                name = struct.unpack_from("<H", data, bank + 4)[0]
                count_at = bank + 4 + 2 + name + 4
                count = struct.unpack_from("<I", data, count_at)[0]
                found.append((f"count@{count_at - start}", count_at))
                for i in range(count):
                    found.append((f"record{i}@{count_at + 4 + 4 * i - start}", count_at + 4 + 4 * i))
            at += 8 + size

    walk(start, len(data), 0)
    return found


def main():
    data = open(sys.argv[1], "rb").read()
    out = sys.argv[2]
    os.makedirs(out, exist_ok=True)
    at = data.find(MARKER)
    start = struct.unpack_from("<I", data, at + len(MARKER))[0]
    if at < 0 or start == 0:
        sys.exit("damage-package: no package in " + sys.argv[1])
    copies = {}
    size = len(data) - start
    for i in range(10):
        keep = start + size * i // 10 + (7 if i == 0 else 0)
        copies[f"cut-{i}"] = data[:keep]
    found = words(data, start)
    rng = random.Random(39)
    for i in range(20):
        what, pos = rng.choice(found)
        copy = bytearray(data)
        copy[pos + rng.choice((2, 3))] ^= 1 << rng.randrange(8)
        copies[f"flip-{i}-{what}"] = bytes(copy)
    for what, pos in found:
        if what.startswith("record"):
            copy = bytearray(data)
            struct.pack_into("<I", copy, pos, len(data))
            copies[f"{what}-past-end"] = bytes(copy)
            continue
        for word in (0xFFFFFFFF, 0x7FFFFFF0, 0x80000000):
            copy = bytearray(data)
            struct.pack_into("<I", copy, pos, word)
            copies[f"size-{what}-{word:08x}"] = bytes(copy)
    for name, copy in copies.items():
        with open(os.path.join(out, name + ".exe"), "wb") as f:
            f.write(copy)
    print(len(copies))


main()

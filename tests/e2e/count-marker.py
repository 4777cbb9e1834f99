#!/usr/bin/env python3
"""The runtime executable holds its package record exactly once, unpatched."""
import struct
import sys

MARKER = b"\x8fTW-PACKAGE-AT\x1a\x00"

data = open(sys.argv[1], "rb").read()
count = data.count(MARKER)
if count != 1:
    sys.exit(f"package record marker found {count} times, expected once")
at = data.find(MARKER)
offset, check = struct.unpack_from("<II", data, at + len(MARKER))
if offset != 0 or check != 0xFFFFFFFF:
    sys.exit(f"unpacked runtime carries package word {offset:#x}/{check:#x}")
print("package record: once, unpatched")

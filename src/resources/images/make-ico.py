#!/usr/bin/env python3
"""Joins PNG renderings into a Windows icon (PNG entries, read since Vista).
Usage: make-ico.py OUTPUT.ico INPUT.png ..."""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG")
    return struct.unpack(">II", data[16:24])


images = [open(name, "rb").read() for name in sys.argv[2:]]
header = struct.pack("<HHH", 0, 1, len(images))
offset = len(header) + 16 * len(images)
entries, blobs = b"", b""
for data in images:
    width, height = png_size(data)
    entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
    blobs += data
open(sys.argv[1], "wb").write(header + entries + blobs)

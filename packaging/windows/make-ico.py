#!/usr/bin/env python3
"""Writes one Windows icon file holding the given square PNG images as they are.

usage: make-ico.py OUT.ico IMAGE.png...
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("make-ico: not a PNG image")
    return struct.unpack(">II", data[16:24])


def main(out, images):
    blobs = [open(path, "rb").read() for path in images]
    header = struct.pack("<HHH", 0, 1, len(blobs))
    offset = len(header) + 16 * len(blobs)
    entries = b""
    for blob in blobs:
        width, height = png_size(blob)
        # 256 pixels is written as 0: the field is one byte.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(blob),
                               offset)
        offset += len(blob)
    with open(out, "wb") as ico:
        ico.write(header + entries + b"".join(blobs))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2:])

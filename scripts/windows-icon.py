#!/usr/bin/env python3
"""Packs the PNG icons of packaging/icons/ into one Windows .ico file, for the programs' resources.

Usage: scripts/windows-icon.py OUTPUT.ico ICON.png...   (the build runs it; each PNG is square)

Every image goes in as the PNG it is, which Windows takes in icons since Vista: the icon shows
exactly the pixels installed for the Linux desktops.
"""
import struct
import sys


def png_side(data, path):
    # The IHDR chunk follows the 8-byte signature: length, type, width, height.
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"windows-icon: {path} is not a PNG")
    width, height = struct.unpack(">II", data[16:24])
    if width != height or not 1 <= width <= 256:
        sys.exit(f"windows-icon: {path} is {width} x {height}, not a square of at most 256")
    return width


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    images = []
    for path in sys.argv[2:]:
        with open(path, "rb") as f:
            data = f.read()
        images.append((png_side(data, path), data))
    images.sort(key=lambda image: image[0])

    # ICONDIR, then one ICONDIRENTRY per image, then the images. A side of 256 is written as 0.
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for side, data in images:
        entries += struct.pack("<BBBBHHII", side % 256, side % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(header + entries + b"".join(data for _, data in images))


main()

#!/usr/bin/env python3
"""Renders arrasto-icon.svg into arrasto.ico, the icon of the Windows programs.

Run by hand after changing the picture (needs rsvg-convert, from Debian's
librsvg2-bin); the build uses the committed arrasto.ico and needs neither.
Each size is stored as a PNG image, which Windows reads since Vista.
"""
import pathlib
import struct
import subprocess

SIZES = (16, 24, 32, 48, 64, 256)
here = pathlib.Path(__file__).resolve().parent
images = [
    subprocess.run(["rsvg-convert", "-w", str(n), "-h", str(n), str(here / "arrasto-icon.svg")],
                   check=True, capture_output=True).stdout
    for n in SIZES
]
# ICONDIR, then one ICONDIRENTRY per image (a width or height of 256 is
# written as 0), then the images themselves.
out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for n, png in zip(SIZES, images):
    out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(png), offset)
    offset += len(png)
(here / "arrasto.ico").write_bytes(out + b"".join(images))

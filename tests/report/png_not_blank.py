"""png_not_blank.py FILE: exits 0 when FILE is a PNG with something drawn on it.

A blank page compresses to rows of one value; a rendered report has text,
bars and lines in many shades. Counts the distinct bytes of the image's
filtered rows (standard library only)."""
import struct
import sys
import zlib

data = open(sys.argv[1], "rb").read()
if data[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit("not a PNG")
at, idat, size = 8, b"", None
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + length]
    if kind == b"IHDR":
        size = struct.unpack(">II", body[:8])
    elif kind == b"IDAT":
        idat += body
    at += 12 + length
rows = zlib.decompress(idat)
shades = len(set(rows))
print(f"{size[0]}x{size[1]}, {shades} distinct byte values")
sys.exit(0 if size and size[0] >= 800 and shades > 40 else 1)

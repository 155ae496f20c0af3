"""Prints the share of pixels of a PNG image (8-bit RGB or RGBA, not
interlaced) that differ from its top-left pixel, as a number from 0 to 1:
0 for a blank image.

Usage: png_ink.py <image.png>
"""
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def main():
    data = open(sys.argv[1], "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG file"
    at, compressed = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, color, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and color in (2, 6) and interlace == 0, "unsupported PNG"
        elif kind == b"IDAT":
            compressed += body
        at += 12 + length
    size = 3 if color == 2 else 4
    raw = zlib.decompress(compressed)
    stride = width * size
    previous = bytearray(stride)
    background, differing = None, 0
    for row in range(height):
        start = row * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - size] if i >= size else 0
            up = previous[i]
            corner = previous[i - size] if i >= size else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                line[i] = (line[i] + paeth(left, up, corner)) & 255
        if background is None:
            background = bytes(line[0:3])
        for i in range(0, stride, size):
            if bytes(line[i:i + 3]) != background:
                differing += 1
        previous = line
    print("%.4f" % (differing / float(width * height)))


main()

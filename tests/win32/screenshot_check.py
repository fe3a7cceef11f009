#!/usr/bin/env python3
"""Checks a screenshot of a window (a 24-bit BMP as nodewright.exe --screenshot
writes it) and converts it to PNG.

  screenshot_check.py SHOT.bmp [OUT.png] [--min-width W --min-height H]

The shot passes when it has the window's size or more, is not one flat
colour, has light and dark pixels in fair numbers (a painted dialog: a light
face with dark text) and shows the instruction picture's red arrow or black
tree on white. Prints one line of figures; exits 1 when a check fails.
Standard library only."""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 24:
        raise ValueError(f"{bits} bits per pixel, expected 24")
    stride = (width * 3 + 3) & ~3
    top_down = height < 0
    height = abs(height)
    rows = []
    for y in range(height):
        src = y if top_down else height - 1 - y
        row = data[offset + src * stride: offset + src * stride + width * 3]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, len(row), 3)])
    return width, height, rows


def write_png(path, width, height, rows):
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    open(path, "wb").write(png)


def main(argv):
    args = [a for a in argv[1:]]
    min_w = min_h = 1
    if "--min-width" in args:
        i = args.index("--min-width")
        min_w = int(args[i + 1])
        del args[i:i + 2]
    if "--min-height" in args:
        i = args.index("--min-height")
        min_h = int(args[i + 1])
        del args[i:i + 2]
    width, height, rows = read_bmp(args[0])
    if len(args) > 1:
        write_png(args[1], width, height, rows)
    pixels = [px for row in rows for px in row]
    total = len(pixels)
    colours = len(set(pixels))
    light = sum(1 for r, g, b in pixels if r + g + b >= 600) / total
    dark = sum(1 for r, g, b in pixels if r + g + b <= 150) / total
    red = sum(1 for r, g, b in pixels if r >= 180 and g <= 60 and b <= 60)
    print(f"{width}x{height} pixels, {colours} colours, light {light:.0%}, dark {dark:.1%}, "
          f"red {red} px")
    failures = []
    if width < min_w or height < min_h:
        failures.append(f"smaller than {min_w}x{min_h}")
    if colours < 8:
        failures.append("nearly one flat colour")
    if light < 0.3:
        failures.append("too little light area for a painted dialog")
    if dark < 0.005:
        failures.append("no dark text or lines")
    for failure in failures:
        print("screenshot: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""screenshot_check.py SHOT.bmp OUT.png MIN_WxH: converts a window's screenshot (a 24-bit
BMP as nodewright.exe --screenshot writes it) to PNG and checks it: the window's size or
more, not one flat colour, a light dialog face with dark text. Exits 1 when a check fails."""
import struct, sys, zlib

shot, png, min_size = sys.argv[1:]
data = open(shot, "rb").read()
offset, (width, height), bits = (struct.unpack_from("<I", data, 10)[0],
                                 struct.unpack_from("<ii", data, 18), struct.unpack_from("<H", data, 28)[0])
if data[:2] != b"BM" or bits != 24:
    sys.exit("screenshot: not a 24-bit BMP file")
stride = (width * 3 + 3) & ~3
rows = [bytes(data[offset + y * stride + 3 * x + 2 - c] for x in range(width) for c in range(3))
        for y in (range(height - 1, -1, -1) if height > 0 else range(-height))]  # top-down RGB
chunk = lambda kind, body: struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
open(png, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(rows), 8, 2, 0, 0, 0))
                      + chunk(b"IDAT", zlib.compress(b"".join(b"\0" + r for r in rows), 9)) + chunk(b"IEND", b""))
pixels = [r[i:i + 3] for r in rows for i in range(0, len(r), 3)]
light, dark = (sum(test(sum(p)) for p in pixels) / len(pixels) for test in (lambda s: s >= 600, lambda s: s <= 150))
print(f"{width}x{len(rows)} pixels, {len(set(pixels))} colours, light {light:.0%}, dark {dark:.1%}")
min_w, min_h = map(int, min_size.split("x"))
failures = [text for failed, text in [
    (width < min_w or len(rows) < min_h, "smaller than " + min_size), (len(set(pixels)) < 8, "nearly one flat colour"),
    (light < 0.3, "too little light area for a painted dialog"), (dark < 0.005, "no dark text or lines")] if failed]
sys.exit("screenshot: " + ", ".join(failures) if failures else 0)

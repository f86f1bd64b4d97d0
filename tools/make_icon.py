#!/usr/bin/env python3
"""Draws the program's icon (a shield with a check mark) and writes app/sumwarden.ico with
images of 256, 48, 32, 24 and 16 pixels square at 32 bits per pixel. Run it again after
changing the drawing; the .ico is kept in the repository."""
import math
import struct
import sys
import zlib

SIZES = [256, 48, 32, 24, 16]
SUPER = 4  # samples per pixel edge


def half_width(y):
    """Half the shield's width at height y (0 top, 1 bottom), or None outside it."""
    if y < 0.07 or y > 0.95:
        return None
    if y < 0.13:  # rounded top corners
        return 0.36 - (0.06 - math.sqrt(max(0.0, 0.0036 - (0.13 - y) ** 2)))
    if y < 0.52:
        return 0.36
    t = (y - 0.52) / 0.43
    return 0.36 * math.sqrt(max(0.0, 1 - t * t)) * (1 - 0.25 * t)


def on_check(x, y):
    """Inside the check mark's stroke."""
    pts = [(0.31, 0.50), (0.45, 0.65), (0.71, 0.33)]
    width = 0.075
    for (ax, ay), (bx, by) in zip(pts, pts[1:]):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        if math.hypot(x - ax - t * dx, y - ay - t * dy) <= width:
            return True
    return False


def sample(x, y):
    hw = half_width(y)
    if hw is None or abs(x - 0.5) > hw:
        return (0, 0, 0, 0)
    inner = half_width(y + 0.035) if y + 0.035 <= 0.95 else None
    if inner is None or abs(x - 0.5) > hw - 0.035 or y < 0.105:
        return (245, 248, 252, 255)  # the rim
    if on_check(x, y):
        return (255, 255, 255, 255)
    # Blue, lighter at the top.
    k = y
    return (int(52 - 20 * k), int(120 - 40 * k), int(200 - 50 * k), 255)


def render(size):
    pixels = []
    n = size * SUPER
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    r, g, b, a = sample((px * SUPER + sx + 0.5) / n, (py * SUPER + sy + 0.5) / n)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            a = acc[3]
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((acc[0] // a, acc[1] // a, acc[2] // a, a // (SUPER * SUPER)))
        pixels.append(row)
    return pixels


def png(size, pixels):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(size, pixels):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + xor + b"\0" * (mask_row * size)


def main(out):
    images = []
    for size in SIZES:
        pixels = render(size)
        images.append((size, png(size, pixels) if size >= 256 else dib(size, pixels)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    data += b"".join(blob for _, blob in images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/sumwarden.ico")

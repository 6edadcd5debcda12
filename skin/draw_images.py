#!/usr/bin/env python3
"""Draws the skin's small images (check boxes) as PNG files; run after changing the artwork."""
import math
import os
import struct
import zlib

SCALE = 4  # supersampling for smooth edges


def write_png(path, width, height, pixels):
    raw = b"".join(b"\x00" + bytes(pixels[y * width * 4:(y + 1) * width * 4]) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def render(size, shade):
    """shade(x, y) -> (r, g, b, a) in a size x size box, sampled SCALE^2 times per pixel."""
    pixels = []
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SCALE):
                for sx in range(SCALE):
                    r, g, b, a = shade(px + (sx + 0.5) / SCALE, py + (sy + 0.5) / SCALE)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SCALE * SCALE
            alpha = acc[3] / n
            if alpha > 0:
                pixels += [round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(alpha * 255)]
            else:
                pixels += [0, 0, 0, 0]
    return pixels


def rounded_box_distance(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return math.hypot(x - cx, y - cy) - radius


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def check_off(x, y):
    d = rounded_box_distance(x, y, 1, 1, 15, 15, 3)
    if d <= 0 and d > -1.2:
        return (0x9A, 0xA3, 0xB2, 1)
    if d <= -1.2:
        return (0xFF, 0xFF, 0xFF, 1)
    return (0, 0, 0, 0)


def check_on(x, y):
    d = rounded_box_distance(x, y, 1, 1, 15, 15, 3)
    if d > 0:
        return (0, 0, 0, 0)
    tick = min(segment_distance(x, y, 4.2, 8.2, 7.0, 11.0), segment_distance(x, y, 7.0, 11.0, 12.0, 5.0))
    if tick < 1.1:
        return (0xFF, 0xFF, 0xFF, 1)
    return (0x3D, 0x7E, 0xFF, 1)


if __name__ == "__main__":
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Zandrel", "images")
    os.makedirs(folder, exist_ok=True)
    write_png(os.path.join(folder, "check_off.png"), 16, 16, render(16, check_off))
    write_png(os.path.join(folder, "check_on.png"), 16, 16, render(16, check_on))

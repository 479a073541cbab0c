#!/usr/bin/env python3
"""Draws the start-up splash image and makes its sound: resources/startup/splash.png (a wire cube
over a dark gradient with the name in block letters) and splash.wav (a short two-note chime).
Standard library only; run it again to regenerate both files."""
import math
import os
import struct
import wave
import zlib

W, H = 960, 540
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "startup")

# 5x7 block letters of the name, one string per row ('#' = filled).
LETTERS = {
    "k": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "i": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "r": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "t": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "o": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
}


def draw_line(px, x0, y0, x1, y1, colour, width=3):
    steps = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
    for s in range(steps + 1):
        x = x0 + (x1 - x0) * s / steps
        y = y0 + (y1 - y0) * s / steps
        for dx in range(-width // 2, width // 2 + 1):
            for dy in range(-width // 2, width // 2 + 1):
                xi, yi = int(x) + dx, int(y) + dy
                if 0 <= xi < W and 0 <= yi < H:
                    px[yi][xi] = colour


def image():
    px = [[(int(20 + 30 * y / H), int(22 + 34 * y / H), int(30 + 50 * y / H)) for _ in range(W)] for y in range(H)]
    # An isometric wire cube above the name.
    cx, cy, s = W // 2, 205, 80
    corners = {}
    for i, (x, y, z) in enumerate([(a, b, c) for a in (-1, 1) for b in (-1, 1) for c in (-1, 1)]):
        corners[(x, y, z)] = (cx + (x - z) * s * 0.866, cy + (x + z) * s * 0.5 - y * s)
    for a, pa in corners.items():
        for b, pb in corners.items():
            if sum(1 for i in range(3) if a[i] != b[i]) == 1 and a < b:
                draw_line(px, *pa, *pb, (230, 160, 60))
    # The name in block letters below it.
    cell, gap = 14, 2
    text = "kirto"
    total = len(text) * (5 * cell + cell) - cell
    left, top = (W - total) // 2, 395
    for n, ch in enumerate(text):
        for r, row in enumerate(LETTERS[ch]):
            for c, bit in enumerate(row):
                if bit != "#":
                    continue
                x0 = left + n * 6 * cell + c * cell
                y0 = top + r * cell
                for y in range(y0, y0 + cell - gap):
                    for x in range(x0, x0 + cell - gap):
                        px[y][x] = (235, 235, 240)
    return px


def write_png(path, px):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in px)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_wav(path, rate=22050):
    frames = bytearray()
    for i in range(int(rate * 1.4)):
        t = i / rate
        v = 0.0
        for start, freq in ((0.0, 523.25), (0.18, 783.99)):   # C5, then G5
            if t >= start:
                u = t - start
                v += 0.35 * math.sin(2 * math.pi * freq * u) * math.exp(-3.0 * u)
        frames += struct.pack("<h", int(max(-1.0, min(1.0, v)) * 32767))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    write_png(os.path.join(OUT, "splash.png"), image())
    write_wav(os.path.join(OUT, "splash.wav"))

#!/usr/bin/env python3
"""Draws the setup window's background (bitmap 129: 640x480, 8 bits per pixel, 256-colour
palette, uncompressed) and the program icon (icon 128: 32x32, 16 colours), with no library
beyond Python's own. Run it from anywhere; it writes Setup.bmp and Setup.ico beside itself.

The buttons sit at x 170 to 430, y 120 to 340 of the window: that area stays clear."""

import math
import os
import struct

W, H = 640, 480
HERE = os.path.dirname(os.path.abspath(__file__))

# A 5x7 pixel font for the few words the picture carries.
FONT = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'P': ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    'W': ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    'X': ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    'Y': ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    '0': ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    '1': ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    '2': ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    '3': ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    '4': ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    '5': ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    '6': ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    '7': ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    '8': ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    '9': ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    "'": ["00100", "00100", "01000", "00000", "00000", "00000", "00000"],
    '.': ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    '/': ["00001", "00010", "00010", "00100", "01000", "01000", "10000"],
    '-': ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    ' ': ["00000"] * 7,
}

# Palette: 0-127 the background (deep blue to night teal), 128-191 the sound waves (teal to
# cyan), 192-223 the lettering (silver to white), 224-255 the panel behind the buttons.
palette = []
for i in range(128):
    t = i / 127
    palette.append((int(10 + 10 * t), int(18 + 60 * t), int(60 + 70 * t)))
for i in range(64):
    t = i / 63
    palette.append((int(20 + 90 * t), int(110 + 130 * t), int(150 + 105 * t)))
for i in range(32):
    t = i / 31
    palette.append((int(150 + 105 * t), int(165 + 90 * t), int(185 + 70 * t)))
for i in range(32):
    t = i / 31
    palette.append((int(24 + 40 * t), int(48 + 50 * t), int(96 + 60 * t)))

pixels = bytearray(W * H)


def put(x, y, index):
    if 0 <= x < W and 0 <= y < H:
        pixels[y * W + x] = index


def background():
    for y in range(H):
        for x in range(W):
            # A diagonal sweep with a soft glow to the upper left.
            d = math.hypot(x - 120, y - 60) / 720
            t = max(0.0, min(1.0, 0.85 - d + 0.15 * (y / H)))
            pixels[y * W + x] = int(t * 127)


def waves():
    # Sound waves rising from the lower left and falling away to the right, clear of the panel.
    for k in range(5):
        for x in range(W):
            if 140 <= x <= 460:
                continue
            base = 400 - 14 * k
            amplitude = 26 - 4 * k
            y = base + amplitude * math.sin(x / (38 + 6 * k) + k)
            shade = 128 + 63 - 11 * k
            for dy in range(2):
                put(x, int(y) + dy, shade)
    # Speaker rings on the right.
    cx, cy = 560, 230
    for r in range(18, 90, 14):
        for a in range(-60, 61):
            ang = math.radians(a)
            put(int(cx - 60 + r * math.cos(ang)), int(cy + r * math.sin(ang)), 150 + r // 3)
    for y in range(cy - 16, cy + 17):
        for x in range(cx - 84, cx - 68):
            put(x, y, 200)
    for y in range(cy - 34, cy + 35):
        span = int((abs(y - cy) / 34) * 0 + (34 - abs(y - cy)) * 0.6)
        for x in range(cx - 68, cx - 60 + span // 3):
            put(x, y, 206)


def panel():
    # A quiet panel behind the buttons with a thin light border.
    x0, y0, x1, y1 = 150, 104, 450, 356
    for y in range(y0, y1):
        for x in range(x0, x1):
            t = (y - y0) / (y1 - y0)
            pixels[y * W + x] = 224 + int(t * 31)
    for x in range(x0, x1):
        put(x, y0, 215)
        put(x, y1 - 1, 196)
    for y in range(y0, y1):
        put(x0, y, 215)
        put(x1 - 1, y, 196)


def text(x, y, words, scale, shade, shadow=True):
    for ch in words:
        glyph = FONT[ch]
        for row, bits in enumerate(glyph):
            for col, bit in enumerate(bits):
                if bit == '1':
                    for dy in range(scale):
                        for dx in range(scale):
                            if shadow:
                                put(x + col * scale + dx + 2, y + row * scale + dy + 2, 4)
                            put(x + col * scale + dx, y + row * scale + dy, shade)
        x += 6 * scale


def width(words, scale):
    return len(words) * 6 * scale - scale


background()
waves()
panel()
title = "ORVANTA"
text((W - width(title, 7)) // 2, 18, title, 7, 223)
subtitle = "AUDIO DRIVER SETUP"
text((W - width(subtitle, 3)) // 2, 74, subtitle, 3, 210)
models = "ORV6490 - ORV6430 - ORV5970 AC'97"
text((W - width(models, 2)) // 2, 372, models, 2, 205)
systems = "WINDOWS 95 / 98 / 98 SE / ME / NT 4.0 / 2000 / XP"
text((W - width(systems, 2)) // 2, 448, systems, 2, 198)

with open(os.path.join(HERE, "Setup.bmp"), "wb") as f:
    header_size = 14 + 40 + 256 * 4
    f.write(struct.pack("<2sIHHI", b"BM", header_size + W * H, 0, 0, header_size))
    f.write(struct.pack("<IiiHHIIiiII", 40, W, H, 1, 8, 0, W * H, 2835, 2835, 256, 256))
    for r, g, b in palette:
        f.write(struct.pack("<BBBB", b, g, r, 0))
    for y in range(H - 1, -1, -1):
        f.write(pixels[y * W:(y + 1) * W])

# The icon: a loudspeaker with two sound arcs, in the 16 standard colours.
ICON_COLOURS = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
                (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
                (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
icon = [[None] * 32 for _ in range(32)]
for y in range(4, 28):
    for x in range(3, 29):
        if (x - 15.5) ** 2 / 190 + (y - 15.5) ** 2 / 150 <= 1:
            icon[y][x] = 4  # navy disc
for y in range(12, 20):
    for x in range(7, 12):
        icon[y][x] = 15
for y in range(8, 24):
    reach = 12 + (8 - abs(y - 15.5)) * 0.6
    for x in range(11, int(reach) + 1):
        icon[y][x] = 15
for r, colour in ((6, 14), (10, 14)):
    for a in range(-55, 56, 3):
        ang = math.radians(a)
        x = int(16 + r * math.cos(ang))
        y = int(15.5 + r * math.sin(ang))
        icon[y][x] = colour
        icon[y][min(31, x + 1)] = colour
with open(os.path.join(HERE, "Setup.ico"), "wb") as f:
    xor = bytearray()
    mask = bytearray()
    for y in range(31, -1, -1):
        row = icon[y]
        for x in range(0, 32, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append((a << 4) | b)
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += bits.to_bytes(4, "big")
    image = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image += b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in ICON_COLOURS)
    image += bytes(xor) + bytes(mask)
    f.write(struct.pack("<HHH", 0, 1, 1))
    f.write(struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16))
    f.write(image)

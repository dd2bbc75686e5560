#!/usr/bin/env python3
"""Writes zodovu.ico: a film strip with two frames of a landscape, as a 32x32
and a 16x16 image of 16 colours (4 bits a pixel) each.

Run from anywhere; the icon is written beside this script:
    python3 ui/res/make-icon.py
"""
import os
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GRAY, WHITE, SKY, GRASS, SUN, HILL = 0, 8, 15, 14, 2, 11, 10
CLEAR = None  # transparent


def film_strip(size):
    """Rows of palette indexes (None where the icon is transparent), top row first."""
    u = size // 16  # 2 on the large image, 1 on the small one
    pixels = [[CLEAR] * size for _ in range(size)]
    top, bottom = 2 * u, size - 2 * u  # the strip runs across the whole width
    for y in range(top, bottom):
        for x in range(size):
            pixels[y][x] = BLACK
    # Sprocket holes along both edges.
    for y in list(range(top + u // 2, top + u // 2 + u)) + \
            list(range(bottom - u // 2 - u, bottom - u // 2)):
        for x in range(size):
            if (x // u) % 2 == 1:
                pixels[y][x] = WHITE
    # Two frames: sky, a hill and a sun that has moved on in the second one.
    frame_top, frame_bottom = top + 3 * u, bottom - 3 * u
    gap = max(u // 2, 1)
    for index, (left, right) in enumerate(((u, 8 * u - gap), (8 * u + gap, 15 * u))):
        height = frame_bottom - frame_top
        for y in range(frame_top, frame_bottom):
            for x in range(left, right):
                fx, fy = x - left, y - frame_top
                colour = SKY
                if fy >= height * 2 // 3:
                    colour = GRASS
                elif fy >= height // 3 and abs(fx - (right - left) // 2) < fy - height // 3 + 1:
                    colour = HILL
                pixels[y][x] = colour
        sun_x = left + (u if index == 0 else (right - left) - 2 * u)
        for y in range(frame_top + u // 2, frame_top + u // 2 + u):
            for x in range(sun_x, sun_x + u):
                pixels[y][x] = SUN
    # Frame borders in dark grey on the large image.
    if u > 1:
        for y in range(top, bottom):
            for x in (size // 2 - 1, size // 2):
                if pixels[y][x] == BLACK:
                    pixels[y][x] = DARK_GRAY
    return pixels


def icon_image(size):
    """One icon image: header, palette, colour bits and mask, rows bottom-up."""
    pixels = film_strip(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor_bits, and_bits = b'', b''
    for row in reversed(pixels):
        line = bytearray(xor_stride)
        mask = bytearray(and_stride)
        for x, colour in enumerate(row):
            if colour is None:
                mask[x // 8] |= 0x80 >> (x % 8)
                colour = 0
            line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor_bits += bytes(line)
        and_bits += bytes(mask)
    return header + palette + xor_bits + and_bits


def main():
    images = [icon_image(32), icon_image(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    out += b''.join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'zodovu.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Reads the program's icon file with a reader of its own (no ImageMagick,
which drew it) and checks it as Windows will load it: an icon directory with
a 16 by 16 and a 32 by 32 entry, each a 32-bit BI_RGB DIB of twice the height
(colour rows, then the AND mask), sizes and offsets that add up, an AND mask
that agrees with the alpha channel pixel for pixel, and a real picture: a
transparent surround, an opaque shell with a dark rim and a light pearl in
the middle, the same shape at both sizes.

usage: check_icon.py ICON.ico
"""
import struct
import sys


def read_icon(data):
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    assert (reserved, kind) == (0, 1), f'not an icon directory: reserved {reserved}, type {kind}'
    images = {}
    end = 6 + 16 * count
    spans = []
    for i in range(count):
        w, h, colours, res, planes, bits, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        w, h = w or 256, h or 256
        assert (colours, res, planes, bits) == (0, 0, 1, 32), f'entry {i}: colours {colours} planes {planes} bits {bits}'
        assert offset >= end and offset + size <= len(data), f'entry {i}: image outside the file'
        spans.append((offset, offset + size))
        images[(w, h)] = read_dib(data[offset:offset + size], w, h)
    spans.sort()
    for (a0, a1), (b0, b1) in zip(spans, spans[1:]):
        assert a1 <= b0, 'images overlap'
    assert spans[0][0] == end and spans[-1][1] == len(data), 'gaps before or after the images'
    return images


def read_dib(dib, w, h):
    header = struct.unpack_from('<IiiHHIIiiII', dib, 0)
    size, width, height, planes, bits, compression = header[:6]
    assert (size, width, height, planes, bits, compression) == (40, w, 2 * h, 1, 32, 0), f'{w}x{h}: header {header}'
    mask_stride = (w + 31) // 32 * 4
    assert len(dib) == 40 + w * h * 4 + mask_stride * h, f'{w}x{h}: {len(dib)} bytes'
    pixels = [[None] * w for _ in range(h)]
    for row in range(h):  # bottom-up
        y = h - 1 - row
        for x in range(w):
            b, g, r, a = dib[40 + (row * w + x) * 4:40 + (row * w + x) * 4 + 4]
            masked = dib[40 + w * h * 4 + row * mask_stride + x // 8] >> (7 - x % 8) & 1
            pixels[y][x] = (r, g, b, a, masked)
    return pixels


def check_picture(pixels, n):
    failures = []
    opaque = 0
    for y in range(n):
        for x in range(n):
            r, g, b, a, masked = pixels[y][x]
            if a not in (0, 255):
                failures.append(f'{n}px ({x},{y}): partial alpha {a}')
            if masked != (a == 0):
                failures.append(f'{n}px ({x},{y}): AND mask {masked} but alpha {a}')
            opaque += a == 255
    for x, y in ((0, 0), (n - 1, 0), (0, n - 1), (n - 1, n - 1)):
        if pixels[y][x][3] != 0:
            failures.append(f'{n}px: corner ({x},{y}) is not transparent')
    if not 0.4 * n * n <= opaque <= 0.95 * n * n:
        failures.append(f'{n}px: {opaque} opaque pixels of {n * n}')
    r, g, b, a, _ = pixels[n // 2 + 1][n // 2]
    if a != 255 or min(r, g, b) < 0xE0:
        failures.append(f'{n}px: centre is not the light pearl: {(r, g, b, a)}')
    dark = sum(1 for row in pixels for (r, g, b, a, _) in row if a == 255 and max(r, g, b) < 0x80)
    if dark < 2 * n:
        failures.append(f'{n}px: only {dark} dark rim pixels')
    return failures


def main():
    images = read_icon(open(sys.argv[1], 'rb').read())
    assert sorted(images) == [(16, 16), (32, 32)], f'sizes {sorted(images)}'
    failures = check_picture(images[(16, 16)], 16) + check_picture(images[(32, 32)], 32)
    # Same shape at both sizes: the 32-pixel alpha, taken 2 by 2, mostly
    # matches the 16-pixel one.
    small, large = images[(16, 16)], images[(32, 32)]
    agree = sum(1 for y in range(16) for x in range(16)
                if (small[y][x][3] > 0) == (sum(large[2 * y + j][2 * x + i][3] > 0 for i in (0, 1) for j in (0, 1)) >= 2))
    if agree < 0.85 * 256:
        failures.append(f'the two sizes differ in shape: {agree} of 256 pixels agree')
    for f in failures:
        print('FAIL', f)
    print(f'{len(failures)} failures' if failures else 'icon: 16 and 32 pixels checked')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())

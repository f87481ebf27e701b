#!/usr/bin/env python3
"""Checks the sample skins as the program will read them, with a PNG reader
of its own (zlib only), independent of ImageMagick, which drew them:
every surface is an 8-bit RGB PNG whose top-left pixel is a key colour that
leaves a real shape; the texts are Shift_JIS with CR LF; every surface that
an animation file names exists."""
import os
import re
import struct
import sys
import zlib


def read_png(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', f'{path}: not a PNG'
    pos, idat, ihdr = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = struct.unpack('>I', data[pos + 8 + length:pos + 12 + length])[0]
        assert zlib.crc32(kind + body) & 0xffffffff == crc, f'{path}: bad CRC in {kind}'
        if kind == b'IHDR':
            ihdr = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    w, h, depth, colour, _, _, interlace = ihdr
    assert (depth, colour, interlace) == (8, 2, 0), f'{path}: want 8-bit RGB, got depth {depth} type {colour}'
    raw = zlib.decompress(idat)
    stride, rows, prev = w * 3, [], bytearray(w * 3)
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return w, h, rows


def main():
    skin_root = sys.argv[1]
    skins = sorted(d for d in os.listdir(skin_root) if os.path.isdir(os.path.join(skin_root, d)))
    failures = []
    checked = 0
    for skin in skins:
        folder = os.path.join(skin_root, skin)
        try:
            ini = open(os.path.join(folder, 'ostra.ini'), 'rb').read()
            text = ini.decode('cp932')
            assert b'\n' not in ini.replace(b'\r\n', b''), 'ostra.ini: bare line feed'
            assert re.search(r'^title=\S', text, re.M), 'ostra.ini: no title'
            assert any(ord(ch) > 0x3000 for ch in text), 'ostra.ini: no Japanese text'
            assert re.search(r'^category=.+,', text, re.M), 'ostra.ini: no category list'
            open(os.path.join(folder, 'profile.txt'), 'rb').read().decode('cp932')
            surfaces = {}
            for name in os.listdir(folder):
                m = re.fullmatch(r'surface(\d+)\.png', name)
                if not m:
                    continue
                w, h, rows = read_png(os.path.join(folder, name))
                key = rows[0][:3]
                inside = sum(1 for row in rows for x in range(w) if row[x * 3:x * 3 + 3] != key)
                assert 0 < inside < w * h, f'{name}: no shape against key {key.hex()}'
                surfaces[int(m.group(1))] = (w, h)
                checked += 1
            assert 0 in surfaces, 'no surface0.png'
            methods = set()
            for name in os.listdir(folder):
                if not re.fullmatch(r'surface\d+a\.txt', name):
                    continue
                for line in open(os.path.join(folder, name), 'rb').read().decode('cp932').split('\r\n'):
                    m = re.match(r'\d+patt?[eu]rn\d+,(-?\d+),\d+,(\w+)', line)
                    if m:
                        methods.add(m.group(2))
                        n = int(m.group(1))
                        assert n == -1 or n in surfaces or m.group(2) == 'move', f'{name}: names missing surface {n}'
            assert {'overlay', 'base', 'move'} <= methods, f'animations lack one of overlay/base/move: {methods}'
        except AssertionError as e:
            failures.append(f'{skin}: {e}')
    for f in failures:
        print('FAIL', f)
    print(f'{len(skins)} sample skins, {checked} surfaces checked')
    return 1 if failures or len(skins) < 2 else 0


if __name__ == '__main__':
    sys.exit(main())

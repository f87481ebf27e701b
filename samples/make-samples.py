#!/usr/bin/env python3
"""Draws the sample skins' surfaces with ImageMagick and writes each skin
folder as the program reads it: 24-bit PNGs whose top-left pixel is the
background (key) colour, and "ostra.ini", "profile.txt" and the animation
files in Shift_JIS with CR LF.

usage: make-samples.py SOURCE_DIR OUTPUT_SKIN_DIR
"""
import math
import os
import shutil
import subprocess
import sys

MAGENTA = '#FF00FF'
GREEN_KEY = '#00FF00'


def draw(path, size, background, commands):
    """Runs convert with anti-aliasing off, so no pixel blends into the key colour."""
    w, h = size
    args = ['convert', '-size', f'{w}x{h}', f'xc:{background}', '+antialias']
    for c in commands:
        args += c
    args += ['-define', 'png:exclude-chunks=date,time', '+set', 'date:create', '+set', 'date:modify',
             '-type', 'TrueColor', f'PNG24:{path}']
    subprocess.run(args, check=True)


def fill(colour, primitive, stroke='none', width=1):
    return ['-fill', colour, '-stroke', stroke, '-strokewidth', str(width), '-draw', primitive]


def star(cx, cy, outer, inner, points=5, turn=-90):
    pts = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(turn + i * 180 / points)
        pts.append(f'{cx + r * math.cos(a):.0f},{cy + r * math.sin(a):.0f}')
    return 'polygon ' + ' '.join(pts)


def frog_body(eyes='open', mouth='smile', dy=0):
    green, dark, belly = '#3CB043', '#1E5E24', '#A8E06A'
    c = [
        fill(green, f'ellipse 48,{62 + dy} 40,30 0,360', dark, 2),
        fill(belly, f'ellipse 48,{72 + dy} 24,14 0,360'),
        fill(green, f'circle 30,{30 + dy} 30,{16 + dy}', dark, 2),
        fill(green, f'circle 66,{30 + dy} 66,{16 + dy}', dark, 2),
    ]
    if eyes == 'open':
        c += [fill('white', f'circle 30,{30 + dy} 30,{21 + dy}'), fill('white', f'circle 66,{30 + dy} 66,{21 + dy}'),
              fill('black', f'circle 31,{31 + dy} 31,{27 + dy}'), fill('black', f'circle 65,{31 + dy} 65,{27 + dy}')]
    elif eyes == 'wide':
        c += [fill('white', f'circle 30,{30 + dy} 30,{19 + dy}'), fill('white', f'circle 66,{30 + dy} 66,{19 + dy}'),
              fill('black', f'circle 30,{30 + dy} 30,{28 + dy}'), fill('black', f'circle 66,{30 + dy} 66,{28 + dy}')]
    else:
        c += [fill('none', f'line 22,{31 + dy} 38,{31 + dy}', dark, 3), fill('none', f'line 58,{31 + dy} 74,{31 + dy}', dark, 3)]
    c.append(fill('#F4A0B0', f'circle 22,{52 + dy} 22,{47 + dy}'))
    c.append(fill('#F4A0B0', f'circle 74,{52 + dy} 74,{47 + dy}'))
    if mouth == 'smile':
        c.append(fill('none', f'arc 30,{48 + dy} 66,{66 + dy} 20,160', dark, 3))
    elif mouth == 'open':
        c.append(fill('#C0304A', f'ellipse 48,{60 + dy} 10,7 0,360', dark, 2))
    else:
        c.append(fill('none', f'line 40,{60 + dy} 56,{60 + dy}', dark, 3))
    return c


def make_kaeru(out):
    draw(f'{out}/surface0.png', (96, 96), MAGENTA, frog_body())
    # Closed eyelids, drawn over the eyes at (16, 16).
    dark, green = '#1E5E24', '#3CB043'
    draw(f'{out}/surface1.png', (66, 30), MAGENTA, [
        fill(green, 'circle 14,14 14,1', dark, 2), fill(green, 'circle 50,14 50,1', dark, 2),
        fill('none', 'line 6,15 22,15', dark, 3), fill('none', 'line 42,15 58,15', dark, 3)])
    # Hopping: taller, legs stretched below.
    draw(f'{out}/surface2.png', (96, 112), MAGENTA, [
        fill(green, 'ellipse 28,100 10,12 0,360', dark, 2), fill(green, 'ellipse 68,100 10,12 0,360', dark, 2)]
        + frog_body(eyes='wide', mouth='open', dy=-4))
    # A bubble beside the mouth.
    draw(f'{out}/surface3.png', (26, 26), MAGENTA, [
        fill('#9ED8F0', 'circle 13,13 13,1', '#3A8DB8', 2), fill('white', 'circle 9,9 9,5')])
    draw(f'{out}/surface7.png', (96, 96), MAGENTA, frog_body(eyes='wide', mouth='open'))
    draw(f'{out}/surface10.png', (96, 96), MAGENTA, frog_body(eyes='closed', mouth='flat') + [
        # Two small "z" letters drawn as strokes (no fonts needed).
        fill('none', 'polyline 74,10 81,10 74,17 81,17', '#3A4A8A', 2),
        fill('none', 'polyline 84,2 90,2 84,8 90,8', '#3A4A8A', 2)])


def star_face(size, cx, cy, outer, inner, wink=False, surprised=False):
    gold, edge, dark = '#FFD84A', '#C89000', '#5A3A00'
    c = [fill(gold, star(cx, cy, outer, inner), edge, 2)]
    ex, ey, s = outer * 0.28, cy - outer * 0.05, max(2, outer // 12)
    if surprised:
        c += [fill(dark, f'circle {cx - ex:.0f},{ey:.0f} {cx - ex:.0f},{ey - s - 1:.0f}'),
              fill(dark, f'circle {cx + ex:.0f},{ey:.0f} {cx + ex:.0f},{ey - s - 1:.0f}'),
              fill('#C0304A', f'circle {cx:.0f},{cy + outer * 0.3:.0f} {cx:.0f},{cy + outer * 0.3 - s:.0f}')]
        return c
    c.append(fill(dark, f'circle {cx - ex:.0f},{ey:.0f} {cx - ex:.0f},{ey - s:.0f}'))
    if wink:
        c.append(fill('none', f'line {cx + ex - s * 2:.0f},{ey:.0f} {cx + ex + s * 2:.0f},{ey:.0f}', dark, 2))
    else:
        c.append(fill(dark, f'circle {cx + ex:.0f},{ey:.0f} {cx + ex:.0f},{ey - s:.0f}'))
    c.append(fill('none', f'arc {cx - ex:.0f},{cy:.0f} {cx + ex:.0f},{cy + outer * 0.35:.0f} 20,160', dark, 2))
    c.append(fill('#FF9CB0', f'circle {cx - ex * 1.5:.0f},{cy + outer * 0.12:.0f} {cx - ex * 1.5:.0f},{cy + outer * 0.12 - s:.0f}'))
    c.append(fill('#FF9CB0', f'circle {cx + ex * 1.5:.0f},{cy + outer * 0.12:.0f} {cx + ex * 1.5:.0f},{cy + outer * 0.12 - s:.0f}'))
    return c


def make_hoshi(out):
    draw(f'{out}/surface0.png', (80, 80), GREEN_KEY, star_face(80, 40, 42, 38, 16))
    # A sparkle, drawn at the star's corners.
    draw(f'{out}/surface1.png', (18, 18), GREEN_KEY, [
        fill('#FFF6B0', star(9, 9, 9, 2, points=4, turn=0), '#E0B000', 1)])
    draw(f'{out}/surface2.png', (80, 80), GREEN_KEY, star_face(80, 40, 42, 38, 16, wink=True))
    draw(f'{out}/surface3.png', (112, 112), GREEN_KEY, star_face(112, 56, 59, 54, 23))
    draw(f'{out}/surface7.png', (80, 80), GREEN_KEY, star_face(80, 40, 42, 38, 16, surprised=True))


def write_text(src, dst):
    """UTF-8 with LF in the repository; Shift_JIS (code page 932) with CR LF for the program."""
    with open(src, encoding='utf-8') as f:
        text = f.read()
    with open(dst, 'wb') as f:
        f.write(text.replace('\r\n', '\n').replace('\n', '\r\n').encode('cp932'))


def main():
    source, output = sys.argv[1], sys.argv[2]
    makers = {'kaeru': make_kaeru, 'hoshi': make_hoshi}
    for name, make in makers.items():
        out = os.path.join(output, name)
        if os.path.isdir(out):
            shutil.rmtree(out)
        os.makedirs(out)
        make(out)
        for entry in sorted(os.listdir(os.path.join(source, name))):
            if entry.endswith('.ini') or entry.endswith('.txt'):
                write_text(os.path.join(source, name, entry), os.path.join(out, entry))


if __name__ == '__main__':
    main()

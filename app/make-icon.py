#!/usr/bin/env python3
"""Draws the program's icon with ImageMagick: an open oyster shell holding a
pearl, at 16 by 16 and 32 by 32 pixels, each drawn for its own size (a
scaled-down picture would blur at 16 pixels), and writes both into one .ico
file. Anti-aliasing is off, so every pixel is either opaque or fully
transparent and the icon's AND mask says exactly the same as its alpha.

usage: make-icon.py OUTPUT.ico
"""
import os
import subprocess
import sys
import tempfile

SHELL, RIM, INSIDE = '#B58BD0', '#5B2F73', '#F7D3E3'
PEARL, PEARL_EDGE, SHINE = '#F4F4FA', '#8C8CA8', '#FFFFFF'


def fill(colour, primitive, stroke='none', width=1):
    return ['-fill', colour, '-stroke', stroke, '-strokewidth', str(width), '-draw', primitive]


def picture_32():
    return [
        # Upper valve, opened back, with three ridges.
        fill(SHELL, 'ellipse 16,13 14,10 180,360', RIM),
        fill('none', 'line 16,4 16,12', RIM), fill('none', 'line 9,6 12,12', RIM), fill('none', 'line 23,6 20,12', RIM),
        # Lower valve and its pink inside.
        fill(SHELL, 'ellipse 16,17 14,12 0,180', RIM),
        fill(INSIDE, 'ellipse 16,17 11,8 0,180'),
        fill(INSIDE, 'rectangle 3,13 28,17'),
        fill('none', 'line 2,14 29,14', RIM),
        # The pearl and its shine.
        fill(PEARL, 'circle 16,18 16,12', PEARL_EDGE),
        fill(SHINE, 'rectangle 13,15 14,16'),
    ]


def picture_16():
    return [
        fill(SHELL, 'ellipse 8,6 7,5 180,360', RIM),
        fill('none', 'line 8,2 8,5', RIM),
        fill(SHELL, 'ellipse 8,8 7,6 0,180', RIM),
        fill(INSIDE, 'rectangle 2,6 13,8'),
        fill('none', 'line 1,7 14,7', RIM),
        fill(PEARL, 'circle 8,9 8,6', PEARL_EDGE),
        fill(SHINE, 'point 7,8'),
    ]


def draw(path, size, commands):
    args = ['convert', '-size', f'{size}x{size}', 'xc:none', '+antialias']
    for c in commands:
        args += c
    args += ['-define', 'png:exclude-chunks=date,time', f'PNG32:{path}']
    subprocess.run(args, check=True)


def main():
    out = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        small, large = os.path.join(tmp, 'icon16.png'), os.path.join(tmp, 'icon32.png')
        draw(small, 16, picture_16())
        draw(large, 32, picture_32())
        # ImageMagick writes entries below 256 pixels as 32-bit DIBs with an
        # AND mask, the form every Windows version loads.
        subprocess.run(['convert', small, large, out + '.tmp.ico'], check=True)
    os.replace(out + '.tmp.ico', out)


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Builds the skin archives the installation tests drop, with tools that are
not ours: Info-ZIP zip, Python's zipfile (for member names no archiver makes
from a real folder: "..", drives, shares, streams, devices) and gcab.

Usage: make_skin_archives.py OUTDIR
Every archive lands in OUTDIR; the skin folders they were made from stay in
OUTDIR/src, so a test can compare the installed bytes with them."""
import os
import shutil
import struct
import subprocess
import sys
import zipfile

OUT = sys.argv[1]
SRC = os.path.join(OUT, 'src')

# A picture's worth of bytes that compress poorly, and text that compresses well.
NOISE = bytes((i * 7919 + (i >> 3) * 31) & 0xFF for i in range(40000))
SEQ = ''.join('%d\n' % i for i in range(1, 5001)).encode()


def sjis(text):
    return text.encode('cp932')


def tree(name, files):
    """Writes a skin folder: files maps a relative path (bytes, "/") to bytes."""
    root = os.path.join(os.fsencode(SRC), os.fsencode(name))
    for rel, data in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)
    return root


def info_zip(archive, name, files):
    """Info-ZIP zip of a real folder (folder entries included, names as bytes)."""
    root = tree(name, files)
    path = os.path.join(OUT, archive)
    subprocess.run(['zip', '-q', '-r', '-X', os.path.abspath(path), '.'], cwd=root, check=True)
    return path


def py_zip(archive, members):
    """Python's zipfile with the member names exactly as given (str or bytes)."""
    path = os.path.join(OUT, archive)
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in members:
            if isinstance(name, bytes):
                # zipfile writes str names only; cp437 maps every byte to one
                # character and back, so the stored bytes are these.
                name = name.decode('cp437')
            info = zipfile.ZipInfo(name, date_time=(2010, 1, 1, 5, 7, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
    return path


def ini(**keys):
    text = b'[OSTRA]\r\n'
    for k, v in keys.items():
        text += k.encode() + b'=' + (v if isinstance(v, bytes) else v.encode()) + b'\r\n'
    return text


def patch_declared_size(path, member, size):
    """Sets a member's uncompressed size in the central directory, as a
    damaged or hostile archive would declare it."""
    data = bytearray(open(path, 'rb').read())
    p = data.rfind(b'PK\x01\x02')
    while p >= 0:
        n, = struct.unpack_from('<H', data, p + 28)
        if bytes(data[p + 46:p + 46 + n]) == member:
            struct.pack_into('<I', data, p + 24, size)
            break
        p = data.rfind(b'PK\x01\x02', 0, p)
    open(path, 'wb').write(bytes(data))


def main():
    shutil.rmtree(OUT, ignore_errors=True)
    os.makedirs(SRC)

    # Neither "title" nor "extractpath"; members in sub-folders (forward slashes).
    plain = {b'ostra.ini': ini(ghost='G', category='a,b'), b'surface0.png': NOISE,
             b'surface0a.txt': SEQ, b'sub/dir/deep.txt': b'deep\n', b'sub/top.txt': b'top\n'}
    info_zip('plain.zip', 'plain', plain)

    # The same skin as a cabinet; gcab stores "sub\dir\deep.txt".
    root = tree('cabinet', plain)
    names = [n.decode() for n in plain]
    subprocess.run(['gcab', '-c', '-z', os.path.abspath(os.path.join(OUT, 'cabinet.cab'))] + names,
                   cwd=root, check=True)

    # "extractpath" two levels deep, backslash separated as on Windows.
    info_zip('deep.zip', 'deep', {b'ostra.ini': ini(title='Deep', extractpath='outer\\inner'),
                                  b'surface0.png': NOISE})

    # Shift_JIS: a title and target whose bytes hold 0x5C, a member below "ソ".
    info_zip('sjis.zip', 'sjis', {b'ostra.ini': ini(title=sjis('ソフト表'), ghost=sjis('さくら')),
                                  b'surface0.png': NOISE, sjis('ソ') + b'/x.txt': b'so\n'})

    # Three archives dropped at once.
    for n in ('first', 'second', 'third'):
        info_zip(n + '.zip', n, {b'ostra.ini': ini(ghost=n), b'surface0.png': NOISE})

    # Failures.
    info_zip('nobase.zip', 'nobase', {b'ostra.ini': ini(title='NoBase', ghost='G2', category='c'),
                                      b'other.txt': b'other\n'})
    info_zip('noini.zip', 'noini', {b'surface0.png': NOISE, b'readme.txt': b'no definition\n'})
    with open(os.path.join(OUT, 'notarchive.zip'), 'wb') as f:
        f.write(b'This is plain text, not an archive.\r\n' * 20)

    # Members that try to leave the skin's folder, among good ones.
    py_zip('members.zip', [
        ('ostra.ini', ini(title='Members', extractpath='members')),
        ('surface0.png', NOISE),
        ('good.txt', b'good\n'),
        ('ok/../fine.txt', b'fine\n'),
        ('../../escape-up.txt', b'x'),
        ('..\\..\\escape-back.txt', b'x'),
        ('../members2/escape-sibling.txt', b'x'),
        ('sub/../../escape-sub.txt', b'x'),
        ('C:\\escape-drive.txt', b'x'),
        ('C:/escape-drive2.txt', b'x'),
        ('C:escape-relative.txt', b'x'),
        ('/escape-root.txt', b'x'),
        ('\\\\server\\share\\escape-unc.txt', b'x'),
        ('surface0.png:stream', b'x'),
        ('CON', b'x'),
        ('NUL', b'x'),
        ('nul.txt', b'x'),
        ('Com1.log', b'x'),
        ('lpt1', b'x'),
        ('aux.png', b'x'),
        ('prn', b'x'),
        ('dots...', b'dots\n'),
    ])

    # Targets that try to leave the "skin" folder.
    escapes = {
        'up': '..\\..\\outside',
        'sibling': '..\\skin2',
        'drive': 'C:\\outside-drive',
        'unc': '\\\\server\\share',
        'root': '\\outside-root',
        'stream': 'inside:stream',
        'con': 'CON',
        'nul': 'NUL',
        'dotdot': 'a\\..\\..\\skin2',
        'self': '.',
    }
    for name, target in escapes.items():
        py_zip('target-%s.zip' % name, [('ostra.ini', ini(title='T-' + name, extractpath=target)),
                                        ('surface0.png', NOISE), ('x.txt', b'x\n')])

    # Too large: one member more than the limit, and 1 GiB declared in all.
    py_zip('many.zip', [('ostra.ini', ini(extractpath='many')), ('surface0.png', b'p')] +
           [('m/%05d' % i, b'') for i in range(9999)])
    path = py_zip('huge.zip', [('ostra.ini', ini(extractpath='huge')), ('surface0.png', b'p'),
                              ('a.bin', b'a'), ('b.bin', b'b'), ('c.bin', b'c')])
    for member in (b'a.bin', b'b.bin', b'c.bin'):
        patch_declared_size(path, member, 0x16000000)  # 3 x 352 MiB
    # A cabinet whose file table declares 1.25 GiB for one member.
    root = tree('hugecab', {b'ostra.ini': ini(extractpath='hugecab'), b'surface0.png': NOISE, b'big.bin': b'b'})
    path = os.path.join(OUT, 'hugecab.cab')
    subprocess.run(['gcab', '-c', os.path.abspath(path), 'ostra.ini', 'surface0.png', 'big.bin'], cwd=root,
                   check=True)
    data = bytearray(open(path, 'rb').read())
    p, = struct.unpack_from('<I', data, 16)
    count, = struct.unpack_from('<H', data, 28)
    for _ in range(count):
        end = data.index(b'\0', p + 16)
        if bytes(data[p + 16:end]) == b'big.bin':
            struct.pack_into('<I', data, p, 0x50000000)
        p = end + 1
    open(path, 'wb').write(bytes(data))

    # Exactly at the limits: 10,000 members.
    py_zip('limit.zip', [('ostra.ini', ini(extractpath='limit')), ('surface0.png', b'p')] +
           [('m/%05d' % i, b'') for i in range(9998)])


main()

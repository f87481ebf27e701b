#!/usr/bin/env python3
"""Builds the archives the bruna tests read, with tools that are not ours
(Info-ZIP zip, gcab), gathers test cabinets of other projects, and records
what unzip and cabextract say about every one of them.

Writes into OUTDIR:
  zip/*, cab/*     the archives
  ref/<id>/<n>     member n's bytes as `unzip -p` / `cabextract -p` give them
  manifest.txt     one line per archive and per member (tab-separated):
    A  id  relative-path  class  kind    class: good | refused | damaged | special (read by its own test); kind: zip | cab
    M  hex(name)  compressed  uncompressed  year month day hour minute second
       method  attributes  extract(1 = the reference tool extracted it)
Times are the local times the tools print (ZIP: to the minute)."""
import os
import shutil
import struct
import subprocess
import sys

OUT = sys.argv[1]
MSPACK = sys.argv[2]  # libmspack's test/test_files/cabd
GCAB_TESTS = sys.argv[3]  # libgcab's installed tests folder
SRC = os.path.join(OUT, 'src')
manifest = []


def run(args, cwd=None, stdin=None):
    return subprocess.run(args, cwd=cwd, stdin=stdin if stdin is not None else subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def write(path, data):
    root = os.fsencode(SRC) if isinstance(path, bytes) else SRC
    path = os.path.join(root, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
    os.utime(path, (1262304000, 1262304000 + 3600 * 5 + 60 * 7))  # an even, fixed time


def escape_pattern(name):
    out = b''
    for c in name:
        ch = bytes([c])
        if ch in b'[]*?\\':
            out += b'\\'
        out += ch
    return out


def add_zip(ident, path, cls):
    rel = os.path.relpath(path, OUT)
    manifest.append('A\t%s\t%s\t%s\tzip' % (ident, rel, cls))
    if cls == 'refused':
        return
    listing = run(['unzip', '-v', path]).stdout.split(b'\n')
    rows = []
    dashes = [i for i, l in enumerate(listing) if l.startswith(b'--------')]
    if len(dashes) >= 2:
        rows = listing[dashes[0] + 1:dashes[1]]
    os.makedirs(os.path.join(OUT, 'ref', ident), exist_ok=True)
    for n, row in enumerate(rows):
        f = row.split(None, 7)
        length, method, size, _, date, time, _, name = f
        y, mo, d = date.split(b'-')
        h, mi = time.split(b':')
        # Encrypted members are listed but not extracted (the reference
        # is then asked without the password, and fails).
        got = run(['unzip', '-P', '', '-p', path, escape_pattern(name)])
        ok = got.returncode == 0
        if ok:
            with open(os.path.join(OUT, 'ref', ident, str(n)), 'wb') as out:
                out.write(got.stdout)
        manifest.append('M\t%s\t%d\t%d\t%s\t%s\t%s\t%s\t%s\t0\t%s\t0\t%d' % (
            name.hex(), int(size), int(length), y.decode(), mo.decode(), d.decode(), h.decode(), mi.decode(),
            method.decode(), 1 if ok else 0))


def cab_attributes(path):
    """Member attributes from the cabinet's file table (read here with struct)."""
    b = open(path, 'rb').read()
    coff, = struct.unpack_from('<I', b, 16)
    nfiles, = struct.unpack_from('<H', b, 28)
    attrs = {}
    p = coff
    for _ in range(nfiles):
        a, = struct.unpack_from('<H', b, p + 14)
        e = b.index(b'\0', p + 16)
        attrs.setdefault(b[p + 16:e], a)
        p = e + 1
    return attrs


def add_cab(ident, path, cls):
    rel = os.path.relpath(path, OUT)
    manifest.append('A\t%s\t%s\t%s\tcab' % (ident, rel, cls))
    if cls == 'refused':
        return
    listing = run(['cabextract', '-l', path]).stdout.split(b'\n')
    try:
        attrs = cab_attributes(path)
    except Exception:
        attrs = {}
    os.makedirs(os.path.join(OUT, 'ref', ident), exist_ok=True)
    n = 0
    for row in listing:
        parts = row.split(b' | ')
        if len(parts) != 3 or not parts[0].strip().isdigit():
            continue
        size = int(parts[0])
        date, time = parts[1].split()
        d, mo, y = date.split(b'.')
        h, mi, s = time.split(b':')
        # cabextract prints names as UTF-8; names without the cabinet's UTF
        # flag were stored as single bytes.
        text = parts[2].decode('utf-8', 'replace')
        try:
            name = text.encode('latin-1')
        except UnicodeEncodeError:
            name = parts[2]
        got = run(['cabextract', '-q', '-p', '-F', escape_pattern(name), path])
        ok = got.returncode == 0
        if ok:
            with open(os.path.join(OUT, 'ref', ident, str(n)), 'wb') as out:
                out.write(got.stdout)
        manifest.append('M\t%s\t0\t%d\t%s\t%s\t%s\t%s\t%s\t%s\tcab\t%d\t%d' % (
            name.hex(), size, y.decode(), mo.decode(), d.decode(), h.decode(), mi.decode(), s.decode(),
            attrs.get(name, 0) & 0x27, 1 if ok else 0))
        n += 1


def main():
    shutil.rmtree(OUT, ignore_errors=True)
    os.makedirs(os.path.join(OUT, 'zip'))
    os.makedirs(os.path.join(OUT, 'cab'))
    zipdir = os.path.join(OUT, 'zip')
    cabdir = os.path.join(OUT, 'cab')

    # A skin-like tree.
    seq = ''.join('%d\n' % i for i in range(1, 40001)).encode()
    noise = bytes((i * 7919 + (i >> 3) * 31) & 0xFF for i in range(70000))
    write('mixed/ostra.ini', b'[ostra]\r\nname=test\r\n')
    write('mixed/surface0.png', noise)
    write('mixed/dir/sub/seq.txt', seq)
    write('mixed/empty.txt', b'')
    write('mixed/name[1].txt', b'the bracketed one\n')
    write('mixed/name1.txt', b'a pattern would pick me\n')
    write('mixed/q?.txt', b'question\n')
    write('mixed/star*.txt', b'star\n')
    write('mixed/Case.txt', b'upper C\n')
    write('mixed/'.encode() + 'スキン.txt'.encode('cp932'), 'シフトJIS\n'.encode('cp932'))
    write('mixed/'.encode() + 'ソース表示.txt'.encode('cp932'), b'trail byte 0x5C\n')
    m = os.path.join(zipdir, 'mixed.zip')
    run(['zip', '-X', '-q', '-r', m, 'ostra.ini', 'dir', 'empty.txt', 'name[1].txt', 'name1.txt', 'q?.txt',
         'star*.txt', 'Case.txt', 'スキン.txt'.encode('cp932'), 'ソース表示.txt'.encode('cp932')],
        cwd=os.path.join(SRC, 'mixed'))
    run(['zip', '-X', '-q', '-0', m, 'surface0.png'], cwd=os.path.join(SRC, 'mixed'))
    add_zip('mixed', m, 'good')
    for level in ('-1', '-9'):
        z = os.path.join(zipdir, 'level%s.zip' % level)
        run(['zip', '-X', '-q', level, z, 'dir/sub/seq.txt'], cwd=os.path.join(SRC, 'mixed'))
        add_zip('level' + level, z, 'good')

    # Dates around the two-digit year boundary.
    write('dates/y2069.txt', b'2069\n')
    write('dates/y2079.txt', b'2079\n')
    write('dates/y1985.txt', b'1985\n')
    for name, when in (('y2069.txt', '2069-06-15 12:34:56'), ('y2079.txt', '2079-01-02 03:04:00'),
                       ('y1985.txt', '1985-07-08 09:10:12')):
        run(['touch', '-d', when, os.path.join(SRC, 'dates', name)])
    z = os.path.join(zipdir, 'dates.zip')
    run(['zip', '-X', '-q', z, 'y2069.txt', 'y2079.txt', 'y1985.txt'], cwd=os.path.join(SRC, 'dates'))
    add_zip('dates', z, 'good')

    z = os.path.join(zipdir, 'empty.zip')
    write('empty/gone.txt', b'gone\n')
    run(['zip', '-q', z, 'gone.txt'], cwd=os.path.join(SRC, 'empty'))
    run(['zip', '-q', '-d', z, 'gone.txt'])
    manifest.append('A\tempty\t%s\tgood\tzip' % os.path.relpath(z, OUT))

    z = os.path.join(zipdir, 'encrypted.zip')
    run(['zip', '-X', '-q', '-P', 'secret', z, 'ostra.ini'], cwd=os.path.join(SRC, 'mixed'))
    add_zip('encrypted', z, 'good')

    # A member of 300 MiB of zeros, a few hundred KiB compressed.
    z = os.path.join(zipdir, 'bomb.zip')
    with open(os.path.join(OUT, 'zeros'), 'wb') as f:
        f.truncate(300 * 1024 * 1024)
    with open(os.path.join(OUT, 'zeros'), 'rb') as zeros:
        run(['zip', '-X', '-q', z, '-'], stdin=zeros)
    os.unlink(os.path.join(OUT, 'zeros'))
    run(['zip', '-X', '-q', z, 'ostra.ini'], cwd=os.path.join(SRC, 'mixed'))
    manifest.append('A\tbomb\t%s\tspecial\tzip' % os.path.relpath(z, OUT))

    with open(m, 'rb') as f:
        whole = f.read()
    # The second central directory entry's signature broken.
    second = whole.index(b'PK\x01\x02', whole.index(b'PK\x01\x02') + 4)
    broken = whole[:second] + b'PK\x01\x09' + whole[second + 4:]
    for ident, data in (('truncated', whole[:len(whole) // 2]), ('tail-cut', whole[:-10]), ('bad-directory', broken),
                        ('notzip', b'This is plain text, not an archive.\r\n' * 20)):
        p = os.path.join(zipdir, ident + '.zip')
        with open(p, 'wb') as f:
            f.write(data)
        add_zip(ident, p, 'refused')

    for jar in ('commons-cli.jar', 'commons-io.jar'):
        src = os.path.realpath(os.path.join('/usr/share/java', jar))
        if os.path.exists(src):
            dst = os.path.join(zipdir, jar)
            shutil.copyfile(src, dst)
            add_zip(jar, dst, 'good')

    # Cabinets from gcab: stored and MSZIP.
    write('cab/a.txt', b'hello\n')
    write('cab/seq.txt', seq)
    write('cab/surface0.png', noise)
    write('cab/empty.txt', b'')
    write('cab/README.TXT', b'upper case name\n')
    write('cab/name[1].txt', b'bracket\n')
    files = ['a.txt', 'seq.txt', 'surface0.png', 'empty.txt', 'README.TXT', 'name[1].txt']
    for ident, flags in (('gcab-stored', []), ('gcab-mszip', ['-z'])):
        p = os.path.join(cabdir, ident + '.cab')
        run(['gcab', '-c', '-n'] + flags + [p] + files, cwd=os.path.join(SRC, 'cab'))
        add_cab(ident, p, 'good')

    # A cabinet whose a.txt claims 300 MiB: more than the library takes
    # into memory (the file table is patched; the data stays as gcab wrote it).
    data = bytearray(open(os.path.join(cabdir, 'gcab-mszip.cab'), 'rb').read())
    coff, = struct.unpack_from('<I', data, 16)
    assert data[coff + 16:coff + 22] == b'a.txt\0'
    struct.pack_into('<I', data, coff, 300 * 1024 * 1024)
    with open(os.path.join(cabdir, 'bomb.cab'), 'wb') as f:
        f.write(data)
    manifest.append('A\tbomb-cab\tcab/bomb.cab\tspecial\tcab')

    # One file that is both: a cabinet with a ZIP archive behind it, whose
    # offsets zip -A corrects. Each tool reads its own part.
    both = os.path.join(OUT, 'both.zip')
    with open(both, 'wb') as f:
        f.write(open(os.path.join(cabdir, 'gcab-stored.cab'), 'rb').read())
        f.write(open(os.path.join(zipdir, 'dates.zip'), 'rb').read())
    run(['zip', '-A', '-q', both])
    add_zip('both-zip', both, 'good')
    add_cab('both-cab', both, 'good')

    # libmspack's test cabinets. The spanned set names its parts
    # "cabd_multi_basic_ptN.cab": all of them are copied before any is read.
    for name in sorted(os.listdir(MSPACK)):
        if name.startswith('multi_basic_pt'):
            shutil.copyfile(os.path.join(MSPACK, name), os.path.join(cabdir, 'cabd_' + name))
    for name in sorted(os.listdir(MSPACK)):
        if not name.endswith('.cab'):
            continue
        src = os.path.join(MSPACK, name)
        base = name[:-4]
        if base.startswith('multi_basic_pt'):
            dst = os.path.join(cabdir, 'cabd_' + name)
            # Nothing begins in the later parts: they do not open.
            add_cab(base, dst, 'good' if base.endswith('pt1') else 'refused')
            continue
        dst = os.path.join(cabdir, name)
        shutil.copyfile(src, dst)
        if base.startswith(('normal_', 'reserve_')) or base == 'mszip_lzx_qtm':
            add_cab(base, dst, 'good')
        elif base.startswith(('bad_', 'partial_', 'search_')):
            # search_*: a cabinet behind other bytes, which FDI does not look for.
            add_cab(base, dst, 'refused')
        else:
            add_cab(base, dst, 'damaged')

    for name in sorted(os.listdir(GCAB_TESTS)):
        if not name.endswith('.cab'):
            continue
        dst = os.path.join(cabdir, 'gcab-' + name)
        shutil.copyfile(os.path.join(GCAB_TESTS, name), dst)
        add_cab('gcab-' + name[:-4], dst, 'good' if name.startswith('test-') and 'overflow' not in name
                else 'damaged')

    with open(os.path.join(OUT, 'manifest.txt'), 'w') as f:
        f.write('\n'.join(manifest) + '\n')


main()

#!/usr/bin/env python3
"""Makes the benchmark's skin archive with Info-ZIP zip: about 20 MB of
surface images that do not compress (pseudo-random bytes) and animation
texts that do, 300 files in 10 folders.
Usage: make_bench_archive.py OUTDIR   (writes OUTDIR/bench.zip)"""
import os
import random
import shutil
import subprocess
import sys

out = sys.argv[1]
src = os.path.join(out, 'bench')
shutil.rmtree(src, ignore_errors=True)
os.makedirs(src)
rng = random.Random(20261208)
with open(os.path.join(src, 'ostra.ini'), 'wb') as f:
    f.write(b'[OSTRA]\r\ntitle=Bench\r\nextractpath=bench\r\n')
with open(os.path.join(src, 'surface0.png'), 'wb') as f:
    f.write(rng.randbytes(65536))
for i in range(299):
    folder = os.path.join(src, 'part%d' % (i % 10))
    os.makedirs(folder, exist_ok=True)
    if i % 3 == 2:
        data = ''.join('%d,%d,%d\n' % (i, k, k * 7) for k in range(4000)).encode()
    else:
        data = rng.randbytes(rng.randint(70000, 110000))
    with open(os.path.join(folder, 'surface%da.txt' % i if i % 3 == 2 else 'surface%d.png' % i), 'wb') as f:
        f.write(data)
archive = os.path.join(out, 'bench.zip')
if os.path.exists(archive):
    os.remove(archive)
subprocess.run(['zip', '-q', '-r', '-X', os.path.abspath(archive), '.'], cwd=src, check=True)
print(archive, os.path.getsize(archive))

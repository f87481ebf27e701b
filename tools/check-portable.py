#!/usr/bin/env python3
"""Fails when a file of the portable build includes a Windows header.

Reads the native build's compile_commands.json, follows every quoted include
that resolves inside the source tree, and reports each <windows.h>-family
include it finds with the chain that led to it.
"""
import json
import os
import re
import sys

WINDOWS_HEADERS = re.compile(
    r'^\s*#\s*include\s*[<"]\s*(windows|windef|winbase|winuser|wingdi|winnt|winsock2?|ws2tcpip|'
    r'commctrl|commdlg|shellapi|shlobj|mmsystem|objbase|ole2|fdi|tchar|winerror|process|io|direct|'
    r'ddraw|wininet|winreg)\.h\s*[>"]', re.I | re.M)
QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def main():
    db_path, src_root = sys.argv[1], os.path.realpath(sys.argv[2])
    with open(db_path) as f:
        db = json.load(f)
    files = set()
    for entry in db:
        path = os.path.realpath(os.path.join(entry.get('directory', ''), entry['file']))
        if path.startswith(src_root + os.sep) and '/build/' not in path[len(src_root):]:
            files.add(path)
    bad = []
    seen = set()

    def visit(path, chain):
        if path in seen:
            return
        seen.add(path)
        try:
            text = open(path, encoding='utf-8', errors='replace').read()
        except OSError:
            return
        for m in WINDOWS_HEADERS.finditer(text):
            bad.append(' <- '.join([os.path.relpath(p, src_root) for p in reversed(chain + [path])]) + ': ' + m.group(0).strip())
        for inc in QUOTED.findall(text):
            for base in (os.path.dirname(path), src_root, os.path.join(src_root, 'tests')):
                cand = os.path.realpath(os.path.join(base, inc))
                if os.path.isfile(cand) and cand.startswith(src_root + os.sep):
                    visit(cand, chain + [path])
                    break

    for f in sorted(files):
        visit(f, [])
    if bad:
        print('Windows headers in portable code:')
        for line in bad:
            print('  ' + line)
        return 1
    print(f'{len(seen)} portable files checked, none includes a Windows header')
    return 0 if seen else 1


if __name__ == '__main__':
    sys.exit(main())

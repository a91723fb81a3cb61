#!/usr/bin/env python3
"""The compiled help file.

Usage: help_chm_test.py <ROVANT.CHM> <rovant.hhp>

Checks that the file is a compiled HTML help file (it starts with the signature "ITSF") and that
it holds every page and file the project lists, by name.
"""
import os
import sys

from help_files_test import read_project


def main(chm, hhp):
    if not os.path.isfile(chm):
        print('FAIL: %s was not built' % chm)
        return 1
    data = open(chm, 'rb').read()
    errors = [] if data[:4] == b'ITSF' else ['%s does not start with the signature ITSF' % chm]
    names = read_project(hhp)[0]
    if not names:
        errors.append('%s lists no files' % hhp)
    errors += ['%s does not hold %s' % (chm, n) for n in names if ('/' + n).encode('ascii') not in data]
    for e in errors:
        print('FAIL: ' + e)
    if not errors:
        print('%s: ITSF, %d bytes, holds %d files' % (chm, len(data), len(names)))
    return 1 if errors else 0


if __name__ == '__main__':
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))

#!/usr/bin/env python3
"""The help project's files and links.

Usage: help_files_test.py <help source folder>
       help_files_test.py --chm <ROVANT.CHM> <rovant.hhp>

Checks that every file the project (.hhp), the table of contents (.hhc) and the index (.hhk) name
exists; that every HTML page of the folder is listed in the project (chmcmd compiles only listed
files); that every local link and style sheet of every page resolves, anchors included; and that
the pages are plain: ASCII only (safe in Windows-1252), no scripts. With --chm: that the compiled
file starts with the signature "ITSF" and holds every file the project lists, by name.
"""
import html.parser
import os
import re
import sys


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.anchors, self.links, self.scripts = set(), [], 0  # links: (value, line)

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag not in ('param', 'meta'):
            self.anchors.update(a[k] for k in ('name', 'id') if k in a)
        self.scripts += (tag == 'script') + any(k.lower().startswith('on') for k in a)
        self.links += [(a[k], self.getpos()[0]) for k in ('href', 'src') if a.get(k) is not None]
        if tag == 'param' and a.get('name', '').lower() == 'local':
            self.links.append((a.get('value', ''), self.getpos()[0]))


def parse(path):
    with open(path, 'rb') as f:
        data = f.read()
    page = Page()
    page.feed(data.decode('ascii', errors='replace'))
    return data, page


def read_project(hhp_path):
    """The files the project lists ([FILES], then its contents, index and default topic) and
    its options, keys in lower case."""
    section, listed, options = None, [], {}
    for line in open(hhp_path, encoding='ascii').read().splitlines():
        line = line.strip()
        m = re.match(r'^\[(.+)\]$', line)
        if m:
            section = m.group(1).upper()
        elif section == 'FILES' and line and not line.startswith(';'):
            listed.append(line)
        elif section == 'OPTIONS' and '=' in line:
            key, value = line.split('=', 1)
            options[key.strip().lower()] = value.strip()
    listed += [options[k] for k in ('contents file', 'index file', 'default topic') if k in options]
    return listed, options


def main(folder):
    hhp_path = os.path.join(folder, 'rovant.hhp')
    if not os.path.isfile(hhp_path):
        print('FAIL: no rovant.hhp in %s' % folder)
        return 1
    listed, options = read_project(hhp_path)
    errors = ['rovant.hhp: no "%s"' % key for key in ('contents file', 'index file', 'default topic')
              if key not in options]
    if options.get('compiled file', '').upper() != 'ROVANT.CHM':
        errors.append('rovant.hhp: the compiled file must be ROVANT.CHM')
    errors += ['rovant.hhp names %s, which does not exist' % name for name in listed
               if not os.path.isfile(os.path.join(folder, name))]

    pages = sorted(f for f in os.listdir(folder) if f.lower().endswith('.html'))
    errors += ['%s is not listed in [FILES] of rovant.hhp' % p for p in pages if p not in listed]
    parsed = {name: parse(os.path.join(folder, name)) for name in pages + ['rovant.hhc', 'rovant.hhk']
              if os.path.isfile(os.path.join(folder, name))}

    for name, (data, page) in parsed.items():
        bad = [i for i, b in enumerate(data) if b > 0x7e or (b < 0x20 and b not in (9, 10, 13))]
        if bad:
            errors.append('%s: non-ASCII byte at offset %d' % (name, bad[0]))
        if page.scripts:
            errors.append('%s: scripts or event handlers are not allowed' % name)
        if name.endswith('.html') and b'charset=windows-1252' not in data:
            errors.append('%s: no windows-1252 charset declaration' % name)
        for link, line in page.links:
            where = '%s:%d: ' % (name, line)
            if re.match(r'^[a-z]+:', link, re.I):
                if not link.lower().startswith('mailto:'):
                    errors.append(where + 'external link ' + link)
                continue
            target, _, anchor = link.partition('#')
            target = target or name
            if target not in parsed and not os.path.isfile(os.path.join(folder, target)):
                errors.append(where + 'link to missing file ' + link)
                continue
            if target not in listed and target != name:
                errors.append(where + '%s is not listed in rovant.hhp' % target)
            if anchor and (target not in parsed or anchor not in parsed[target][1].anchors):
                errors.append(where + 'link to missing anchor ' + link)

    errors += ['%s names no topics' % n for n in ('rovant.hhc', 'rovant.hhk')
               if n in parsed and not parsed[n][1].links]
    for e in errors:
        print('FAIL: ' + e)
    if not errors:
        print('help files: %d pages, %d files in the project, all links resolve'
              % (len(pages), len(listed)))
    return 1 if errors else 0


def check_chm(chm, hhp):
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
    if len(sys.argv) == 4 and sys.argv[1] == '--chm':
        sys.exit(check_chm(sys.argv[2], sys.argv[3]))
    if len(sys.argv) != 2:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1]))

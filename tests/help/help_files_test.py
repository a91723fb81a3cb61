#!/usr/bin/env python3
"""The help project's files and links, and the compiled file.

Usage: help_files_test.py <help source folder> [<ROVANT.CHM>]

Every file the project (.hhp), the table of contents (.hhc) and the index (.hhk) name exists; every
HTML page of the folder is listed in the project (chmcmd compiles only listed files); every local
link and style sheet of every page resolves, anchors included; the pages are plain: ASCII only
(safe in Windows-1252), no scripts. The compiled file, when given, starts with the signature
"ITSF" and holds every file the project lists, by name.
"""
import configparser
import html.parser
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from checks import check, finish  # noqa: E402


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
    project = configparser.ConfigParser(allow_no_value=True, delimiters=('=',), interpolation=None)
    project.optionxform = str  # file names keep their case
    project.read(hhp_path, encoding='ascii')
    options = {k.lower(): v for k, v in project['OPTIONS'].items()}
    keys = ('contents file', 'index file', 'default topic')
    return list(project['FILES']) + [options[k] for k in keys if k in options], options


def main(folder, chm=None):
    listed, options = read_project(os.path.join(folder, 'rovant.hhp'))
    for key in ('contents file', 'index file', 'default topic'):
        check(key in options, 'rovant.hhp: no "%s"' % key)
    check(options.get('compiled file', '').upper() == 'ROVANT.CHM',
          'rovant.hhp: the compiled file must be ROVANT.CHM')
    for name in listed:
        check(os.path.isfile(os.path.join(folder, name)), 'rovant.hhp names missing ' + name)
    pages = sorted(f for f in os.listdir(folder) if f.lower().endswith('.html'))
    for p in pages:
        check(p in listed, '%s is not listed in [FILES] of rovant.hhp' % p)
    parsed = {name: parse(os.path.join(folder, name))
              for name in pages + ['rovant.hhc', 'rovant.hhk'] if name in os.listdir(folder)}

    for name, (data, page) in parsed.items():
        bad = [i for i, b in enumerate(data) if b > 0x7e or (b < 0x20 and b not in (9, 10, 13))]
        check(not bad, '%s: non-ASCII byte at offset %d' % (name, bad[0] if bad else 0))
        check(not page.scripts, '%s: scripts or event handlers are not allowed' % name)
        check(not name.endswith('.html') or b'charset=windows-1252' in data,
              '%s: no windows-1252 charset declaration' % name)
        check(name.endswith('.html') or page.links, '%s names no topics' % name)
        for link, line in page.links:
            where = '%s:%d: ' % (name, line)
            if re.match(r'^[a-z]+:', link, re.I):
                check(link.lower().startswith('mailto:'), where + 'external link ' + link)
                continue
            target, _, anchor = link.partition('#')
            target = target or name
            if not check(target in parsed or os.path.isfile(os.path.join(folder, target)),
                         where + 'link to missing file ' + link):
                continue
            check(target in listed or target == name, where + target + ' is not in rovant.hhp')
            check(not anchor or (target in parsed and anchor in parsed[target][1].anchors),
                  where + 'link to missing anchor ' + link)

    if chm is not None and check(os.path.isfile(chm), '%s was not built' % chm):
        with open(chm, 'rb') as f:
            data = f.read()
        check(data[:4] == b'ITSF', '%s does not start with the signature ITSF' % chm)
        for name in listed:
            check(('/' + name).encode('ascii') in data, '%s does not hold %s' % (chm, name))
    finish('help files: %d pages, %d files in the project, all links resolve'
           % (len(pages), len(listed)))


if __name__ == '__main__':
    main(*sys.argv[1:])

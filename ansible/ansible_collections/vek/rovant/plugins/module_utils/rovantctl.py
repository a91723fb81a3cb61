# -*- coding: utf-8 -*-
# Copyright: (c) ROVANT developers
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)
"""Running rovantctl for the modules: a one-printer inventory and its JSON lines."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import os

# The name the one-printer inventory gives the printer.
TARGET = 'target'

# The options every module takes (doc fragment vek.rovant.printer).
PRINTER_ARGUMENTS = dict(
    printer=dict(type='str', required=True),
    model=dict(type='str', default='HX320', choices=['HX310', 'HX320']),
    rovantctl=dict(type='path'),
)


def rovantctl_path(module):
    """The rovantctl to run: the one given, or the one on the path."""
    given = module.params.get('rovantctl')
    if given:
        return given
    return module.get_bin_path('rovantctl', required=True)


def write_inventory(directory, printer, model):
    """An inventory naming just this printer; returns its path."""
    path = os.path.join(directory, 'inventory.yaml')
    entry = {'name': TARGET, 'printer': printer, 'model': model}
    with open(path, 'w') as out:
        out.write('printers:\n  - %s\n' % json.dumps(entry))
    return path


def write_settings(directory, settings):
    """A profile holding the inline settings (BLOCK.ITEM: label); returns its path."""
    path = os.path.join(directory, 'profile.yaml')
    with open(path, 'w') as out:
        for key in sorted(settings):
            out.write('%s: %s\n' % (json.dumps(str(key)), json.dumps(str(settings[key]))))
    return path


def reason_of(rc, stdout, stderr):
    """What rovantctl said when it failed, in its own words."""
    text = (stderr or '').strip()
    if not text:
        text = (stdout or '').strip()
    if not text:
        text = 'rovantctl exited with status %d' % rc
    return text


def run_for_printer(module, args):
    """Runs rovantctl; returns (rc, the target printer's JSON object or None, stdout, stderr)."""
    rc, stdout, stderr = module.run_command(args)
    found = None
    for line in (stdout or '').splitlines():
        line = line.strip()
        if not line.startswith('{'):
            continue
        try:
            item = json.loads(line)
        except ValueError:
            continue
        if item.get('name') == TARGET:
            found = item
    return rc, found, stdout, stderr

#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: (c) ROVANT developers
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: printer_facts
short_description: Read an HX310 or HX320 printer's settings into facts
description:
  - Reads the printer's settings (with the model check) through C(rovantctl read --json) and
    sets the fact C(rovant_printer) with the printer, its model and every item's label, keyed
    C(BLOCK.ITEM).
  - Sends only the read; never writes.
version_added: "2.0.0"
author:
  - ROVANT developers !UNKNOWN
extends_documentation_fragment:
  - vek.rovant.printer
attributes:
  check_mode:
    support: full
    description: The read runs in check mode as well; it changes nothing.
  diff_mode:
    support: none
    description: Nothing changes, so there is nothing to show.
  facts:
    support: full
    description: Sets C(rovant_printer).
'''

EXAMPLES = r'''
- name: Read the dock printer
  vek.rovant.printer_facts:
    printer: tcp://10.20.1.11

- name: Show its pitch
  ansible.builtin.debug:
    msg: "{{ ansible_facts.rovant_printer.settings['MENU1.PITCH'] }}"
'''

RETURN = r'''
ansible_facts:
  description: The printer's settings.
  returned: success
  type: complex
  contains:
    rovant_printer:
      description: The printer, its model, and each item's label keyed C(BLOCK.ITEM).
      type: dict
      returned: success
      sample: {"printer": "tcp://10.20.1.11", "model": "HX320",
               "settings": {"MENU1.PITCH": "12 CPI "}, "read_only": ["HARDWARE.INTERF"]}
'''

import json

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.vek.rovant.plugins.module_utils.rovantctl import (
    PRINTER_ARGUMENTS, reason_of, rovantctl_path)


def main():
    module = AnsibleModule(
        argument_spec=dict(PRINTER_ARGUMENTS),
        supports_check_mode=True,
    )
    params = module.params
    args = [rovantctl_path(module), 'read', '--printer', params['printer'], '--model',
            params['model'], '--json']
    rc, out, err = module.run_command(args)
    if rc != 0:
        module.fail_json(msg=reason_of(rc, '', err), rc=rc)
    try:
        document = json.loads(out)
    except ValueError:
        module.fail_json(msg='rovantctl gave no settings: %s' % reason_of(rc, out, err), rc=rc)
    settings = {}
    read_only = []
    for item in document.get('items', []):
        key = '%s.%s' % (item['block'], item['item'])
        settings[key] = item['value']
        if item.get('readOnly'):
            read_only.append(key)
    facts = {'rovant_printer': {'printer': params['printer'], 'model': document.get('model'),
                                'settings': settings, 'read_only': read_only}}
    module.exit_json(changed=False, ansible_facts=facts)


if __name__ == '__main__':
    main()

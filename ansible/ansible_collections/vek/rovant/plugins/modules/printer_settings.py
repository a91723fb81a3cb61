#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: (c) ROVANT developers
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: printer_settings
short_description: Apply a settings profile to an HX310 or HX320 printer
description:
  - Reads the printer (with the model check) and compares it with the profile; when an item
    differs, sends the profile's record, reads it back and compares every sent item.
  - Reports C(changed) only when settings were written. In check mode the printer is read and
    the differences are reported, and nothing is sent.
  - With C(--diff), shows each differing item before and after.
  - Runs C(rovantctl fleet apply --json) with an inventory of this one printer; the protocol is
    rovantctl's.
version_added: "2.0.0"
author:
  - ROVANT developers !UNKNOWN
extends_documentation_fragment:
  - vek.rovant.printer
options:
  profile:
    description:
      - A profile (YAML, C(BLOCK.ITEM) mapped to labels) or an 87-byte setting file (C(.fom))
        on the managed node.
      - Mutually exclusive with O(settings).
    type: path
  settings:
    description:
      - The items to set, C(BLOCK.ITEM) mapped to the printer's own labels, for example
        C(MENU1.PITCH) set to C(12 CPI). Items not named are left as they are.
      - Mutually exclusive with O(profile).
    type: dict
  verify:
    description:
      - After a write, read the printer once more in a session of its own and check every
        item of the profile (C(rovantctl fleet check)); a difference fails the task.
    type: bool
    default: true
  audit_log:
    description:
      - The audit log every write is appended to (rovantctl's C(--audit)); rovantctl's default
        when not given.
    type: path
  timeout:
    description:
      - Seconds the printer may take before it is reported as failed.
    type: int
    default: 120
notes:
  - Supports check mode and diff mode.
attributes:
  check_mode:
    support: full
    description: Reads the printer and reports the differences; nothing is sent.
  diff_mode:
    support: full
    description: Each differing item, with the printer's value before and the profile's after.
'''

EXAMPLES = r'''
- name: Dock printers print at 12 CPI and keep their panel locked
  vek.rovant.printer_settings:
    printer: "tcp://{{ ansible_host }}"
    model: HX320
    settings:
      MENU1.PITCH: 12 CPI
      CONFIG.LOCK: SETUP

- name: The whole site profile, from a file on the managed node
  vek.rovant.printer_settings:
    printer: tcp://10.20.1.11
    profile: /etc/rovant/site.yaml
    audit_log: /var/log/rovant/audit.jsonl
'''

RETURN = r'''
result:
  description: What rovantctl reported for the printer (C(unchanged), C(applied), C(drift) in check mode).
  returned: success
  type: str
  sample: applied
items:
  description: The items that differed before the run, each with the wanted and the printer's value.
  returned: success
  type: list
  elements: dict
  sample: [{"item": "MENU1.PITCH", "want": "12 CPI ", "got": "10 CPI "}]
verified:
  description: Whether a separate read after the write found every item of the profile.
  returned: success
  type: bool
  sample: true
'''

import shutil
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.vek.rovant.plugins.module_utils.rovantctl import (
    PRINTER_ARGUMENTS, reason_of, run_for_printer, rovantctl_path, write_inventory, write_settings)


def diff_of(items):
    before = ''.join('%s: "%s"\n' % (i['item'], i['got']) for i in items)
    after = ''.join('%s: "%s"\n' % (i['item'], i['want']) for i in items)
    return {'before': before, 'after': after,
            'before_header': 'printer', 'after_header': 'profile'}


def main():
    module = AnsibleModule(
        argument_spec=dict(
            **PRINTER_ARGUMENTS,
            profile=dict(type='path'),
            settings=dict(type='dict'),
            verify=dict(type='bool', default=True),
            audit_log=dict(type='path'),
            timeout=dict(type='int', default=120),
        ),
        mutually_exclusive=[['profile', 'settings']],
        required_one_of=[['profile', 'settings']],
        supports_check_mode=True,
    )
    params = module.params
    ctl = rovantctl_path(module)
    work = tempfile.mkdtemp(prefix='rovant-')
    try:
        inventory = write_inventory(work, params['printer'], params['model'])
        profile = params['profile'] or write_settings(work, params['settings'])

        def fail(msg, **kwargs):
            # rovantctl names the profile it refuses: inline, that is the settings.
            if not params['profile']:
                msg = msg.replace(profile, 'settings')
            module.fail_json(msg=msg, **kwargs)
        common = ['--inventory', inventory, profile, '--json', '--parallel', '1',
                  '--timeout', str(params['timeout'])]

        # What would change: a read and a comparison, nothing sent.
        rc, found, out, err = run_for_printer(module, [ctl, 'fleet', 'apply', '--dry-run'] + common)
        if found is None or found.get('result') == 'failed':
            reason = found.get('reason') if found else reason_of(rc, out, err)
            fail(reason or reason_of(rc, out, err), rc=rc)
        items = found.get('items', [])
        result = dict(changed=bool(items), items=items, verified=False,
                      result='unchanged' if not items else 'drift')
        if module._diff and items:
            result['diff'] = diff_of(items)
        if not items or module.check_mode:
            module.exit_json(**result)

        # The write: sent, read back and compared item by item.
        args = [ctl, 'fleet', 'apply'] + common
        if params['audit_log']:
            args += ['--audit', params['audit_log']]
        rc, found, out, err = run_for_printer(module, args)
        if found is None:
            fail(reason_of(rc, out, err), rc=rc, **result)
        result['result'] = found.get('result')
        if found.get('result') == 'differs':
            fail('the printer does not hold what was sent', rc=rc,
                 differences=found.get('items', []), **result)
        if found.get('result') != 'applied':
            # "unchanged" here means someone else wrote it meanwhile: nothing was sent.
            result['changed'] = found.get('result') != 'unchanged'
            if found.get('result') == 'failed':
                fail(found.get('reason') or reason_of(rc, out, err), rc=rc, **result)

        if params['verify']:
            rc, found, out, err = run_for_printer(
                module, [ctl, 'fleet', 'check', '--inventory', inventory, profile, '--json',
                         '--parallel', '1', '--timeout', str(params['timeout'])])
            if found is None or found.get('result') != 'ok':
                reason = (found or {}).get('reason') or reason_of(rc, out, err)
                if found is not None and found.get('result') == 'drift':
                    reason = 'a read after the write does not find the profile'
                fail(reason, rc=rc, differences=(found or {}).get('items', []), **result)
            result['verified'] = True
        module.exit_json(**result)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()

# -*- coding: utf-8 -*-
# Copyright: (c) ROVANT developers
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    # The options every module of the collection takes: which printer, which model, which rovantctl.
    DOCUMENTATION = r'''
options:
  printer:
    description:
      - The printer in rovantctl's C(--printer) form, for example C(tcp://10.20.1.11) or
        C(tcp://10.20.1.11:9100).
    type: str
    required: true
  model:
    description:
      - The model the printer must be; a printer of the other model fails.
    type: str
    choices: [HX310, HX320]
    default: HX320
  rovantctl:
    description:
      - The rovantctl program; found on the path when not given.
    type: path
'''

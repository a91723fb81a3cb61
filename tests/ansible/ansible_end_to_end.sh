#!/usr/bin/env bash
# The vek.rovant collection under ansible-playbook against simulated printers on loopback
# (rovant-printer-sim --listen-many, four printers, printer 3 silent): the first run changes and
# verifies, the second changes nothing, --check --diff lists the item differences and leaves the
# simulators' memories alone, and the silent printer fails only its own host.
# Usage: ansible_end_to_end.sh SIM ROVANTCTL WORKDIR COLLECTIONS_DIR [COUNT]
# With COUNT (no faults), one timed run against that many printers.
set -u
sim=$(realpath "$1") ctl=$(realpath "$2") collections=$(realpath "$4") count=${5:-}
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$3" state tmp
work=$PWD n=${count:-4}
command -v ansible-playbook >/dev/null || fail "ansible-playbook is missing (Debian package ansible-core)"
start_fleet "$sim" "$n" 900 --state-dir state $([[ -n $count ]] || echo --faults-for 3:silent)

printf 'all:\n  vars: {ansible_connection: local, ansible_python_interpreter: %s}\n  hosts:\n' \
  "$(command -v python3)" >hosts.yml
for i in "${!ports[@]}"; do echo "    p$i: {printer: \"tcp://127.0.0.1:${ports[$i]}\"}"; done >>hosts.yml
cat >site.yml <<YAML
- hosts: all
  gather_facts: false
  vars:
    pitch: 12 CPI
  tasks:
    - name: Dock printers print at the site's pitch, panel locked
      vek.rovant.printer_settings:
        printer: "{{ printer }}"
        model: HX320
        settings:
          MENU1.PITCH: "{{ pitch }}"
          CONFIG.LOCK: SETUP
        audit_log: $work/audit.jsonl
        rovantctl: $ctl
    - name: Read the printer back
      vek.rovant.printer_facts:
        printer: "{{ printer }}"
        rovantctl: $ctl
    - name: The facts hold the pitch
      ansible.builtin.assert:
        that: ansible_facts.rovant_printer.settings['MENU1.PITCH'] == pitch ~ ' '
      when: not ansible_check_mode
YAML
export ANSIBLE_COLLECTIONS_PATH=$collections ANSIBLE_CONFIG=$work/none.cfg
export ANSIBLE_LOCAL_TEMP=$work/tmp ANSIBLE_REMOTE_TEMP=$work/tmp ANSIBLE_HOME=$work/home
export ANSIBLE_NOCOLOR=1 ANSIBLE_FORCE_COLOR=0 ANSIBLE_HOST_KEY_CHECKING=0 ANSIBLE_RETRY_FILES_ENABLED=0
play() { ansible-playbook -i hosts.yml -f "${forks:-8}" site.yml "$@"; }
recap() {  # FILE CHANGED FAILED HOST...: each host's recap line
  local h
  for h in "${@:4}"; do has "$1" "^$h *: .* changed=$2 .* failed=$3 "; done
}

if [[ -n $count ]]; then
  forks=$n within 3600000 0 "playbook-$n-printers" play
  grep -c 'changed=1 .*failed=0' "playbook-$n-printers.out"
  exit
fi

printf 'MENU1.PITCH: 12 CPI\nCONFIG.LOCK: SETUP\n' >want.yaml
exits 0 want "$ctl" profile build want.yaml -o want.fom

# First run: p0..p2 change and verify; the silent p3 fails alone.
exits 2 run1 play
recap run1.out 1 0 p0 p1 p2
recap run1.out 0 1 p3
has run1.out 'fatal: \[p3\]: FAILED! => .*"msg": ".*There is no response from Printer'
for i in 0 1 2; do cmp -s want.fom "state/printer-$i.state" || fail "p$i's memory lacks the profile"; done
lines audit.jsonl 3

# Second run: nothing changes, nothing is written.
exits 0 run2 play --limit p0,p1,p2
recap run2.out 0 0 p0 p1 p2
lines audit.jsonl 3

# Check and diff: the exact items, and the memories untouched.
sums=$(md5sum state/*)
exits 0 check play --limit p0,p1 --check --diff -e 'pitch="15 CPI"'
recap check.out 1 0 p0 p1
[[ $(grep -c '^-MENU1.PITCH: "12 CPI "$' check.out) == 2 && $(grep -c '^+MENU1.PITCH: "15 CPI "$' check.out) == 2 ]] ||
  fail "the diff does not show MENU1.PITCH: $(cat check.out)"
grep -q 'CONFIG.LOCK' check.out && fail "the diff shows an item that does not differ: $(cat check.out)"
[[ $(md5sum state/*) == "$sums" ]] || fail "check mode changed a simulator's memory"
lines audit.jsonl 3
# A setting rovantctl refuses fails the task with rovantctl's reason; nothing is sent.
exits 2 bad ansible p0 -i hosts.yml -m vek.rovant.printer_settings \
  -a "{\"printer\": \"tcp://127.0.0.1:${ports[0]}\", \"settings\": {\"MENU1.PICH\": \"12 CPI\"}, \"rovantctl\": \"$ctl\"}"
has bad.out '"msg": "rovantctl: settings:1: no item \\"PICH\\" in MENU1"'
[[ $(md5sum state/*) == "$sums" ]] || fail "a refused profile changed a simulator's memory"
echo "ansible end to end: ok"

#!/usr/bin/env bash
# The vek.rovant collection under ansible-playbook against simulated printers on
# loopback (rovant-printer-sim --listen-many, four printers, printer 3 silent):
# the first run changes and verifies, the second changes nothing, --check --diff
# lists the item differences and leaves the simulators' memories alone, and the
# silent printer fails only its own host.
# Usage: ansible_end_to_end.sh SIM ROVANTCTL WORKDIR COLLECTIONS_DIR [COUNT]
# With COUNT (no faults), one timed run against that many printers.
set -u
sim=$(realpath "$1") ctl=$(realpath "$2") work=$3 collections=$(realpath "$4") count=${5:-}
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$work" state tmp
command -v ansible-playbook >/dev/null || fail "ansible-playbook is missing (Debian package ansible-core)"

n=${count:-4}
faults=()
[[ -z $count ]] && faults=(--faults-for 3:silent)
start_fleet "$sim" "$n" 900 --state-dir state "${faults[@]}"

{
  echo "all:"
  echo "  vars: {ansible_connection: local, ansible_python_interpreter: $(command -v python3)}"
  echo "  hosts:"
  for ((i = 0; i < n; i++)); do echo "    p$i: {printer: \"tcp://127.0.0.1:${ports[$i]}\"}"; done
} >hosts.yml
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
# recap HOST FILE: the host's recap line
recap() { grep -E "^$1 +:" "$2"; }
expect_recap() {  # FILE HOST changed failed
  local line
  line=$(recap "$2" "$1")
  [[ $line =~ changed=$3\  && $line =~ failed=$4\  ]] || fail "$1: $2 is '$line', not changed=$3 failed=$4: $(tail -40 "$1")"
}

if [[ -n $count ]]; then
  start=$(date +%s%N)
  forks=$n play >timed.out 2>&1
  rc=$?
  ms=$((($(date +%s%N) - start) / 1000000))
  echo "ansible-playbook -f $n site.yml against $n simulated printers: $ms ms (exit $rc)"
  grep -c 'changed=1 .*failed=0' timed.out
  exit $rc
fi

printf 'MENU1.PITCH: 12 CPI\nCONFIG.LOCK: SETUP\n' >want.yaml
"$ctl" profile build want.yaml -o want.fom || fail "profile build"

# First run: p0..p2 change and verify; the silent p3 fails alone.
play >run1.out 2>&1
[[ $? == 2 ]] || fail "a failed host must give exit status 2: $(tail -40 run1.out)"
for h in p0 p1 p2; do expect_recap run1.out $h 1 0; done
expect_recap run1.out p3 0 1
grep -q 'fatal: \[p3\]: FAILED! => .*"msg": ".*There is no response from Printer' run1.out || fail "p3's reason: $(grep -A3 'p3' run1.out)"
for i in 0 1 2; do cmp -s want.fom "state/printer-$i.state" || fail "p$i's memory lacks the profile"; done
[[ $(wc -l <audit.jsonl) == 3 ]] || fail "audit log: $(cat audit.jsonl)"

# Second run: nothing changes, nothing is written.
play --limit p0,p1,p2 >run2.out 2>&1 || fail "second run: $(tail -40 run2.out)"
for h in p0 p1 p2; do expect_recap run2.out $h 0 0; done
[[ $(wc -l <audit.jsonl) == 3 ]] || fail "the second run wrote: $(cat audit.jsonl)"

# Check and diff: the exact items, and the memories untouched.
sums=$(md5sum state/*)
play --limit p0,p1 --check --diff -e 'pitch="15 CPI"' >check.out 2>&1 || fail "check: $(tail -40 check.out)"
for h in p0 p1; do expect_recap check.out $h 1 0; done
[[ $(grep -c '^-MENU1.PITCH: "12 CPI "$' check.out) == 2 && $(grep -c '^+MENU1.PITCH: "15 CPI "$' check.out) == 2 ]] ||
  fail "the diff does not show MENU1.PITCH: $(cat check.out)"
grep -q 'CONFIG.LOCK' check.out && fail "the diff shows an item that does not differ: $(cat check.out)"
[[ $(md5sum state/*) == "$sums" ]] || fail "check mode changed a simulator's memory"
[[ $(wc -l <audit.jsonl) == 3 ]] || fail "check mode wrote: $(cat audit.jsonl)"
# A setting rovantctl refuses fails the task with rovantctl's reason; nothing is sent.
ansible p0 -i hosts.yml -m vek.rovant.printer_settings \
  -a "{\"printer\": \"tcp://127.0.0.1:${ports[0]}\", \"settings\": {\"MENU1.PICH\": \"12 CPI\"}, \"rovantctl\": \"$ctl\"}" \
  >bad.out 2>&1 && fail "an unknown item was taken: $(cat bad.out)"
grep -q '"msg": "rovantctl: settings:1: no item \\"PICH\\" in MENU1"' bad.out || fail "bad settings: $(cat bad.out)"
[[ $(md5sum state/*) == "$sums" ]] || fail "a refused profile changed a simulator's memory"
echo "ansible end to end: ok"

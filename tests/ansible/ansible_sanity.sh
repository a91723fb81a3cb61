#!/usr/bin/env bash
# ansible-test sanity for the vek.rovant collection, offline. ansible-test gives
# the tests that need Python packages an environment of their own, filled by
# pip from the network; here each one is made instead from Debian's packages
# (pylint, yamllint, python3-pycodestyle, python3-voluptuous: a virtual
# environment that sees the system's site packages), under a HOME of the test's
# own. Only pslint (PowerShell) is left out: the collection has no PowerShell.
# The collection is copied into WORKDIR first, so the source tree stays clean.
# Usage: ansible_sanity.sh COLLECTION_DIR WORKDIR
set -u
collection=$(realpath "$1")
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$2" home ansible_collections/vek
work=$PWD
command -v ansible-test >/dev/null || fail "ansible-test is missing (Debian package ansible-core)"
export HOME=$work/home ANSIBLE_HOME=$work/home/.ansible ANSIBLE_LOCAL_TEMP=$work/tmp
cp -r "$collection" ansible_collections/vek/rovant && cd ansible_collections/vek/rovant ||
  fail "copying the collection"
# ansible-test lists a collection's files with git: the copy is a repository of
# its own (the build folder is ignored by the project's).
git init -q . || fail "git init"
run() { ansible-test sanity --python 3.11 --python-interpreter /usr/bin/python3.11 --color no --skip-test pslint 2>&1; }

# Up to ten rounds: each round makes the environment the next test asks for.
for _ in $(seq 10); do
  out=$(run)
  rc=$?
  venv=$(sed -n 's|.*Python 3\.11 at "\(.*\)/bin/python" does not have pip available.*|\1|p' <<<"$out" | head -1)
  if [[ -z $venv ]]; then
    echo "$out" | grep -v 'locale\|Reviewing previous'
    [[ $rc == 0 ]] || fail "ansible-test sanity failed"
    grep -q 'All targets skipped' <<<"$out" && fail "ansible-test found no files to check"
    grep -q 'Running sanity test "validate-modules"' <<<"$out" || fail "validate-modules did not run"
    echo "ansible-test sanity: ok"
    exit 0
  fi
  [[ $venv == "$work/home/"* ]] || fail "an environment outside the test's HOME: $venv"
  rm -rf "$venv"
  /usr/bin/python3.11 -m venv --system-site-packages --without-pip "$venv" || fail "python3 -m venv"
  echo '[]' >"$venv/meta.install.json"
  "$venv/bin/python" -c 'import json, yaml
print(json.dumps(getattr(yaml, "__with_libyaml__", False)))' >"$venv/meta.yaml.json" ||
    fail "PyYAML is missing (python3-yaml)"
  touch "$venv/marker.txt"
done
fail "ansible-test sanity kept asking for environments"

#!/usr/bin/env bash
# Installs every build and test dependency from Debian 12's packages. Idempotent: does nothing
# when all packages are already installed. Run as root (or with sudo available).
set -euo pipefail

PACKAGES=(
  # toolchain and build
  build-essential cmake ninja-build git
  # clang, libFuzzer/sanitizer runtimes, formatting
  clang libclang-rt-14-dev clang-format
  # libraries
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  libyaml-cpp-dev
  # rovantctl discover: net-snmp's library; its tests run Debian's agent (snmpd, snmpget)
  libsnmp-dev snmpd snmp
  # the Ansible collection (ansible/): ansible-playbook and ansible-test, and what
  # ansible-test sanity runs offline (tests/ansible/ansible_sanity.sh)
  ansible-core pylint yamllint python3-pycodestyle python3-voluptuous python3-yaml shellcheck
  # Windows cross compilers (posix thread model) and windres
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  # running Windows programs and GUI tests
  wine wine64 xvfb xauth fonts-liberation
  # icon generation (resources/icons/make_icons.py)
  python3
  # the help file ROVANT.CHM (chmcmd)
  fp-utils
  # packages: the Windows installer (makensis), checking its contents (7z), the man pages (groff, man)
  nsis p7zip-full groff-base man-db
  # checking the Windows images as files (tests/packaging/check_pe.py)
  python3-pefile
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#PACKAGES[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" apt-get install -y -q "${missing[@]}" </dev/null

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
  # running Windows programs and GUI tests; the demonstration's screenshot (xwd, netpbm)
  wine wine64 xvfb xauth fonts-liberation x11-apps netpbm
  # icon generation (resources/icons/make_icons.py)
  python3
  # the help file ROVANT.CHM (chmcmd)
  fp-utils
  # packages: the Windows installer (makensis), checking its contents (7z), the man pages (groff, man)
  nsis p7zip-full groff-base man-db
  # checking the Windows images as files (tests/packaging/check_pe.py)
  python3-pefile
  # unpacking Debian sources (apt-get source), for yaml-cpp in the Windows builds
  dpkg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#PACKAGES[@]} packages present"
else
  echo "install-deps: installing ${missing[*]}"
  "${SUDO[@]}" apt-get update -q
  "${SUDO[@]}" apt-get install -y -q "${missing[@]}" </dev/null
fi

# yaml-cpp for the Windows cross builds: Debian packages it for the host only, so its Debian
# source is unpacked under /usr/local/src and built with the MinGW tool chains (cmake/RovantYamlCpp).
YAML_CPP_SOURCE=/usr/local/src/yaml-cpp-0.7.0+dfsg
if [ ! -f "$YAML_CPP_SOURCE/CMakeLists.txt" ]; then
  echo "install-deps: unpacking Debian's yaml-cpp source into /usr/local/src"
  SOURCES=/etc/apt/sources.list.d/rovant-deb-src.sources
  if [ ! -f "$SOURCES" ]; then
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      "${SUDO[@]}" tee "$SOURCES" >/dev/null
    "${SUDO[@]}" apt-get update -q
  fi
  (cd /usr/local/src && "${SUDO[@]}" apt-get source -q yaml-cpp=0.7.0+dfsg-8 </dev/null)
fi

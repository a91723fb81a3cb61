#!/usr/bin/env bash
# Main job: installs what is needed, builds the x86_64 Windows programs and starts ROVANT under
# Wine against a simulated HX320 (scripts/demo-wine.sh): on the user's display, or on Xvfb when
# there is none. The native rovantctl demonstration is scripts/demo.sh.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh
cmake --preset mingw64
cmake --build --preset mingw64 --target rovant rovant-monitor-sim rovant-testbed-setup \
  rovant-uidriver rovantctl
exec bash tests/e2e/run_e2e.sh --prefix "$PWD/build/mingw64/demo-prefix" --host -- \
  bash scripts/demo-wine.sh build/mingw64

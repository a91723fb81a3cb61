#!/usr/bin/env bash
# Main job: installs dependencies, builds the linux preset and runs the demonstration on it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh
cmake --preset linux
cmake --build --preset linux
exec bash scripts/demo.sh build/linux

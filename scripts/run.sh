#!/usr/bin/env bash
# Builds Tallymere, optimised, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
bash scripts/install-packages.sh "${build_packages[@]}"

cmake --preset release
cmake --build --preset release
echo "Built in build/release. The window is not part of the program yet, so there is nothing to start."

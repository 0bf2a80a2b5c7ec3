#!/usr/bin/env bash
# Builds Tallymere, optimised, and starts it. Its worksheets go next to the program, to
# build/release/window/qt/口算题.doc.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
bash scripts/install-packages.sh "${build_packages[@]}"

cmake --workflow --preset release
exec build/release/window/qt/tallymere

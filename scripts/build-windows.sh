#!/usr/bin/env bash
# Cross-compiles the Windows program alone: one self-contained Tallymere.exe, at
# build/windows-release/window/win32/Tallymere.exe. Copy it to any folder the user can write to;
# it writes 口算题.doc next to itself.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
bash scripts/install-packages.sh "${windows_build_packages[@]}"

cmake --workflow --preset windows-release
echo "Built build/windows-release/window/win32/Tallymere.exe"

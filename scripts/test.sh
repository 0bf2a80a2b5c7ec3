#!/usr/bin/env bash
# Installs what the tests need, then builds everything and runs every test through CMake's workflow
# presets (CMakePresets.json), each of which a developer can also run alone:
#   cmake --workflow --preset ci         warnings as errors; the tests and the benchmarks once
#   cmake --workflow --preset sanitize   Clang, AddressSanitizer and UndefinedBehaviorSanitizer,
#                                        and a bounded run of the fuzzer (TALLYMERE_FUZZ_SECONDS)
#   cmake --workflow --preset windows    a 64-bit Tallymere.exe and its tests under Wine
#   cmake --workflow --preset windows32  the 32-bit Tallymere.exe that ships, its tests under 32-bit
#                                        Wine where the machine runs 32-bit x86 code, and a check
#                                        that it is the one windows-release builds, byte for byte
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/wine-prefix.sh
bash scripts/install-packages.sh "${build_packages[@]}" "${test_packages[@]}" \
    "${windows_build_packages[@]}" "${windows_test_packages[@]}"
if runs_32_bit_code; then
    bash scripts/install-packages.sh "${windows32_test_packages[@]}"
else
    echo "This machine runs no 32-bit x86 code: the tests of the 32-bit Tallymere.exe are skipped."
fi

# As many tests at once as the machine has cores.
export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"
for workflow in ci sanitize windows windows32; do
    cmake --workflow --preset "$workflow"
done

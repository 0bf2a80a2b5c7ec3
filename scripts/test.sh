#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the unit, fault, concurrency and
# window tests, the benchmarks once, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer together with a bounded run of the fuzzer (TALLYMERE_FUZZ_SECONDS,
# 30 by default), then the Windows program and its tests, cross-compiled and run under Wine: a
# 64-bit build, and the 32-bit Tallymere.exe that ships, built as it ships, wherever the machine
# runs 32-bit x86 code. Last it builds the shipped Tallymere.exe alone (its build checks what it
# imports from Windows) and checks that it has the same bytes as the one the tests ran.
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

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset sanitize -DTALLYMERE_FUZZ_SECONDS="${TALLYMERE_FUZZ_SECONDS:-30}"
cmake --build --preset sanitize
ctest --preset sanitize

for preset in windows windows32; do
    cmake --preset $preset
    cmake --build --preset $preset
    ctest --preset $preset
done

cmake --preset windows-release
cmake --build --preset windows-release
shipped=build/windows-release/window/win32/Tallymere.exe
cmp "$shipped" build/windows32/window/win32/Tallymere.exe
echo "The tested Tallymere.exe is the shipped one, byte for byte: $(sha256sum "$shipped")"

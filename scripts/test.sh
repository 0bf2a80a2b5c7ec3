#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the unit, fault, concurrency and
# window tests, the benchmarks once, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer together with a bounded run of the fuzzer (TALLYMERE_FUZZ_SECONDS,
# 30 by default), then the Windows program and its tests, cross-compiled and run under Wine, and
# last the 32-bit Tallymere.exe that ships: what it imports from Windows, and the same bytes from a
# second build in another folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
bash scripts/install-packages.sh "${build_packages[@]}" "${test_packages[@]}" \
    "${windows_build_packages[@]}" "${windows_test_packages[@]}"

# As many tests at once as the machine has cores.
export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset sanitize -DTALLYMERE_FUZZ_SECONDS="${TALLYMERE_FUZZ_SECONDS:-30}"
cmake --build --preset sanitize
ctest --preset sanitize

cmake --preset windows
cmake --build --preset windows
ctest --preset windows

cmake --preset windows-release
cmake --build --preset windows-release
shipped=build/windows-release/window/win32/Tallymere.exe
bash tests/windows/imports_check.sh i686-w64-mingw32-objdump "$shipped" window/win32/imports.txt
rm -rf build/windows-again
cmake --preset windows-release -B build/windows-again >/dev/null
cmake --build build/windows-again >/dev/null
cmp "$shipped" build/windows-again/window/win32/Tallymere.exe
echo "Tallymere.exe builds to the same bytes: $(sha256sum "$shipped")"

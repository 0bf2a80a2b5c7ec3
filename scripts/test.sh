#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the unit, fault, concurrency and
# window tests, the benchmarks once, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer together with a bounded run of the fuzzer (TALLYMERE_FUZZ_SECONDS,
# 30 by default), and last the Windows program and its tests, cross-compiled and run under Wine.
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

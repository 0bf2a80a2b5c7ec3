#!/usr/bin/env bash
# The size of the tests against the rest of the code, in non-blank lines of the same kinds of files
# on both sides (C++, resource scripts, shell, Python, CMake): tests/ at most a third of all other
# code. The program alone (generation/ and window/) is shown beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
lines() { git ls-files "$@" | grep -E '\.(cpp|h|hpp|rc|sh|py|cmake)$|CMakeLists\.txt$' |
    tr '\n' '\0' | xargs -0 -r cat | grep -cv '^\s*$'; }
tests=$(lines tests) program=$(lines generation window) others=$(lines . ':!tests')
awk -v t="$tests" -v p="$program" -v o="$others" 'BEGIN {
    printf "tests %d, all other code %d: %.1f%% (at most 33.3%%); the program: %d\n", t, o,
        100 * t / o, p }'

#!/usr/bin/env bash
# The size of the tests against the code they test, in non-blank lines of the same kinds of files
# on both sides (C++, resource scripts, shell, Python, CMake): tests/ against the program
# (generation/ and window/), kept to at most 38%, and against all other code, at most a third.
set -euo pipefail
cd "$(dirname "$0")/.."
lines() { git ls-files "$@" | grep -E '\.(cpp|h|hpp|rc|sh|py|cmake)$|CMakeLists\.txt$' |
    tr '\n' '\0' | xargs -0 -r cat | grep -cv '^\s*$'; }
tests=$(lines tests) program=$(lines generation window) others=$(lines . ':!tests')
awk -v t="$tests" -v p="$program" -v o="$others" 'BEGIN {
    printf "tests %d, program %d: %.1f%% (at most 38%%)\n", t, p, 100 * t / p
    printf "tests %d, all other code %d: %.1f%% (at most 33.3%%)\n", t, o, 100 * t / o }'

#!/usr/bin/env bash
# Prints the non-blank lines of the tests against those of the program (generation/ and window/),
# the figure the project keeps to about a third.
set -euo pipefail
cd "$(dirname "$0")/.."
lines() { git ls-files "$1" | grep -E "$2" | tr '\n' '\0' | xargs -0 cat | grep -cv '^\s*$'; }
tests=$(lines tests '\.(cpp|h|hpp|sh|py|txt|cmake)$')
program=$(($(lines generation '\.(cpp|h|hpp|rc)$') + $(lines window '\.(cpp|h|hpp|rc)$')))
awk -v t="$tests" -v p="$program" 'BEGIN { printf "tests %d, program %d: %.1f%%\n", t, p, 100 * t / p }'

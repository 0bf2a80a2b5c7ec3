#!/usr/bin/env bash
# Starts Tallymere, the empty minimal Qt window and the minimal window with Chinese text in turn
# on a display of their own, RUNS times each, and prints the median time to the first frame and
# the median peak memory of each:
#   startup.sh FIRST_FRAME TALLYMERE MINIMAL_WINDOW RUNS
# Output: one line "NAME MS KIB" for each of tallymere, minimal and minimal_text.
set -euo pipefail
source "$(dirname "$0")/../scripts/own_display.sh"
first_frame=$1 tallymere=$2 minimal=$3 runs=$4

start_own_display

# Tallymere runs from a copy, so that nothing is written beside the build.
cp "$tallymere" "$work/tallymere"
# One start of each first, so that no program pays for a cold disk cache.
"$first_frame" "$work/tallymere" >/dev/null
"$first_frame" "$minimal" --text >/dev/null
for _ in $(seq "$runs"); do
    "$first_frame" "$work/tallymere" >>"$work/tallymere.txt"
    "$first_frame" "$minimal" >>"$work/minimal.txt"
    "$first_frame" "$minimal" --text >>"$work/minimal_text.txt"
done

median() {
    sort -n -k"$2" "$1" | awk -v column="$2" '{ v[NR] = $column }
        END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
for name in tallymere minimal minimal_text; do
    echo "$name $(median "$work/$name.txt" 1) $(median "$work/$name.txt" 2)"
done

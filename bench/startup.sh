#!/usr/bin/env bash
# Starts Tallymere and the minimal window in turn on a display of their own, RUNS times each, and
# prints the median time to the first frame and the median peak memory of each. The Qt minimal
# window runs twice, empty and with the form's captions; with `wine32` or `wine64`, both programs are
# Windows programs of that width, run under a Wine server that stays up, and the minimal window
# shows the captions.
#   startup.sh FIRST_FRAME TALLYMERE MINIMAL_WINDOW RUNS [wine32|wine64]
# Output: one line "NAME MS KIB" for each of tallymere, minimal (and minimal_text).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/own_display.sh"
first_frame=$1 tallymere=$2 minimal=$3 runs=$4 launcher=

start_own_display
names=(tallymere minimal minimal_text)
if [ -n "${5:-}" ]; then
    source "$root/scripts/wine-prefix.sh"
    use_wine "${5#wine}"
    launcher=$wine
    wineserver -p
    trap 'wineserver -k 2>/dev/null || true; kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
    names=(tallymere minimal)
fi
# Tallymere runs from a copy, so that nothing is written beside the build.
cp "$tallymere" "$work/"
run() {
    case $1 in
    tallymere) "$first_frame" $launcher "$work/$(basename "$tallymere")" ;;
    minimal) "$first_frame" $launcher "$minimal" ;;
    minimal_text) "$first_frame" "$minimal" --text ;;
    esac
}
# One start of each first, so that no program pays for a cold disk cache.
for name in "${names[@]}"; do run "$name" >/dev/null; done
for _ in $(seq "$runs"); do
    for name in "${names[@]}"; do run "$name" >>"$work/$name.txt"; done
done

median() {
    sort -n -k"$2" "$1" | awk -v column="$2" '{ v[NR] = $column }
        END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
for name in "${names[@]}"; do
    echo "$name $(median "$work/$name.txt" 1) $(median "$work/$name.txt" 2)"
done

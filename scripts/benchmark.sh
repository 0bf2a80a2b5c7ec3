#!/usr/bin/env bash
# Builds the benchmarks optimised as the program is, runs them all, and writes the figures, the
# machine and the commands to docs/performance.md (or to the file given).
#   bash scripts/benchmark.sh [OUTPUT.md]
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-docs/performance.md}
source scripts/packages.sh
source scripts/wine-prefix.sh
bash scripts/install-packages.sh "${build_packages[@]}" "${test_packages[@]}" \
    "${windows_build_packages[@]}" "${windows_test_packages[@]}"

cmake --preset bench
cmake --build --preset bench
cmake --preset windows
cmake --build --preset windows
bench=build/bench/bench
runs=21
# The 32-bit Tallymere.exe that ships, and its anchor, where the machine runs 32-bit x86 code.
if runs_32_bit_code; then
    bash scripts/install-packages.sh "${windows32_test_packages[@]}"
    cmake --preset windows32 -B build/bench-windows32 -DBUILD_TESTING=OFF -DTALLYMERE_BENCHMARKS=ON
    cmake --build build/bench-windows32
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Many short repetitions in random order: the disk's flush drifts over seconds, and both sides of
# a ratio should meet the same drift.
"$bench/core_bench" --benchmark_repetitions=30 --benchmark_min_time=0.05 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_format=csv >"$work/core.csv"
bash bench/startup.sh "$bench/first_frame" build/bench/window/qt/tallymere "$bench/minimal_window" \
    "$runs" >"$work/startup.txt"
bash bench/startup.sh build/windows/bench/first_frame build/windows/window/win32/Tallymere.exe \
    build/windows/bench/plain_form.exe "$runs" wine64 >"$work/startup-wine.txt"
win32=build/bench-windows32
if [ -x "$win32/bench/first_frame" ]; then
    bash bench/startup.sh "$win32/bench/first_frame" "$win32/window/win32/Tallymere.exe" \
        "$win32/bench/plain_form.exe" "$runs" wine32 >"$work/startup-wine32.txt"
fi

# The median time of a benchmark, in its own unit ("ns"), from the CSV report.
core() {
    awk -F, -v name="\"$1_median\"" '$1 == name { printf "%.0f", $3 }' "$work/core.csv"
}
startup() {
    awk -v name="$1" -v column="$2" '$1 == name { print $column }' "$work/startup${3:-}.txt"
}
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}
verdict() {
    awk -v value="$1" -v goal="$2" 'BEGIN { print (value <= goal ? "met" : "not met") }'
}

run_start=$(core BM_wholeRun/largest:0) append_start=$(core BM_plainAppend/largest:0/flushed:1)
run_largest=$(core BM_wholeRun/largest:1) append_largest=$(core BM_plainAppend/largest:1/flushed:1)
unflushed_start=$(core BM_plainAppend/largest:0/flushed:0)
unflushed_largest=$(core BM_plainAppend/largest:1/flushed:0)
compose_single=$(core BM_composeSheet/chained:0) compose_chained=$(core BM_composeSheet/chained:1)
ratio_start=$(ratio "$run_start" "$append_start")
ratio_largest=$(ratio "$run_largest" "$append_largest")
t_ms=$(startup tallymere 2) m_ms=$(startup minimal 2) x_ms=$(startup minimal_text 2)
t_kib=$(startup tallymere 3) m_kib=$(startup minimal 3) x_kib=$(startup minimal_text 3)
time_ratio=$(ratio "$t_ms" "$m_ms") memory_ratio=$(ratio "$t_kib" "$m_kib")
# One width's row of the table of Tallymere.exe against the plain form; none where it was not run.
wine_row() {
    [ -s "$work/startup$2.txt" ] || { echo "| $1-bit | not run: this machine runs no 32-bit code | | | | |" && return; }
    local time memory
    time=$(ratio "$(startup tallymere 2 "$2")" "$(startup minimal 2 "$2")")
    memory=$(ratio "$(startup tallymere 3 "$2")" "$(startup minimal 3 "$2")")
    echo "| $1-bit | $(startup tallymere 2 "$2") ms, $(startup tallymere 3 "$2") KiB |" \
        "$(startup minimal 2 "$2") ms, $(startup minimal 3 "$2") KiB | ${time}× | ${memory}× |" \
        "$(verdict "$(awk -v t="$time" -v m="$memory" 'BEGIN { print (t > m ? t : m) }')" 1.1) |"
}

cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
os=$(. /etc/os-release && echo "$PRETTY_NAME")
compiler=$(c++ --version | head -n 1)
qt=$(dpkg-query -W -f='${Version}' qt6-base-dev)
wine=$(/usr/lib/wine/wine64 --version 2>/dev/null)
filesystem=$(df -T "${TMPDIR:-/tmp}" | awk 'NR == 2 { print $2 }')

# Only what this run measured; explanations, written by hand, are in performance-notes.md.
cat >"$output" <<DOC
# Performance

Measured on $(date -u +%Y-%m-%d) by \`bash scripts/benchmark.sh\`, which builds the \`bench\`
preset (Release, as the program is built) and the \`windows\` preset, and writes this file.
Explanations of these figures, written by hand and dated, are in
[performance-notes.md](performance-notes.md).

- Machine: ${cpu:-unknown CPU}, $(nproc) cores, $(free -g | awk '/^Mem:/ { print $2 }') GiB
- System: $os, Linux $(uname -r)
- Compiler and toolkit: $compiler; Qt $qt; $wine
- Worksheet files of the benchmarks: \`${TMPDIR:-/tmp}\` ($filesystem)

## The worksheet core

\`build/bench/bench/core_bench --benchmark_repetitions=30 --benchmark_min_time=0.05
--benchmark_enable_random_interleaving=true\`: medians of 30 repetitions, taken in random order.

| Benchmark | Median |
|---|---|
| \`drawProblem\`, SingleStep, range 100 | $(core BM_drawProblem/chained:0) ns |
| \`drawProblem\`, ChainedSteps, range 100 | $(core BM_drawProblem/chained:1) ns |
| reseeding the random source | $(core BM_reseed) ns |
| \`formatCell\`, SingleStep | $(core BM_formatCell/chained:0) ns |
| \`formatCell\`, ChainedSteps | $(core BM_formatCell/chained:1) ns |
| composing a 999-problem sheet, SingleStep | $compose_single ns |
| composing a 999-problem sheet, ChainedSteps | $compose_chained ns |

## A whole run against a plain append

A whole run is \`generateWorksheet\`: reading the settings, reseeding, composing the sheet, and
appending it to the worksheet file, which it opens, checks, locks, reads the start of, writes,
flushes to the disk (\`fsync\`) and closes. The plain append opens a file in the same folder, writes
the same bytes once and closes it, with the flush or without. Goal: a whole run at most 1.5× the
flushed append.

| Settings | Whole run | Plain append, flushed | Ratio | Goal | Plain append, not flushed |
|---|---|---|---|---|---|
| the window's start values (range 10, 100 problems, SingleStep) | $run_start ns | $append_start ns | ${ratio_start}× | $(verdict "$ratio_start" 1.5) | $unflushed_start ns |
| the largest sheet (range 100, 999 problems, ChainedSteps) | $run_largest ns | $append_largest ns | ${ratio_largest}× | $(verdict "$ratio_largest" 1.5) | $unflushed_largest ns |

## Start-up

\`bash bench/startup.sh build/bench/bench/first_frame build/bench/window/qt/tallymere
build/bench/bench/minimal_window $runs\`: each program is started $runs times, in turn, on an Xvfb
display of the script's own; medians. The time runs from starting the process to the first
damage (drawing) the X server reports on one of its windows; the memory is the peak resident set
(VmHWM) 300 ms after that frame. The minimal window is an empty Qt Widgets window of Tallymere's
size, built in \`bench/\`; "with text" is the same window holding one label with the window's
Chinese captions.

| Program | First frame | Peak memory |
|---|---|---|
| Tallymere | $t_ms ms | $t_kib KiB |
| minimal Qt window | $m_ms ms | $m_kib KiB |
| minimal Qt window with text | $x_ms ms | $x_kib KiB |

| Goal | Measured | Result |
|---|---|---|
| first frame at most 1.25× the minimal window's | ${time_ratio}× | $(verdict "$time_ratio" 1.25) |
| peak memory at most 1.2× the minimal window's | ${memory_ratio}× | $(verdict "$memory_ratio" 1.2) |
| first frame against the window with text | $(ratio "$t_ms" "$x_ms")× | |
| peak memory against the window with text | $(ratio "$t_kib" "$x_kib")× | |

## Start-up of Tallymere.exe under Wine

\`bash bench/startup.sh build/windows/bench/first_frame build/windows/window/win32/Tallymere.exe
build/windows/bench/plain_form.exe $runs wine64\`, and the same of the 32-bit builds in
\`build/bench-windows32\` (the \`windows32\` preset with the benchmarks) with \`wine32\`: the same
measure under Wine's loader of each width, with a Wine server that stays up between the starts.
The plain form, built in \`bench/\` from the form table by the same code as Tallymere.exe's, is
the same window with the same 13 controls, font and manifest, without the DPI code, the
screen-reader names and the note.

| Width | Tallymere.exe | Plain form | Time | Memory | Goal: at most 1.1× on both |
|---|---|---|---|---|---|
$(wine_row 64 -wine)
$(wine_row 32 -wine32)
DOC
echo "Wrote $output"

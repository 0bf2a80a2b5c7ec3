#!/usr/bin/env bash
# Builds the benchmarks optimised as the program is, runs them all, and writes the figures, the
# machine and the commands to docs/performance.md (or to the file given).
#   bash scripts/benchmark.sh [OUTPUT.md]
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-docs/performance.md}
source scripts/packages.sh
bash scripts/install-packages.sh "${build_packages[@]}" "${test_packages[@]}" \
    "${windows_build_packages[@]}" "${windows_test_packages[@]}"

cmake --preset bench
cmake --build --preset bench
cmake --preset windows
cmake --build --preset windows
bench=build/bench/bench
runs=21

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench/core_bench" --benchmark_repetitions=10 --benchmark_min_time=0.2 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_format=csv >"$work/core.csv"
bash bench/startup.sh "$bench/first_frame" build/bench/window/qt/tallymere "$bench/minimal_window" \
    "$runs" >"$work/startup.txt"
bash bench/startup.sh build/windows/bench/first_frame build/windows/window/win32/Tallymere.exe \
    build/windows/bench/minimal_window.exe "$runs" wine64 >"$work/startup-wine.txt"

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
flush_start_us=$(awk -v a="$append_start" -v b="$unflushed_start" 'BEGIN { printf "%.0f", (a - b) / 1000 }')
flush_largest_us=$(awk -v a="$append_largest" -v b="$unflushed_largest" 'BEGIN { printf "%.0f", (a - b) / 1000 }')
compose_single=$(core BM_composeSheet/chained:0) compose_chained=$(core BM_composeSheet/chained:1)
ratio_start=$(ratio "$run_start" "$append_start")
ratio_largest=$(ratio "$run_largest" "$append_largest")
t_ms=$(startup tallymere 2) m_ms=$(startup minimal 2) x_ms=$(startup minimal_text 2)
t_kib=$(startup tallymere 3) m_kib=$(startup minimal 3) x_kib=$(startup minimal_text 3)
time_ratio=$(ratio "$t_ms" "$m_ms") memory_ratio=$(ratio "$t_kib" "$m_kib")
w_ms=$(startup tallymere 2 -wine) wm_ms=$(startup minimal 2 -wine)
w_kib=$(startup tallymere 3 -wine) wm_kib=$(startup minimal 3 -wine)
wine_time_ratio=$(ratio "$w_ms" "$wm_ms") wine_memory_ratio=$(ratio "$w_kib" "$wm_kib")
per_problem=$(awk -v c="$compose_single" 'BEGIN { printf "%.0f", c / 999 }')
compose_start_us=$(awk -v c="$compose_single" 'BEGIN { printf "%.1f", c / 9990 }')
compose_largest_us=$(awk -v c="$compose_chained" 'BEGIN { printf "%.0f", c / 1000 }')
text_ms=$(awk -v x="$x_ms" -v m="$m_ms" 'BEGIN { printf "%.1f", x - m }')
text_kib=$(awk -v x="$x_kib" -v m="$m_kib" 'BEGIN { printf "%.0f", x - m }')

cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
os=$(. /etc/os-release && echo "$PRETTY_NAME")
compiler=$(c++ --version | head -n 1)
qt=$(dpkg-query -W -f='${Version}' qt6-base-dev)
wine=$(/usr/lib/wine/wine64 --version 2>/dev/null)
filesystem=$(df -T "${TMPDIR:-/tmp}" | awk 'NR == 2 { print $2 }')

cat >"$output" <<DOC
# Performance

Measured on $(date -u +%Y-%m-%d) by \`bash scripts/benchmark.sh\`, which builds the \`bench\`
preset (Release, as the program is built) and writes this file.

- Machine: ${cpu:-unknown CPU}, $(nproc) cores, $(free -g | awk '/^Mem:/ { print $2 }') GiB
- System: $os, Linux $(uname -r)
- Compiler and toolkit: $compiler; Qt $qt
- Worksheet files of the benchmarks: \`${TMPDIR:-/tmp}\` ($filesystem)

## The worksheet core

\`build/bench/bench/core_bench --benchmark_repetitions=10 --benchmark_min_time=0.2
--benchmark_enable_random_interleaving=true\`: medians of ten repetitions, taken in random order
so that a busy moment of the machine does not fall on one benchmark alone.

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
appending it under an exclusive lock after checking that the file is a regular file, then waiting
until the bytes are on the disk (\`fsync\`), so that a sheet reported as written survives a power
cut. The floor is the least any program can do to append the same bytes with the same promise:
open, one write, \`fsync\`, close, in the same process, to a file in the same folder. Goal: at most
2× the floor.

| Settings | Whole run | Plain append | Ratio | Goal |
|---|---|---|---|---|
| the window's start values (range 10, 100 problems, SingleStep) | $run_start ns | $append_start ns | ${ratio_start}× | $(verdict "$ratio_start" 2) |
| the largest sheet (range 100, 999 problems, ChainedSteps) | $run_largest ns | $append_largest ns | ${ratio_largest}× | $(verdict "$ratio_largest" 2) |

The flush is most of both: the same append without it takes $unflushed_start ns (start values)
and $unflushed_largest ns (largest sheet), so the flush costs about $flush_start_us µs and
$flush_largest_us µs on this machine's disk; a slower disk may take milliseconds, still far below
anything a user can notice. The rest of the difference is the sheet itself, work the
floor does not do. Composing costs about $per_problem ns a problem (SingleStep), most of it
\`drawProblem\` and \`formatCell\` (the table above): $compose_start_us µs for the start values
and $compose_largest_us µs for the largest sheet. Each problem takes four or five draws, each a
call through the random source's interface (which lets the tests script every draw), widened to
double precision, scaled and floored, and each bound depends on the draw before it. The lock and
the check that the file is a regular file take one system call each.

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

Where a goal is not met, the difference is Chinese text. The empty window never loads a font,
while any window with Chinese captions makes Qt build its font database through fontconfig and
load a CJK font. The window with text shows what that alone costs: $text_ms ms and $text_kib KiB.
Against that window, Tallymere takes $(ratio "$t_ms" "$x_ms")× the time and
$(ratio "$t_kib" "$x_kib")× the memory.

## Start-up of Tallymere.exe under Wine

\`bash bench/startup.sh build/windows/bench/first_frame build/windows/window/win32/Tallymere.exe
build/windows/bench/minimal_window.exe $runs wine64\`: the same measure, with $wine and a Wine server
that stays up between the starts, so that no start pays for the server's. The minimal window is
a Win32 window of the form's size and caption built in \`bench/\` from the form table, holding one
label with all the form's captions in the system's message font. The programs are 64-bit builds:
this machine cannot run the 32-bit Tallymere.exe that ships (it runs no 32-bit x86 code at all).

| Program | First frame | Peak memory |
|---|---|---|
| Tallymere.exe | $w_ms ms | $w_kib KiB |
| minimal Win32 window | $wm_ms ms | $wm_kib KiB |

| Goal | Measured | Result |
|---|---|---|
| first frame at most 1.1× the minimal window's | ${wine_time_ratio}× | $(verdict "$wine_time_ratio" 1.1) |
| peak memory at most 1.1× the minimal window's | ${wine_memory_ratio}× | $(verdict "$wine_memory_ratio" 1.1) |

Under Wine every window costs calls to its server: Tallymere.exe creates thirteen controls, two of
them combo boxes with an edit field and a list each, before its first frame, where the minimal
window creates one label. Neither the screen-reader names (COM) nor the manifest's common
controls and DPI awareness make a difference that these runs can tell apart from their noise.

Debian's Google Benchmark library is built without NDEBUG and says so in its report
("Library was built as DEBUG"); that touches the harness, not the code measured.
DOC
echo "Wrote $output"

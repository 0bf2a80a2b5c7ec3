#!/usr/bin/env bash
# Starts the built program in a real X window on a display of its own, takes a screenshot,
# presses 生成Word and OK with real input events, checks the sheet it wrote, then presses 退出.
#   real_window_check.sh PROGRAM GRAB_WINDOW WORKSHEET_CHECK SCREENSHOT.png
set -euo pipefail
source "$(dirname "$0")/../../scripts/own_display.sh"
program=$1 grab=$2 check=$3 screenshot=$4

start_own_display

# The program writes next to itself, so it runs from a copy in a folder of the check's own.
cp "$program" "$work/tallymere"
"$work/tallymere" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tallymere$' | head -n 1 || true)
[ -n "$window" ] || { echo "the window did not appear"; exit 1; }
sleep 0.5 # let the first frame paint before the screenshot
"$grab" "$window" "$screenshot"

# 生成Word sits at (216, 96) with a size of 105 x 33 pixels.
xdotool mousemove --window "$window" 268 112 click 1
for _ in $(seq 100); do
    box=$(xdotool search --onlyvisible --name '^Tallymere$' | grep -vx "$window" | head -n 1 || true)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || { echo "no completion box appeared"; exit 1; }
xdotool windowfocus --sync "$box" key Return
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^Tallymere$' | grep -qx "$box" || break
    sleep 0.1
done

"$check" "$work/口算题.doc" 1 100 10 single

# 退出 sits at (216, 136).
xdotool mousemove --window "$window" 268 152 click 1
ended_by_quit "$app"
echo "real window check passed"

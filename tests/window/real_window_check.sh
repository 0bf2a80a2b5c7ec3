#!/usr/bin/env bash
# Starts the built program in a real X window on a display of its own, takes a screenshot, works
# it with the keyboard alone (list steps, Tab, Enter on 生成Word and OK), checks the sheet it
# wrote, then presses 退出 with Enter.
#   real_window_check.sh PROGRAM GRAB_WINDOW WORKSHEET_CHECK SCREENSHOT.png
set -euo pipefail
source "$(dirname "$0")/../../scripts/own_display.sh"
program=$1 grab=$2 check=$3 screenshot=$4

start_own_display

# The program writes next to itself, so it runs from a copy in a folder of the check's own, named
# in Latin-1 ("xé") as on older systems: not valid UTF-8, and the sheet must still land in it.
folder="$work/x"$'\xe9'
mkdir "$folder"
cp "$program" "$folder/tallymere"
"$folder/tallymere" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tallymere$' | head -n 1 || true)
[ -n "$window" ] || { echo "the window did not appear"; exit 1; }
sleep 0.5 # let the first frame paint before the screenshot
"$grab" "$window" "$screenshot"

# From Combo1: Down steps 10 to the next entry, 20; four Tabs reach Combo2, where Up steps 100 back
# to 80; two Shift+Tabs reach 生成Word, which Enter presses.
xdotool windowfocus --sync "$window" key Down Tab Tab Tab Tab Up shift+Tab shift+Tab Return
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

"$check" "$folder/口算题.doc" 1 80 20 single

# The focus is back on 生成Word; Tab reaches 退出, which Enter presses.
xdotool windowfocus --sync "$window" key Tab Return
ended_by_quit "$app"
echo "real window check passed"

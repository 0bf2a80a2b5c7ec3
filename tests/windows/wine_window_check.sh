#!/usr/bin/env bash
# Starts Tallymere.exe under Wine in a real window on a display of its own and lets drive_form1
# work it as a user would; optionally saves a screenshot of the window first. Then it starts the
# program again on a 144-dpi screen and checks that the form grows with it, and last works it once
# more as on a Chinese Windows, from a folder with a Chinese name.
#   wine_window_check.sh TALLYMERE.exe DRIVE_FORM1.exe [GRAB_WINDOW SCREENSHOT.png]
set -euo pipefail
here=$(dirname "$0")
source "$here/../../scripts/own_display.sh"
source "$here/../../scripts/wine-prefix.sh"
program=$1 driver=$2 grab=${3:-} screenshot=${4:-}

start_own_display
# A prefix of its own: Wine's desktop belongs to the display its server first met.
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "$driver")" && pwd)/wine}"
use_wine_prefix
trap 'wineserver -k 2>/dev/null || true; kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# Wine reads the screen's DPI when its server starts, so the server is let go afterwards.
screen_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    wineserver --wait
}
screen_dpi 96

# The program writes next to itself, so it runs from a copy in a folder of the check's own.
mkdir "$work/sheets"
cp "$program" "$work/sheets/Tallymere.exe"
wine "$work/sheets/Tallymere.exe" &
app=$!

if [ -n "$grab" ]; then
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tallymere$' | head -n 1)
    sleep 1 # let the first frame paint
    "$grab" "$window" "$screenshot"
fi

folder=$(winepath -w "$work/sheets")
wine "$driver" "$folder"
ended_by_quit "$app"

screen_dpi 144
wine "$work/sheets/Tallymere.exe" &
app=$!
wine "$driver" "$folder" 144
ended_by_quit "$app"
screen_dpi 96

# Code page 936, and a folder name that only it, not the Western code page, can hold. Wine takes
# the Windows locale from LC_ALL and reads names through the matching Linux locale, made here.
localedef -i zh_CN -f UTF-8 "$work/zh_CN.UTF-8"
export LOCPATH="$work"
chinese="$WINEPREFIX/drive_c/用户/桌面/口算"
rm -rf "$chinese"
mkdir -p "$chinese"
cp "$program" "$chinese/Tallymere.exe"
env LC_ALL=zh_CN.UTF-8 wine 'C:\用户\桌面\口算\Tallymere.exe' &
app=$!
report=$(env LC_ALL=zh_CN.UTF-8 wine "$driver" 'C:\用户\桌面\口算')
ended_by_quit "$app"
[[ $report == *"code page 936"* ]] || { echo "not run on code page 936: $report"; exit 1; }
echo "Wine window check passed"

#!/usr/bin/env bash
# Works the Qt program, or Tallymere.exe under Wine as on a Chinese Windows and then at 144 dpi, in
# a real window on an Xvfb display of its own with the same real keys and clicks; the oracle reads
# the sheets, pixels the controls and the message boxes' icons.
#   real_window_check.sh qt|wine PROGRAM WORKSHEET_CHECK...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/own_display.sh"
kind=$1 program=$2 && shift 2 && check=("$@")
start_own_display
fail() { echo "$kind: $*" && exit 1; }

if [ "$kind" = qt ]; then
    folder="$work/x"$'\xe9' # named in Latin-1, as on older systems: not valid UTF-8
    mkdir "$folder"
    cp "$program" "$folder/tallymere"
    start() { "$folder/tallymere" & app=$!; }
else
    # With no window manager, Wine's top-level X window is exactly the client area.
    source "$root/scripts/wine-prefix.sh"
    export WINEPREFIX="$root/build/wine-window" LC_ALL=zh_CN.UTF-8 LOCPATH="$root/build/locale"
    [ -d "$LOCPATH/zh_CN.UTF-8" ] || { mkdir -p "$LOCPATH" && localedef -i zh_CN -f UTF-8 "$_/zh_CN.UTF-8"; }
    use_wine_prefix
    trap 'wineserver -k 2>/dev/null || true; kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
    folder="$WINEPREFIX/drive_c/用户/桌面/口算"
    rm -rf "$folder" && mkdir -p "$folder"
    cp "$program" "$folder/Tallymere.exe"
    start() { wine 'C:\用户\桌面\口算\Tallymere.exe' & app=$!; }
    drive=Z: # where Windows programs see the Linux files
fi
# Wine reads the screen's DPI when its server starts.
at_dpi() {
    dpi=$1
    [ "$kind" = qt ] && return
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    wineserver --wait
}

# A window with the program's caption, other than $1.
shown_window() {
    local found
    for _ in $(seq 100); do
        found=$(xdotool search --onlyvisible --name '^Tallymere$' | grep -vx "${1:-}" || true)
        [ -n "$found" ] && echo "${found%%$'\n'*}" && return
        sleep 0.1
    done
    return 1
}

# How many pixels of window $1's rectangle X Y WIDTH HEIGHT are of a strong colour (as in an icon),
# and how many white. xwd's dump is a header, a colour map, then rows of 4-byte pixels.
count_pixels() {
    xwd -silent -id "$1" >"$work/shot"
    local field=(0 $(od -An -v -tu4 --endian=big -N100 "$work/shot")) y
    for ((y = $3; y < $3 + $5; y++)); do
        od -An -v -tu1 -w4 -j $((field[1] + field[20] * 12 + y * field[13] + $2 * 4)) \
            -N $(($4 * 4)) "$work/shot"
    done | awk '{ hi = lo = $1; for (i = 2; i <= 3; i++) { hi = $i > hi ? $i : hi; lo = $i < lo ? $i : lo }
                  strong += hi - lo > 80; white += lo == 255 } END { print strong + 0, white + 0 }'
}

# Twips, from the window's top-left, to pixels.
pixels() { echo $((($1 * dpi + 720) / 1440)); }
middle() { echo $(pixels $(($1 + $3 / 2))) $(pixels $(($2 + $4 / 2))); }
combo1=(600 600 975 300) combo2=(600 1800 975 300) generate=(3240 1440 1575 495) quit=(3240 2040 1575 495)
click() { xdotool mousemove --window "$window" $(middle "$@") click 1; }
keys() { xdotool windowfocus --sync "$window" key --delay 100 "$@"; }

# The form where the twips put it: the middle of both combo boxes' fields is white, not hidden.
show_form() {
    start
    window=$(shown_window) || fail "the window did not appear"
    sleep 1
    for field in "${combo1[*]}" "${combo2[*]}"; do
        local at=($(middle $field))
        [ "$(count_pixels "$window" $((at[0] - 2)) $((at[1] - 2)) 4 4)" = "0 16" ] ||
            fail "the combo box at $field twips is hidden at $dpi dpi"
    done
}

# Answers the next message box with Return; $1 says whether it should have an icon.
answer_box() {
    local box counts
    box=$(shown_window "$window") || fail "no message box appeared"
    sleep 0.5
    counts=($(count_pixels "$box" 0 0 60 60))
    [ $((counts[0] > 0)) = "$1" ] || fail "a box has ${counts[0]} icon pixels"
    xdotool windowfocus --sync "$box" key Return
    while xdotool search --onlyvisible --name '^Tallymere$' | grep -qx "$box"; do sleep 0.1; done
}

# The sheet of 80 problems within $1, read by the oracle from a name every code page holds.
check_sheet() {
    mv "$folder/口算题.doc" "$work/sheet"
    "${check[@]}" "${drive:-}$work/sheet" 1 80 "$1" "$2" || fail "no sheet of 80 $2 within $1"
}

at_dpi 96
show_form
keys Tab Tab Tab Tab Up # in Combo2, from 100 back to 80
mkdir "$folder/口算题.doc"
click "${generate[@]}"
answer_box 1
rmdir "$folder/口算题.doc"
keys Return # the click left the focus on 生成Word
answer_box 0
check_sheet 10 single
# 连加减 by the arrow key, and "3" typed over the selected "10" in Combo1.
keys shift+Tab Right shift+Tab 3 Tab Tab Return
answer_box 0
check_sheet 3 chained
keys Tab Return
ended_by_quit "$app"
[ ! -e "$folder/口算题.doc" ] || fail "退出 wrote a sheet"

if [ "$kind" = wine ]; then
    at_dpi 144
    show_form
    click "${quit[@]}"
    ended_by_quit "$app"
fi
echo "$kind window check passed"

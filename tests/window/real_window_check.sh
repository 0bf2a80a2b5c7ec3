#!/usr/bin/env bash
# Works the Qt program, or Tallymere.exe under 32- or 64-bit Wine as on a Chinese Windows 7, then 10
# at 144 dpi, on an Xvfb display of its own with real keys and clicks; the oracle reads the sheets,
# pixels the controls and the boxes' icons. Every wait has a deadline; 77 means Wine cannot run it.
#   real_window_check.sh qt|wine32|wine64 PROGRAM WINDOW_CHECK_TOOL
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/own_display.sh"
source "$root/scripts/wine-prefix.sh"
kind=$1 program=$2 tool=$3
[ "$kind" = qt ] || wine_for "${kind#wine}"
start_own_display
fail() { echo "$kind: $*" && exit 1; }

if [ "$kind" = qt ]; then
    folder="$work/x"$'\xe9' # named in Latin-1, as on older systems: not valid UTF-8
    install -D "$program" "$folder/tallymere"
    start() { "$folder/tallymere" & app=$!; }
    helper() { "$@"; }
else
    # With no window manager, Wine's top-level X window is exactly the client area.
    export WINEPREFIX="$root/build/wine-window" LOCPATH="$work"
    localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" && export LC_ALL=zh_CN.UTF-8
    use_wine "${kind#wine}"
    trap 'wineserver -k 2>/dev/null || true; kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
    helper() { "$wine" "$@" | tr -d '\r'; }
    # Installs the program in the Windows folder $1 and starts it from there.
    install_in() {
        folder=$(helper winepath -u "$1") exe="$1\Tallymere.exe"
        rm -rf "$folder" && install -D "$program" "$folder/Tallymere.exe"
    }
    install_in 'C:\老师\口算'
    start() { "$wine" "$exe" & app=$!; }
    drive=Z: # where Windows programs see the Linux files
fi
# The form's layout at a DPI; Wine, as the Windows version $2, reads the DPI when its server starts.
at_dpi() {
    dpi=$1 layout=$(helper "$tool" layout "$1")
    [ "$kind" = qt ] && return
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    "$wine" reg add 'HKCU\Software\Wine' /v Version /d "$2" /f >/dev/null
    wineserver --wait
}
# Runs the command given every tenth of a second until it succeeds, for $1 seconds at most.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] && sleep 0.1 || return 1
    done
}
# Sets $found to a window with the program's caption, other than $1.
shown() { found=$(xdotool search --onlyvisible --name '^Tallymere$' | grep -vx "${1:-}" | head -1); }

# How many pixels of window $1's rectangle X Y WIDTH HEIGHT are of a strong colour (as in an icon),
# white and dark (as in text). xwd's dump is a header, a colour map, then rows of 4-byte pixels.
count_pixels() {
    xwd -silent -id "$1" >"$work/shot" || return
    local field=(0 $(od -An -v -tu4 --endian=big -N100 "$work/shot")) y
    for ((y = $3; y < $3 + $5; y++)); do
        od -An -v -tu1 -w4 -j $((field[1] + field[20] * 12 + y * field[13] + $2 * 4)) \
            -N $(($4 * 4)) "$work/shot"
    done | awk '{ hi = lo = $1; for (i = 2; i <= 3; i++) { hi = $i > hi ? $i : hi; lo = $i < lo ? $i : lo }
                  strong += hi - lo > 80; white += lo == 255; dark += hi < 80 }
                END { print strong + 0, white + 0, dark + 0 }'
}

# The middle of a control, in the window's pixels, as the form's table puts it.
middle() { awk -v name="$1" '$1 == name && $2 == 0 { print $3, $4 }' <<<"$layout"; }
click() { xdotool mousemove --window "$window" $(middle "$1") click 1; }
keys() { xdotool windowfocus --sync "$window" key --delay 100 "$@"; }
# A control of window class $1 (Form1, or #32770 for a box) says $2, as other programs read it.
says() { helper "${tool%/*}/window_text.exe" "$1" | grep -qxF "$2" || fail "$1 does not say $2"; }

# Once the form is painted, the middle of a combo box's field is white.
field_painted() {
    set -- $(middle "$1")
    [ "$(count_pixels "$window" $(($1 - 2)) $(($2 - 2)) 4 4)" = "0 16 0" ]
}
ended() { ! kill -0 "$app" 2>/dev/null; }
ended_by_quit() { within 10 ended || fail "退出 did not end the program" && wait "$app"; }
show_form() {
    start
    # Wine's first start in a new prefix can be slow on a busy machine.
    within 30 shown && window=$found || fail "no window within 30 s"
    within 10 field_painted Combo1 && within 10 field_painted Combo2 ||
        fail "a combo box's field is hidden at $dpi dpi"
}

# The corner of a message box where an icon goes, once painted (no longer dark) and still.
box_painted() {
    counts=($(count_pixels "$box" 0 0 60 60))
    [ "${counts[*]}" = "$last" ] && [ "${counts[2]}" -lt 1800 ] || { last="${counts[*]}" && false; }
}
box_gone() { ! xdotool search --onlyvisible --name '^Tallymere$' | grep -qx "$box"; }
# Answers the next message box with Return; $1: whether it has an icon, $2: what it says (Wine).
answer_box() {
    local box counts last=
    within 10 shown "$window" && box=$found || fail "no message box appeared"
    within 10 box_painted || fail "the box was never painted"
    [ $((counts[0] > 0)) = "$1" ] || fail "a box has ${counts[0]} icon pixels"
    [ -z "${2:-}" ] || [ "$kind" = qt ] || says '#32770' "$2"
    xdotool windowfocus --sync "$box" key Return
    within 10 box_gone || fail "the box stayed"
}

# The sheet of 80 problems within $1, read by the oracle from a name every code page holds; the
# motto as the system's own converter reads it.
check_sheet() {
    mv "$folder/口算题.doc" "$work/sheet"
    helper "$tool" sheet "${drive:-}$work/sheet" 80 "$1" "$2" || fail "no sheet of 80 $2 within $1"
    [ "$(sed -n 2p "$work/sheet" | iconv -f GBK -t UTF-8)" = $'每天5分钟，口算好轻松！\r' ] ||
        fail "the motto is not in GBK"
}

at_dpi 96 win7
show_form
[ "$kind" = qt ] || says Form1 '练习保存在：C:\老师\口算\口算题.doc'
keys Tab Tab Tab Tab Up # in Combo2, from 100 back to 80
click Command1
answer_box 0
check_sheet 10 single
# 连加减 by the arrow key, and "3" typed over the selected "10" in Combo1.
keys shift+Tab Right shift+Tab 3 Tab Tab Return
answer_box 0
check_sheet 3 chained
# A range that gives no sheet is refused, and nothing is written.
keys shift+Tab shift+Tab End BackSpace BackSpace 0 Tab Tab Return
answer_box 1 请输入1或更大的口算范围，例如10。
[ ! -e "$folder/口算题.doc" ] || fail "a refused range wrote a sheet"
keys Tab Return
ended_by_quit

if [ "$kind" = qt ]; then
    # Under a file-size limit the sheet does not fit: the program says so, and goes on.
    start() { (ulimit -f 1 && exec "$folder/tallymere") & app=$!; }
    show_form
    click Command1
    answer_box 1
    [ ! -e "$folder/口算题.doc" ] || fail "a sheet that did not fit stayed"
else
    at_dpi 144 win10
    # Run from the temporary folder, as Windows runs a program opened inside a .zip; Windows may
    # give that folder by its short name, as C:\Users\ADMINI~1\AppData\Local\Temp.
    install_in 'C:\users\Administrator\Temp\Temp1_口算.zip'
    short=$(helper cmd /c 'dir /x C:\users' | awk '$NF == "Administrator" { print $(NF - 1) }')
    "$wine" reg add 'HKCU\Environment' /v TMP /d 'C:\users\'"$short"'\Temp' /f >/dev/null
    show_form
    says Form1 '程序在临时文件夹里，练习会丢失，请先解压到桌面'
fi
click Command2
ended_by_quit
echo "$kind window check passed"

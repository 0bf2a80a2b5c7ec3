# Sourced. wine_for BITS sets $wine to the Wine loader for Windows programs of BITS (32 or 64) bits;
# use_wine BITS also points Wine at a prefix of the project's own (build/wine unless WINEPREFIX is
# set).
#
# The loader is named explicitly: Debian's `wine` starts the 32-bit loader whenever Wine's 32-bit
# part is installed, even for a 64-bit program, and that fails everything on a machine that runs no
# 32-bit code. Where 32-bit programs cannot run, wine_for says why in one line and exits 77, which
# ctest reports as skipped.
#
# The prefix is made on first use, with a Chinese font as the fallback for the system's fonts, as on
# a Chinese Windows. Its ready mark names the Wine it was made for: a prefix made before Wine's
# 32-bit part was installed cannot start a 32-bit program, so a change of Wine makes it again. A
# failure shows Wine's own words.
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine

# Whether this machine runs 32-bit x86 code at all: a kernel may be built or booted without it.
runs_32_bit_code() {
    local dir status=0
    dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n movl $32, %%ebx\n int $0x80\n' >"$dir/exit.s"
    if as --32 -o "$dir/exit.o" "$dir/exit.s" && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o"; then
        "$dir/exit" 2>/dev/null || status=$?
    fi
    rm -rf "$dir"
    [ "$status" = 32 ]
}

wine_for() {
    wine=$wine64
    [ "$1" = 32 ] || return 0
    runs_32_bit_code ||
        { echo "skipped: this machine runs no 32-bit x86 code, so no 32-bit Wine" && exit 77; }
    [ -x "$wine32" ] ||
        { echo "skipped: Wine's 32-bit part (wine32:i386) is not installed" && exit 77; }
    wine=$wine32
}

use_wine() {
    wine_for "$1"
    local root made
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    export WINEPREFIX="${WINEPREFIX:-$root/build/wine}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko: nothing here needs them, and their installers would wait for a click.
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    made="$("$wine64" --version)$([ -x "$wine32" ] && echo ' with its 32-bit part')"
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Tests start in parallel; one of them makes the prefix while the others wait.
    (
        flock 9
        [ "$(cat "$WINEPREFIX/.tallymere-ready" 2>/dev/null)" = "$made" ] && exit 0
        rm -rf "$WINEPREFIX"
        if "$wine64" wineboot --init >"$WINEPREFIX.log" 2>&1 && link_chinese_font &&
            wineserver --wait; then
            echo "$made" >"$WINEPREFIX/.tallymere-ready"
        else
            echo "Wine could not make the prefix $WINEPREFIX:" && cat "$WINEPREFIX.log" && exit 1
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Characters that the system's fonts lack are drawn from WenQuanYi Micro Hei (fonts-wqy-microhei).
link_chinese_font() {
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    local font
    for font in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
        "$wine64" reg add "$key" /v "$font" /t REG_MULTI_SZ \
            /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >>"$WINEPREFIX.log" 2>&1 || return
    done
}

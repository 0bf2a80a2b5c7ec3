# Sourced. use_wine_prefix makes Wine quiet and points it at a prefix of the project's own
# (build/wine unless WINEPREFIX is set), creating it on first use with a Chinese font as the
# fallback for the system's fonts, as on a Chinese Windows. A prefix is used only once it was made
# whole; a failure shows Wine's own words.
use_wine_prefix() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    export WINEPREFIX="${WINEPREFIX:-$root/build/wine}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko: nothing here needs them, and their installers would wait for a click.
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Tests start in parallel; one of them makes the prefix while the others wait.
    (
        flock 9
        [ -e "$WINEPREFIX/.tallymere-ready" ] && exit 0
        rm -rf "$WINEPREFIX"
        if wineboot --init >"$WINEPREFIX.log" 2>&1 && link_chinese_font && wineserver --wait; then
            touch "$WINEPREFIX/.tallymere-ready"
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
        wine reg add "$key" /v "$font" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' \
            /f >>"$WINEPREFIX.log" 2>&1 || return
    done
}

# Sourced by the checks that run a program in a real window. start_own_display makes a work folder
# ($work), starts Xvfb on a free display and exports DISPLAY once the display answers; a server
# that fails shows its own words and fails the check at once. On exit, every background job stops
# and the folder goes.
start_own_display() {
    local number server
    work=$(mktemp -d)
    trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
    # Xvfb picks the display and writes its number to the pipe; a server that ends first closes it.
    # Without -noreset it resets whenever its last client leaves, as the probe below does, and a
    # program that connects meanwhile is turned away.
    mkfifo "$work/display"
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$work/display" \
        2>"$work/xvfb.log" &
    server=$!
    read -r -t 20 number <"$work/display" || number=
    export DISPLAY=":$number"
    for _ in $(seq 100); do
        [ -n "$number" ] && kill -0 "$server" 2>/dev/null || break
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
        echo "Xvfb gave no display${number:+ that answers (:$number)}; it said:"
        cat "$work/xvfb.log"
        return 1
    fi
    unset QT_QPA_PLATFORM
    # Qt wants a private runtime folder and warns on every start without one.
    mkdir -m 700 "$work/runtime"
    export XDG_RUNTIME_DIR="$work/runtime"
}

# Sourced: start_own_display WORK_FOLDER starts an Xvfb server on a free display, exports DISPLAY
# for it, and leaves its process id in own_display_server for the caller to stop.
start_own_display() {
    local work=$1 number
    # Xvfb picks the display and writes its number to the pipe.
    mkfifo "$work/display"
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    own_display_server=$!
    read -r -t 20 number <"$work/display" || { cat "$work/xvfb.log"; return 1; }
    export DISPLAY=":$number"
    unset QT_QPA_PLATFORM
}

# Sourced by the scripts that show the program on a screen: a virtual X server of their own, on a
# display it chooses itself, so that they can run beside other X servers.
#   kvistel_start_xvfb WORKDIR [WIDTHxHEIGHT]   sets DISPLAY and xvfb_pid; fails when it does not start
kvistel_start_xvfb() {
    local work=$1 screen=${2:-1366x768}
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$work/display" ]; then
        echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2
        return 1
    fi
    export DISPLAY=":$(head -1 "$work/display")"
}

# Sourced by the tests that run the built program on a real X server: skips the test when the
# tools are missing, makes a scratch directory $work that is removed at the end with the program
# ($app_pid) and the server, and starts the server with settings of its own, so that a run leaves
# no remembered home directory or window place behind.
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (tools/test.sh installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*"
    exit 1
}

. "$(dirname "${BASH_SOURCE[0]}")/../../../tools/xvfb.sh"
kvistel_start_xvfb "$work" || fail "no X server"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

#!/usr/bin/env bash
# The program's first start in a real X server, as from the desktop's menu: started where no
# control file is, it asks "Sökväg"; the answer is remembered, so the next start opens the main
# menu directly; --home opens the menu on the directory given.
# Usage: firststart.sh <kvistel binary> <sample directory>
set -u
kvistel=$1
sample=$2
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

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -1 "$work/display")"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" HOME="$work/user"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/user" "$work/empty" "$work/home" "$work/other"
unset QT_QPA_PLATFORM
cp "$sample/trad.sty" "$sample/priser_ac.txt" "$work/home/"
cp "$sample/trad.sty" "$sample/priser_ac.txt" "$work/other/"
settings="$XDG_CONFIG_HOME/Kvistel/Kvistel.conf"

start() { # start <directory> [arguments...]: the program started in a directory
    local dir=$1
    shift
    (cd "$dir" && exec "$kvistel" "$@") >>"$work/kvistel.log" 2>&1 &
    app_pid=$!
}
window() { # window <title>: the visible window of that title, or nothing
    timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" | head -1
}
stop() {
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
    app_pid=""
}

# First start: nothing found, the question comes; the typed answer opens the menu.
start "$work/empty"
wid=$(window "Sökväg")
[ -n "$wid" ] || fail "no question Sökväg at the first start: $(cat "$work/kvistel.log")"
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool type --delay 20 "$work/home"
xdotool key Return
[ -n "$(window Kvistel)" ] || fail "the menu did not open on the answer"
stop
grep -q "^hemkatalog=$work/home\$" "$settings" 2>/dev/null ||
    fail "the home directory was not remembered: $(cat "$settings" 2>/dev/null)"

# Second start from the same empty place: the menu at once, no question.
start "$work/empty"
[ -n "$(window Kvistel)" ] || fail "the remembered home directory did not open the menu"
[ -z "$(xdotool search --onlyvisible --name '^Sökväg$' 2>/dev/null)" ] ||
    fail "the question was asked although a home directory was remembered"
stop

# --home opens another home directory, which is remembered from then on.
start "$work/empty" --home "$work/other"
[ -n "$(window Kvistel)" ] || fail "--home did not open the menu"
stop
grep -q "^hemkatalog=$work/other\$" "$settings" || fail "--home was not remembered"
cmp -s "$sample/trad.sty" "$work/home/trad.sty" || fail "starting changed trad.sty"
echo "PASSED: asked once, remembered, and --home honoured"

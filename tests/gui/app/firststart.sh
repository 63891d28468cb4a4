#!/usr/bin/env bash
# The program's first start in a real X server, as from the desktop's menu: started where no
# control file is, it asks "Sökväg"; the answer is remembered, so the next start opens the main
# menu directly; --home opens the menu on the directory given. An empty answer is told what is
# missing and asked again; a remembered home that is gone is named before the question.
# Usage: firststart.sh <kvistel binary> <sample directory>
set -u
kvistel=$1
sample=$2
. "$(dirname "$0")/xtest.sh"
export HOME="$work/user"
mkdir -p "$work/user" "$work/empty" "$work/home" "$work/other"
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
menu() { # the main menu, titled with the home directory it opened
    window "Kvistel – $1"
}
shown() { # the titles of the visible windows, for a failure's message
    xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|'
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
# Return on nothing: the program says what is missing instead of ending.
xdotool key Return
box=$(window Kvistel)
[ -n "$box" ] || fail "an empty answer was not told what is missing"
xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key Return
wid=$(window "Sökväg")
[ -n "$wid" ] || fail "the question was not asked again after an empty answer"
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool type --delay 20 "$work/home"
xdotool key Return
[ -n "$(menu "$work/home")" ] || fail "the menu did not open on the answer"
stop
grep -q "^hemkatalog=$work/home\$" "$settings" 2>/dev/null ||
    fail "the home directory was not remembered: $(cat "$settings" 2>/dev/null)"

# Second start from the same empty place: the menu at once, no question.
start "$work/empty"
[ -n "$(menu "$work/home")" ] ||
    fail "the remembered home directory did not open the menu: $(shown) $(cat "$work/kvistel.log")"
[ -z "$(xdotool search --onlyvisible --name '^Sökväg$' 2>/dev/null)" ] ||
    fail "the question was asked although a home directory was remembered"
stop

# --home opens another home directory, which is remembered from then on.
start "$work/empty" --home "$work/other"
[ -n "$(menu "$work/other")" ] || fail "--home did not open the menu"
stop
grep -q "^hemkatalog=$work/other\$" "$settings" || fail "--home was not remembered"

# The remembered home is gone: the next start names it before asking.
mv "$work/other" "$work/moved"
start "$work/empty"
box=$(window Kvistel)
[ -n "$box" ] || fail "the start did not say that the remembered home is gone"
xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key Return
[ -n "$(window "Sökväg")" ] || fail "no question after the home was said to be gone"
stop
cmp -s "$sample/trad.sty" "$work/home/trad.sty" || fail "starting changed trad.sty"
echo "PASSED: asked once, empty answer asked again, remembered, --home honoured, gone home named"

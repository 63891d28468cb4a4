#!/usr/bin/env bash
# The built program in a real X server: started in a copy of sample/, it shows its main menu in a
# window titled "Kvistel", and "Avsluta", reached with the keyboard, ends it cleanly.
# Usage: realwindow.sh <kvistel binary> <sample directory>
set -u
kvistel=$1
sample=$2
. "$(dirname "$0")/xtest.sh"

mkdir "$work/home"
cp "$sample/trad.sty" "$sample/priser_ac.txt" "$work/home/"
(cd "$work/home" && exec "$kvistel") >"$work/kvistel.log" 2>&1 &
app_pid=$!

wid=$(timeout 15 xdotool search --sync --onlyvisible --name '^Kvistel( – .*)?$' | head -1)
[ -n "$wid" ] || fail "no visible window titled Kvistel appeared"
case "$(xdotool getwindowname "$wid")" in "Kvistel – "*) ;; *) fail "the window title does not name the home directory" ;; esac
read -r width height < <(xdotool getwindowgeometry "$wid" |
    sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
[ "${width:-0}" -gt 200 ] && [ "${height:-0}" -gt 150 ] || fail "the window is ${width}x${height}"
[ "$width" -le 1366 ] && [ "$height" -le 768 ] || fail "the window does not fit 1366x768"

# The focus starts on the first "Välj"; four tabs reach "Avsluta".
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key Tab Tab Tab Tab space
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end after Avsluta"
wait "$app_pid"
status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/kvistel.log")"
cmp -s "$sample/trad.sty" "$work/home/trad.sty" || fail "starting and ending changed trad.sty"
echo "PASSED: window Kvistel ${width}x${height} shown and ended cleanly"

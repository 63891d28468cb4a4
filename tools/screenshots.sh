#!/usr/bin/env bash
# Pictures of every window of Kvistel for the README: starts the built program under a virtual
# X server on a copy of sample/, walks through the windows with the keyboard as a user would
# and writes one PNG per window.
#
# Usage: tools/screenshots.sh [kvistel binary] [output directory]
#   KVISTEL_SCREEN=1366x768   size of the virtual screen
#   QT_SCALE_FACTOR=1.25      Qt's scaling, to see the windows as on a 125 % desktop
#   KVISTEL_WHOLE_SCREEN=1    picture the whole screen instead of the window alone
#   KVISTEL_SHOTS_UNTIL=NAME  stop after the picture NAME (resultat: the menu to the result)
#   KVISTEL_RUNNER=wine       run the program through this (kvistel.exe under Wine)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kvistel=$(realpath "${1:-$root/build/src/gui/app/kvistel}")
out=${2:-$root/docs}
screen=${KVISTEL_SCREEN:-1366x768}
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || {
        echo "$tool saknas: installera xvfb, xdotool och imagemagick" >&2
        exit 1
    }
done
runner=(${KVISTEL_RUNNER:-})
[ -x "$kvistel" ] || [ ${#runner[@]} -gt 0 ] && [ -f "$kvistel" ] || {
    echo "Hittar inte programmet $kvistel: bygg det först" >&2
    exit 1
}
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

. "$root/tools/xvfb.sh"
kvistel_start_xvfb "$work" "$screen"
# A user of its own, whose home directory ~/Kvistel is a copy of the sample: the windows show
# "~/Kvistel", never the temporary directory the pictures are taken in.
export HOME="$work/user" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

# Made as the first start makes a home from the example (all of it: the tree list too).
mkdir -p "$HOME"
"${runner[@]}" "$kvistel" --make-home "$HOME/Kvistel" >"$work/kvistel.log" 2>&1 || {
    cat "$work/kvistel.log" >&2
    exit 1
}
(cd "$HOME/Kvistel" && exec "${runner[@]}" "$kvistel") >"$work/kvistel.log" 2>&1 &
app_pid=$!

current=""
# Waits until a window titled Kvistel other than the one shown before is visible.
next_window() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name '^Kvistel( – .*)?$' 2>/dev/null | tail -1 || true)
        if [ -n "$id" ] && [ "$id" != "$current" ]; then
            current=$id
            sleep 0.6 # let it paint
            return 0
        fi
        sleep 0.1
    done
    echo "Inget nytt fönster visades; programmets utskrift:" >&2
    cat "$work/kvistel.log" >&2
    exit 1
}
shoot() {
    if [ -n "${KVISTEL_WHOLE_SCREEN:-}" ]; then
        import -window root "$out/$1.png"
    else
        import -window "$current" "$out/$1.png"
    fi
    echo "$out/$1.png"
    # KVISTEL_SHOTS_UNTIL=resultat: only the pictures up to that one.
    if [ "${KVISTEL_SHOTS_UNTIL:-}" = "$1" ]; then
        exit 0
    fi
}
keys() {
    xdotool key --delay 80 "$@"
}

# The main menu opens with the focus on its first "Välj"; Escape leaves each work window.
next_window
shoot huvudmeny
keys Return
next_window
shoot parametrar-fore-besoket
keys Escape
next_window
keys Tab Return
next_window
shoot parametrar-i-falt
keys Return # Beräkna
next_window
shoot resultat
keys Escape
next_window
keys Tab Tab Return
next_window
shoot prislista
keys Escape
next_window
keys Tab Tab Tab Return
next_window
# The sample stand, opened and valued.
keys alt+odiaeresis
sleep 1
xdotool type --delay 30 "$HOME/Kvistel/bestand.csv"
keys Return
sleep 1
# Without a window manager the closed file dialog leaves the focus nowhere: it is given back.
xdotool windowfocus "$current"
keys alt+v
sleep 3
shoot tradlista
# The stand's harvest plan, on the second tab.
keys alt+e
sleep 2
shoot avverkningsplan
keys Escape
next_window
keys Escape # Avsluta
wait "$app_pid" || true
app_pid=""

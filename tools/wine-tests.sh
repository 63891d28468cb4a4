#!/usr/bin/env bash
# Kvistel for Windows tried under Wine, after tools/windows.sh --test has built it:
#  1. the core tests, cross-built, pass;
#  2. kvistel.exe --batch (from the zip, as a user unpacks it) writes byte for byte what the
#     Linux program writes, on the sample stand and on lists with Swedish letters;
#  3. the installer installs kvistel.exe, its Start menu entry and the example home, and the
#     uninstaller removes them again;
#  4. the window program, on a virtual screen, opens every window and saves both parameter forms
#     and the price list (test_walkthrough); kvistel.exe from the zip pictures the main menu and
#     the result window (tools/screenshots.sh).
#   bash tools/wine-tests.sh BUILD QT [LINUX_KVISTEL]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tools/windows-env.sh"
. "$root/tools/xvfb.sh"
build=$(cd "$1" && pwd)
qt=$2
linux_kvistel=${3:-$root/build-test/src/app/kvistel}
kvistel_wine_env "$build" "$qt"

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

stage() {
    echo "== Wine: $1"
    SECONDS=0
}
done_stage() {
    echo "   ($SECONDS s)"
}

stage "Wine startas (en ny prefix tar ungefär 15 s första gången)"
wineboot -i >/dev/null 2>&1 || true
# Windows' dialog font, as Wine has it: without it among the prefix's fonts, Qt finds no font for
# its windows' text.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -f "$fonts/tahoma.ttf" ]; then
    cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf "$fonts/"
    for font in "Tahoma:tahoma.ttf" "Tahoma Bold:tahomabd.ttf"; do
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
            /v "${font%%:*} (TrueType)" /d "${font#*:}" /f >/dev/null 2>&1
    done
    wineserver -w
fi
done_stage

stage "kärnans tester"
cmake --build "$build" -j"$(nproc)" --target test_core test_treelist_core engine_test \
    test_walkthrough >/dev/null
for t in tests/core/test_core tests/core/test_treelist_core tests/core/engine/engine_test; do
    QT_QPA_PLATFORM=offscreen timeout 600 wine "$build/$t.exe" --gtest_brief=1 >"$work/out" 2>&1 || {
        cat "$work/out"
        echo "$t misslyckades under Wine" >&2
        exit 1
    }
    tail -1 "$work/out"
done
done_stage

stage "kvistel.exe --batch mot Linux-programmet"
[ -x "$linux_kvistel" ] || {
    echo "Linux-programmet $linux_kvistel saknas: bygg det först (tools/test.sh)" >&2
    exit 1
}
zip=$(ls "$build"/kvistel-*-win64.zip | head -1)
unzip -q "$zip" -d "$work/zip"
exe=$(ls "$work"/zip/*/kvistel.exe)
cp "$root/sample/trad.sty" "$root/sample/priser_ac.txt" "$work/"
printf 'id\r\nprovträdet\r\n' >"$work/sample.csv"
cp "$root"/tests/app/lists/*.csv "$work/"
compared=0
for list in "$work"/*.csv; do
    for full in "" --full; do
        name=$(basename "$list" .csv)$full
        # The Windows program runs alone: no Qt or MinGW library from outside the zip.
        (cd "$work" && "$linux_kvistel" --batch "$list" --home "$work" $full >"$name.linux" || true)
        (cd "$work" && WINEPATH= QT_PLUGIN_PATH= wine "$exe" --batch "$list" --home "$work" $full \
            >"$name.windows" || true)
        cmp "$work/$name.linux" "$work/$name.windows" || {
            diff <(od -c "$work/$name.linux") <(od -c "$work/$name.windows") | head -20
            echo "--batch på $name skiljer sig mellan Linux och Windows" >&2
            exit 1
        }
        [ -s "$work/$name.linux" ] || { echo "--batch på $name skrev inget" >&2; exit 1; }
        compared=$((compared + 1))
    done
done
echo "   $compared utskrifter lika byte för byte"
done_stage

stage "installeraren installerar och avinstallerar"
setup=$(ls "$build"/kvistel-*-win64-setup.exe | head -1)
installed="$WINEPREFIX/drive_c/Program Files/Kvistel"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
wine "$setup" /S
wineserver -w
for file in "$installed/kvistel.exe" "$installed/platforms/qwindows.dll" \
    "$installed/exempel/trad.sty" "$installed/Uninstall.exe"; do
    [ -f "$file" ] || { echo "Installeraren lade inte dit $file" >&2; exit 1; }
done
ls "$menu"/Kvistel*/Kvistel.lnk >/dev/null
wine "C:\\Program Files\\Kvistel\\Uninstall.exe" /S
wineserver -w
sleep 2 # the uninstaller finishes from a copy of itself
wineserver -w
[ ! -e "$installed/kvistel.exe" ] || { echo "Avinstallationen lämnade programmet kvar" >&2; exit 1; }
echo "   Program Files\\Kvistel och startmenyn, sedan borttaget"
done_stage

stage "fönstren under Xvfb och Wine"
kvistel_start_xvfb "$work"
openbox >/dev/null 2>&1 &
QT_QPA_PLATFORM=windows LANG=sv_SE.UTF-8 \
    timeout 300 wine "$build/tests/app/test_walkthrough.exe" --gtest_brief=1 >"$work/out" 2>&1 || {
    cat "$work/out"
    echo "Fönstertestet misslyckades under Wine" >&2
    exit 1
}
tail -1 "$work/out"
# Pictures of the program from the zip, as a user sees it, on a screen of their own: Wine's
# helpers of this screen end with it.
wineserver -k 2>/dev/null || true
kill "$xvfb_pid"
xvfb_pid=""
WINEPATH= QT_PLUGIN_PATH= KVISTEL_RUNNER=wine LANG=sv_SE.UTF-8 KVISTEL_SHOTS_UNTIL=resultat \
    bash "$root/tools/screenshots.sh" "$exe" "$work/shots" >/dev/null
wineserver -k 2>/dev/null || true # the program left open after its last picture
# They stay in the build directory; KVISTEL_UPDATE_DOCS=1 puts them into docs/ for the README,
# so that a test run never changes the source tree.
for shot in huvudmeny resultat; do
    if [ -n "${KVISTEL_UPDATE_DOCS:-}" ]; then
        cp "$work/shots/$shot.png" "$root/docs/wine-$shot.png"
        echo "   docs/wine-$shot.png"
    else
        cp "$work/shots/$shot.png" "$build/wine-$shot.png"
        echo "   $build/wine-$shot.png"
    fi
done
done_stage

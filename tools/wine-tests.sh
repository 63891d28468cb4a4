#!/usr/bin/env bash
# Kvistel for Windows tried under Wine, after tools/windows.sh --test has built it:
#  1. the core tests, cross-built, pass;
#  2. kvistel-batch.exe --batch (from the zip, as a user unpacks it) writes byte for byte what
#     the Linux program writes, on the sample stand and on lists with Swedish letters; its help
#     and messages read in Swedish, its exit status is right;
#  3. kvistel.exe is a window program (PE subsystem Windows GUI: no console beside it),
#     kvistel-batch.exe a console program; both carry Swedish file properties;
#  4. the installer, Swedish throughout (its licence page too), installs both, the example, the
#     licence and the Start menu entries "Kvistel" and "Avinstallera Kvistel"; the first start
#     of the installed program makes a home in Dokument\Kvistel from the example through its own
#     dialogs and shows the menu on it, and the home is valued; a start from the Start menu shows
#     one window, the menu; the uninstaller removes what it installed and leaves every file of
#     the user's as it was;
#  5. the window program, on a virtual screen, opens every window and saves both parameter forms
#     and the price list (test_walkthrough); kvistel.exe from the zip pictures the main menu and
#     the result window (tools/screenshots.sh).
#   bash tools/wine-tests.sh BUILD QT [LINUX_KVISTEL]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tools/windows-env.sh"
. "$root/tools/xvfb.sh"
build=$(cd "$1" && pwd)
qt=$2
linux_kvistel=${3:-$root/build-test/src/gui/app/kvistel}
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
cmake --build "$build" -j"$(nproc)" --target test_core test_treelist_core test_batch \
    engine_test test_walkthrough >/dev/null
for t in tests/core/test_core tests/core/test_treelist_core tests/batch/test_batch \
    tests/core/engine/engine_test; do
    QT_QPA_PLATFORM=offscreen timeout 600 wine "$build/$t.exe" --gtest_brief=1 >"$work/out" 2>&1 || {
        cat "$work/out"
        echo "$t misslyckades under Wine" >&2
        exit 1
    }
    tail -1 "$work/out"
done
done_stage

stage "kvistel-batch.exe --batch mot Linux-programmet"
[ -x "$linux_kvistel" ] || {
    echo "Linux-programmet $linux_kvistel saknas: bygg det först (tools/test.sh)" >&2
    exit 1
}
zip=$(ls "$build"/kvistel-*-win64.zip | head -1)
unzip -q "$zip" -d "$work/zip"
exe=$(ls "$work"/zip/*/kvistel.exe)
batch=$(dirname "$exe")/kvistel-batch.exe
cp "$root/sample/trad.sty" "$root/sample/priser_ac.txt" "$work/"
printf 'id;bdm\r\nprovträdet;32\r\n' >"$work/sample.csv"
cp "$root"/tests/gui/app/lists/*.csv "$work/"
compared=0
for list in "$work"/*.csv; do
    for full in "" --full; do
        name=$(basename "$list" .csv)$full
        # The Windows program runs alone: no Qt or MinGW library from outside the zip.
        (cd "$work" && "$linux_kvistel" --batch "$list" --home "$work" $full >"$name.linux" || true)
        (cd "$work" && WINEPATH= QT_PLUGIN_PATH= wine "$batch" --batch "$list" --home "$work" $full \
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
# The help and the messages in the system's code page (Windows-1252), the exit status as the help
# says: 2 for a file that is not there.
WINEPATH= QT_PLUGIN_PATH= wine "$batch" --help >"$work/help" 2>&1 || true
iconv -f WINDOWS-1252 -t UTF-8 "$work/help" | grep -q "kvistel-batch.exe i samma mapp" || {
    cat "$work/help"
    echo "kvistel-batch.exe --help nämner inte kvistel-batch.exe eller är inte läsbar" >&2
    exit 1
}
status=0
(cd "$work" && WINEPATH= QT_PLUGIN_PATH= wine "$batch" --batch saknas.csv >"$work/out" \
    2>"$work/err") || status=$?
[ "$status" -eq 2 ] && iconv -f WINDOWS-1252 -t UTF-8 "$work/err" | grep -q "saknas.csv" || {
    cat "$work/err"
    echo "kvistel-batch.exe på en fil som saknas: slutstatus $status, inte 2" >&2
    exit 1
}
echo "   --help läsbar, slutstatus 2 för en fil som saknas"
done_stage

stage "kvistel.exe ett fönsterprogram, kvistel-batch.exe ett konsolprogram"
subsystem() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^Subsystem[[:space:]].*(\(.*\))$/\1/p'
}
for pair in "kvistel.exe:Windows GUI" "kvistel-batch.exe:Windows CUI"; do
    program=$(dirname "$exe")/${pair%%:*}
    [ "$(subsystem "$program")" = "${pair#*:}" ] || {
        echo "${pair%%:*} har undersystemet $(subsystem "$program"), inte ${pair#*:}" >&2
        exit 1
    }
    # The file properties: Swedish (041D), with company, description and version.
    properties=$(strings -n 3 -el "$program")
    for field in 041D04B0 CompanyName FileDescription ProductVersion 1.0; do
        grep -qx "$field" <<<"$properties" || {
            echo "${pair%%:*} saknar $field bland filegenskaperna" >&2
            exit 1
        }
    done
    echo "   ${pair%%:*}: ${pair#*:}, filegenskaper på svenska"
done
done_stage

stage "installeraren på svenska"
# The installer's script as makensis built it: Swedish its only language, the Start menu's
# entries and the uninstaller's texts Swedish.
nsi="$build/_CPack_Packages/win64/NSIS/project.nsi"
languages=$(grep -o 'MUI_LANGUAGE "[A-Za-z]*"' "$nsi" | sort -u)
[ "$languages" = 'MUI_LANGUAGE "Swedish"' ] || {
    echo "Installerarens språk är inte bara svenska: $languages" >&2
    exit 1
}
for text in 'Avinstallera Kvistel.lnk' 'är redan installerat' 'Avinstallationen misslyckades'; do
    grep -q "$text" "$nsi" || { echo "Installerarens skript saknar \"$text\"" >&2; exit 1; }
done
if grep -q 'Uninstall\.lnk\|is already installed\|Uninstall failed' "$nsi"; then
    echo "Installerarens skript har engelska texter kvar" >&2
    exit 1
fi
# The licence page: a Swedish text that states the licence and points to its full (English) text
# installed beside the program, with Swedish words around it and a "Nästa" button.
licence=$(sed -n 's/^ *!insertmacro MUI_PAGE_LICENSE "\(.*\)"$/\1/p' "$nsi")
[ -f "$licence" ] || { echo "Installerarens licenssida har ingen text: \"$licence\"" >&2; exit 1; }
for text in 'fri programvara' 'GNU General Public License' 'version 3' 'UTAN NÅGON GARANTI' \
    'LICENSE.txt'; do
    grep -q "$text" "$licence" || { echo "Licenssidan saknar \"$text\"" >&2; exit 1; }
done
for text in 'MUI_PAGE_HEADER_TEXT "Licens"' 'MUI_LICENSEPAGE_TEXT_BOTTOM "Du behöver inte' \
    'MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"'; do
    grep -qF "$text" "$nsi" || { echo "Installerarens skript saknar $text" >&2; exit 1; }
done
# No English left on it: the names of the licence, of its publisher and of the files aside, none
# of the commonest English words.
english=$(sed 's/GNU General Public License//g; s/Free Software Foundation//g; s|https://[^ ]*||g
    s/C:\\Program Files\\[^ )]*//g; s/LICENSE\.txt//g' "$licence" |
    grep -Eiow 'the|of|and|you|this|to|is|for|with|any|warranty|license|program' |
    sort -u | tr '\n' ' ' || true)
[ -z "$english" ] || { echo "Licenssidan har engelska ord: $english" >&2; exit 1; }
echo "   svenska det enda språket; startmenyn Kvistel och Avinstallera Kvistel; licenssidan svensk"
done_stage

stage "installera, första starten med exemplet, avinstallera"
setup=$(ls "$build"/kvistel-*-win64-setup.exe | head -1)
installed="$WINEPREFIX/drive_c/Program Files/Kvistel"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
# A user who has never run Kvistel: no remembered home, no Dokument\Kvistel.
wine reg delete 'HKCU\Software\Kvistel' /f >/dev/null 2>&1 || true
# Wine links Dokument to the Linux user's own folder: here it is a folder of the prefix's own,
# so that the test never writes outside the build directory.
documents="$WINEPREFIX/drive_c/users/$(id -un)/Documents"
if [ -L "$documents" ]; then
    rm "$documents"
fi
rm -rf "$documents/Kvistel"
mkdir -p "$documents"
rm -rf "$installed" # the user's files of an earlier run, left by its uninstaller
wine "$setup" /S
wineserver -w
for file in kvistel.exe kvistel-batch.exe platforms/qwindows.dll exempel/trad.sty \
    exempel/priser_ac.txt exempel/bestand.csv LICENSE.txt Avinstallera.exe; do
    [ -f "$installed/$file" ] || { echo "Installeraren lade inte dit $file" >&2; exit 1; }
done
# The licence page's LICENSE.txt: the licence in full.
cmp -s "$root/LICENSE" "$installed/LICENSE.txt" ||
    { echo "LICENSE.txt bredvid programmet är inte licensen" >&2; exit 1; }
entries=$(cd "$menu"/Kvistel* && ls)
[ "$entries" = "$(printf 'Avinstallera Kvistel.lnk\nKvistel.lnk')" ] || {
    echo "Startmenyn har inte just Kvistel och Avinstallera Kvistel: $entries" >&2
    exit 1
}

kvistel_start_xvfb "$work"
openbox >"$work/openbox.log" 2>&1 &
openbox_pid=$!
# The window manager ready before the first window: windows are activated through it. It is
# ready once it has published its desktops.
openbox_ready() { xdotool get_desktop >/dev/null 2>&1; }
for _ in $(seq 100); do
    openbox_ready && break
    sleep 0.2
done
openbox_ready || { echo "openbox startade inte: $(cat "$work/openbox.log")" >&2; exit 1; }
# xdotool walks the whole window tree; a window destroyed meanwhile (a dialog just closed, its
# frame) is an X error, on which xdotool's Xlib ends it at once with nothing found. Such a search
# is made again, until a deadline, rather than taken for "no window".
search_windows() { # search_windows XDOTOOL-SEARCH-ARGUMENTS...: the ids, from a complete walk
    local found tries
    for tries in 1 2 3 4 5; do
        found=$(xdotool search "$@" 2>"$work/xdotool.err")
        grep -q "X Error" "$work/xdotool.err" || break
        sleep 0.2
    done
    [ -n "$found" ] && echo "$found"
    return 0
}
# The visible top-level windows with a title (openbox's own frames have none).
windows() {
    local id
    for id in $(search_windows --onlyvisible --name '.'); do
        xdotool getwindowname "$id" 2>/dev/null || true
    done | sed '/^$/d' | sort
}
# The menu's title names the home directory in use: "Kvistel – ~\Documents\Kvistel" for the
# new home in Dokument (Wine's English folder name).
menu_title='Kvistel – ~\\Documents\\Kvistel'
wait_for() { # wait_for TITLE: the visible window of that title (an extended regular expression)
    local deadline=$(($(date +%s) + ${KVISTEL_WINE_WAIT:-60})) found
    while [ "$(date +%s)" -lt "$deadline" ]; do
        found=$(search_windows --onlyvisible --name "^$1\$" | head -1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.5
    done
}
# Keys go to the active window, made so through openbox. While openbox has no active window yet
# (it is just taking the new window over), xdotool cannot tell that the window has become active
# and ends without typing: it is asked again.
type_into() { # type_into WINDOW KEY...: the keys typed into that window, made active first
    local window=$1 tries
    shift
    for tries in $(seq 20); do
        if timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>"$work/activate.err"; then
            xdotool key --delay 100 "$@"
            return 0
        fi
        sleep 0.5
    done
    echo "Fönstret $(xdotool getwindowname "$window" 2>/dev/null) blev inte aktivt:" \
        "$(cat "$work/activate.err")" >&2
    kill -0 "$openbox_pid" 2>/dev/null ||
        echo "openbox har slutat: $(cat "$work/openbox.log")" >&2
    return 1
}
# The first start, from a folder without trad.sty: the question, "Skapa en ny hemkatalog med
# exemplet" (Alt+S), the proposed Dokument\Kvistel taken with Return, and the menu.
mkdir -p "$work/tom"
(cd "$work/tom" && exec wine "C:\\Program Files\\Kvistel\\kvistel.exe") >"$work/first.log" 2>&1 &
disown # ended below with Wine, without a word from the shell
question=$(wait_for "Sökväg")
[ -n "$question" ] || { echo "Första starten frågade inte efter hemkatalogen" >&2; exit 1; }
type_into "$question" alt+s
chooser=$(wait_for "Ny hemkatalog med exemplet")
[ -n "$chooser" ] || { echo "Skapa en ny hemkatalog öppnade ingen dialog" >&2; exit 1; }
sleep 1
type_into "$chooser" Return
# The menu on the new home, at once: the new home is the one in use.
if [ -z "$(wait_for "$menu_title")" ]; then
    echo "Menyn kom inte efter den nya hemkatalogen; fönster: $(windows | tr '\n' '|')" >&2
    pgrep -a -f 'kvistel\.exe' >&2 || echo "kvistel.exe körs inte längre" >&2
    import -window root "$build/wine-meny-saknas.png" 2>/dev/null || true
    exit 1
fi
for file in trad.sty priser_ac.txt bestand.csv; do
    cmp -s "$root/sample/$file" "$documents/Kvistel/$file" || {
        echo "Dokument\\Kvistel\\$file är inte exemplets" >&2
        exit 1
    }
done
wineserver -k 2>/dev/null || true
echo "   första starten: Dokument\\Kvistel skapad med exemplets tre filer, menyn på den"

# The same program from its Start menu entry: the menu and nothing else, no console.
wine start "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Kvistel\\Kvistel.lnk" \
    >/dev/null 2>&1
[ -n "$(wait_for "$menu_title")" ] || { echo "Startmenyns Kvistel öppnade inte menyn" >&2; exit 1; }
sleep 2 # a console would open beside it by now
shown=$(windows)
[ "$(wc -l <<<"$shown")" -eq 1 ] && grep -Eqx "$menu_title" <<<"$shown" || {
    echo "Från startmenyn visades inte bara Kvistels meny: $shown" >&2
    exit 1
}
wineserver -k 2>/dev/null || true
echo "   från startmenyn: ett enda fönster, Kvistels meny"
# kvistel.exe given the command line's switches: with somewhere to write (a redirection) it
# writes its help; from cmd without one (as "start" leaves it), a message points to
# kvistel-batch.exe instead of silence.
wine "C:\\Program Files\\Kvistel\\kvistel.exe" --help >"$work/help-window" 2>&1 || true
iconv -f WINDOWS-1252 -t UTF-8 "$work/help-window" | grep -q "^Användning" || {
    echo "kvistel.exe --help skrev ingen hjälp till en omdirigering" >&2
    exit 1
}
wine start "C:\\Program Files\\Kvistel\\kvistel.exe" --help >/dev/null 2>&1
[ -n "$(wait_for Kvistel)" ] || {
    echo "kvistel.exe --help utan omdirigering visade inget meddelande" >&2
    exit 1
}
wineserver -k 2>/dev/null || true
echo "   kvistel.exe --help: hjälpen till en omdirigering, annars ett meddelande om kvistel-batch.exe"

# The new home valued from cmd as a user types it (a batch file, for cmd's own quoting), as the
# Linux program values the sample; cmd sees the exit status, 2 for a list that is not there.
for list in bestand saknas; do
    printf '@echo off\r\ncd /d "%%USERPROFILE%%\\Documents\\Kvistel"\r\n"C:\\Program Files\\Kvistel\\kvistel-batch.exe" --batch %s.csv > resultat-%s.csv\r\nexit /b %%ERRORLEVEL%%\r\n' \
        "$list" "$list" >"$work/$list.cmd"
done
wine cmd /c "$(winepath -w "$work/bestand.cmd")" >/dev/null 2>&1 ||
    { echo "kvistel-batch.exe värderade inte den nya hemkatalogen från cmd" >&2; exit 1; }
status=0
wine cmd /c "$(winepath -w "$work/saknas.cmd")" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || { echo "cmd fick slutstatus $status, inte 2, för en lista som saknas" >&2; exit 1; }
rm -f "$documents/Kvistel/resultat-saknas.csv"
(cd "$root/sample" && "$linux_kvistel" --batch bestand.csv --home . >"$work/sample.linux" || true)
cmp -s "$work/sample.linux" "$documents/Kvistel/resultat-bestand.csv" || {
    echo "Den nya hemkatalogens värdering skiljer sig från Linux-programmets" >&2
    exit 1
}
echo "   den nya hemkatalogen värderad från cmd (> resultat.csv, slutstatus 0 och 2), som på Linux"

# The user's own work: an edited tree list, the saved result, a note beside the program.
printf 'min egen rad\r\n' >>"$documents/Kvistel/bestand.csv"
printf 'mina anteckningar\r\n' >"$installed/anteckningar.txt"
printf 'min lista\r\n' >"$installed/exempel/min-lista.csv"
users_files=("$documents"/Kvistel/* "$installed/anteckningar.txt" "$installed/exempel/min-lista.csv")
sha256sum "${users_files[@]}" >"$work/before"
wine "C:\\Program Files\\Kvistel\\Avinstallera.exe" /S
wineserver -w
sleep 2 # the uninstaller finishes from a copy of itself
wineserver -w
sha256sum -c --quiet "$work/before" || { echo "Avinstallationen ändrade användarens filer" >&2; exit 1; }
for file in kvistel.exe kvistel-batch.exe Qt6Core.dll platforms/qwindows.dll exempel/trad.sty \
    exempel/bestand.csv LICENSE.txt Avinstallera.exe; do
    [ ! -e "$installed/$file" ] || { echo "Avinstallationen lämnade $file kvar" >&2; exit 1; }
done
! ls "$menu"/Kvistel*/*.lnk >/dev/null 2>&1 || { echo "Startmenyn har kvar Kvistel" >&2; exit 1; }
echo "   avinstallerat: programmet och startmenyn borta, ${#users_files[@]} filer av användarens orörda"
echo "   (det som Kvistel kom ihåg i registret, HKCU\\Software\\Kvistel, får stå kvar)"
wineserver -k 2>/dev/null || true
done_stage

stage "fönstren under Xvfb och Wine"
QT_QPA_PLATFORM=windows LANG=sv_SE.UTF-8 \
    timeout 300 wine "$build/tests/gui/app/test_walkthrough.exe" --gtest_brief=1 >"$work/out" 2>&1 || {
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

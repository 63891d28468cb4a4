#!/usr/bin/env bash
# Kvistel installs like a desktop program. One check per call; a check whose tool is missing
# is skipped (exit 77) rather than failed.
# Usage: installcheck.sh <check> <source dir> <build dir>
#   desktop   the menu entry passes desktop-file-validate
#   metainfo  the software-centre description passes appstreamcli validate --pedantic: no
#             error, no warning (the capital in the component id is the one note allowed)
#   install   cmake --install puts program, entry, icon and description in their places, and
#             the entry names the installed program and icon
#   deb       cpack -G DEB builds a package holding them, with dependencies from the libraries
#   lintian   lintian finds no error and no warning in that package, and the installed menu
#             entry and description pass their validators
set -u
check=$1
src=$2
build=$3
id=se.kvistel.Kvistel

need() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIPPED: $tool is not installed (tools/deps.sh installs it)"
            exit 77
        fi
    done
}
fail() {
    echo "FAILED: $*"
    exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The installed files, relative to the prefix.
installed=(
    bin/kvistel
    share/applications/$id.desktop
    share/icons/hicolor/scalable/apps/$id.svg
    share/metainfo/$id.metainfo.xml
    share/kvistel/exempel/trad.sty
    share/kvistel/exempel/priser_ac.txt
    share/kvistel/exempel/bestand.csv
    share/doc/kvistel/copyright
    share/doc/kvistel/changelog.gz
    share/doc/kvistel/docs/tradlista.png
    share/man/man1/kvistel.1.gz
)

# appstreamcli validate --pedantic: every finding is a fault but one, the capital in the
# component id se.kvistel.Kvistel, which names the menu entry and the icon too: a desktop keeps
# launchers and settings by it, so it stays as it is. A screenshot needs a web address
# (file:// is an error), so none is listed until the project has one.
validate_metainfo() {
    local out
    out=$(appstreamcli validate --pedantic --no-net "$1" 2>&1)
    local findings
    findings=$(grep -E "^[EWIP]: " <<<"$out" | grep -v ": cid-contains-uppercase-letter ")
    [ -z "$findings" ] || fail "appstreamcli validate --pedantic: $findings"
}

# Builds the Debian package into $work/pkg and names it in $deb.
build_deb() {
    need cpack dpkg-deb dpkg-shlibdeps
    (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg") \
        >"$work/log" 2>&1 || fail "cpack failed: $(cat "$work/log")"
    deb=$(ls "$work"/pkg/kvistel_*.deb 2>/dev/null | head -1)
    [ -n "$deb" ] || fail "no kvistel_*.deb was made: $(cat "$work/log")"
}

case $check in
desktop)
    need desktop-file-validate
    out=$(desktop-file-validate "$src/data/$id.desktop" 2>&1) || fail "$out"
    # Hints are advice; errors and warnings are faults.
    if grep -E ": (error|warning):" <<<"$out"; then fail "the menu entry is not valid"; fi
    echo "PASSED: $id.desktop is a valid menu entry"
    ;;
metainfo)
    need appstreamcli
    validate_metainfo "$src/data/$id.metainfo.xml"
    echo "PASSED: $id.metainfo.xml is valid"
    ;;
install)
    need cmake
    cmake --install "$build" --prefix "$work/prefix" >"$work/log" 2>&1 || fail "$(cat "$work/log")"
    for f in "${installed[@]}"; do
        [ -f "$work/prefix/$f" ] || fail "cmake --install did not put $f in place"
    done
    [ -x "$work/prefix/bin/kvistel" ] || fail "bin/kvistel is not executable"
    entry="$work/prefix/share/applications/$id.desktop"
    grep -qx "Exec=kvistel" "$entry" || fail "the menu entry does not start kvistel"
    grep -qx "Icon=$id" "$entry" || fail "the menu entry does not name the installed icon $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
        "$work/prefix/share/metainfo/$id.metainfo.xml" || fail "the metainfo does not launch $id.desktop"
    echo "PASSED: ${#installed[@]} files installed where desktops look for them"
    ;;
deb)
    build_deb
    listing=$(dpkg-deb -c "$deb") || fail "dpkg-deb -c cannot read $deb"
    for f in "${installed[@]}"; do
        grep -q " \./usr/$f\$" <<<"$listing" || fail "the package lacks /usr/$f"
    done
    info=$(dpkg-deb -I "$deb")
    depends=$(sed -n 's/^ Depends: //p' <<<"$info")
    # Read from the program's libraries, not written by hand.
    for lib in libqt6widgets6 libqt6gui6 libc6; do
        grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib: $depends"
    done
    grep -q "^ Package: kvistel$" <<<"$info" || fail "the package is not named kvistel"
    echo "PASSED: $(basename "$deb"), depends on $depends"
    ;;
lintian)
    need lintian desktop-file-validate appstreamcli
    build_deb
    out=$(lintian --no-cfg --display-level ">=warning" "$deb" 2>&1)
    if grep -E "^[EW]: " <<<"$out"; then fail "lintian finds faults in $(basename "$deb")"; fi
    mkdir "$work/root"
    dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x cannot unpack $deb"
    out=$(desktop-file-validate "$work/root/usr/share/applications/$id.desktop" 2>&1)
    if grep -E ": (error|warning):" <<<"$out"; then fail "the installed menu entry is not valid"; fi
    validate_metainfo "$work/root/usr/share/metainfo/$id.metainfo.xml"
    echo "PASSED: lintian, desktop-file-validate and appstreamcli find nothing in $(basename "$deb")"
    ;;
*)
    fail "unknown check $check"
    ;;
esac

#!/usr/bin/env bash
# Kvistel installs like a desktop program. One check per call; a check whose tool is missing
# is skipped (exit 77) rather than failed.
# Usage: installcheck.sh <check> <source dir> <build dir>
#   desktop   the menu entry passes desktop-file-validate
#   metainfo  the software-centre description passes appstreamcli validate
#   install   cmake --install puts program, entry, icon and description in their places, and
#             the entry names the installed program and icon
#   deb       cpack -G DEB builds a package holding them, with dependencies from the libraries
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
    share/doc/kvistel/LICENSE
)

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
    appstreamcli validate --no-net "$src/data/$id.metainfo.xml" || fail "the metainfo is not valid"
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
    need cpack dpkg-deb dpkg-shlibdeps
    (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg") \
        >"$work/log" 2>&1 || fail "cpack failed: $(cat "$work/log")"
    deb=$(ls "$work"/pkg/kvistel_*.deb 2>/dev/null | head -1)
    [ -n "$deb" ] || fail "no kvistel_*.deb was made: $(cat "$work/log")"
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
*)
    fail "unknown check $check"
    ;;
esac

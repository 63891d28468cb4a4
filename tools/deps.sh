#!/usr/bin/env bash
# Installs the Debian 12 packages that Kvistel needs to build, run and test, if any are missing.
# Sourced by run.sh and test.sh; uses sudo when not run as root.

# What tools/test.sh needs beyond building and running: clang with its libFuzzer and sanitizer
# runtimes, llvm-symbolizer for readable sanitizer stacks, and poppler's pdfinfo and pdftotext,
# with which the tests read the PDF the result window writes. The install checks: the menu
# entry's and metainfo's validators, and what cpack needs to read the package's dependencies
# from the program's libraries, and lintian, which checks the package as Debian would. MinGW-w64
# and Ninja cross-build the core for Windows.
kvistel_test_packages=(clang libclang-rt-14-dev llvm poppler-utils desktop-file-utils appstream
    dpkg-dev file fakeroot imagemagick lintian g++-mingw-w64-x86-64-posix
    gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev ninja-build)

kvistel_install_deps() {
    kvistel_install_missing cmake g++ make qt6-base-dev librsvg2-bin libgtest-dev \
        libgmock-dev libbenchmark-dev xvfb xdotool x11-utils xauth \
        qt6-translations-l10n qt6-gtk-platformtheme locales "$@"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    kvistel_generate_locales "${sudo[@]}"
}

# Installs those of the packages named that are not installed yet.
kvistel_install_missing() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installerar: ${missing[*]}"
        "${sudo[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

# The users' computers are Swedish: the tests run under a real sv_SE.UTF-8 of the C library, and
# under ar_EG.UTF-8, whose decimal separator (U+066B) Windows-1252 cannot hold. A machine that has
# only C.UTF-8 silently falls back to C for both, so they are generated where missing.
kvistel_generate_locales() {
    local have
    have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')
    local name
    for name in sv_SE ar_EG; do
        local lower
        lower=$(printf '%s' "$name" | tr 'A-Z' 'a-z')
        grep -qx "$lower.utf8" <<<"$have" && continue
        echo "Skapar lokalen $name.UTF-8"
        "$@" localedef -i "$name" -f UTF-8 "$name.UTF-8"
    done
}

#!/usr/bin/env bash
# What building and testing Kvistel for Windows needs on Debian 12. Sourced by tools/windows.sh,
# tools/wine-tests.sh and tools/test.sh.
. "$(dirname "${BASH_SOURCE[0]}")/deps.sh"

kvistel_windows_packages=(cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    mingw-w64-x86-64-dev qt6-base-dev qt6-base-dev-tools qt6-translations-l10n googletest nsis zip
    unzip wine wine64 fonts-wine xvfb openbox xdotool imagemagick xz-utils librsvg2-bin)

kvistel_windows_install_deps() {
    kvistel_install_missing "${kvistel_windows_packages[@]}"
}

# Where Qt for Windows is, or is to be built.
kvistel_windows_qt() {
    echo "${KVISTEL_WINDOWS_QT:-$HOME/.cache/kvistel/qt-6.4.2-mingw64}"
}

# Configures the Windows build in $1 with the tests (ON) or without (OFF): the one set of options
# tools/windows.sh and tools/test.sh share, so that each reuses what the other has built.
kvistel_windows_configure() {
    local build=$1 qt=$2 tests=$3
    if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
        export CMAKE_CXX_COMPILER_LAUNCHER=ccache
    fi
    cmake -S "$(dirname "${BASH_SOURCE[0]}")/.." -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKVISTEL_BUILD_TESTS="$tests" \
        -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
}

# Wine in a prefix of the build's own, quiet, finding Qt's and MinGW's libraries for the test
# programs, which are not installed beside them.
kvistel_wine_env() {
    local build=$1 qt=$2
    export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPATH="Z:$qt/bin;Z:/usr/lib/gcc/x86_64-w64-mingw32/12-posix;Z:/usr/x86_64-w64-mingw32/lib"
    export QT_PLUGIN_PATH="Z:$qt/plugins"
}

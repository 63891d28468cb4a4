#!/usr/bin/env bash
# Builds the part of Qt 6.4.2 that Kvistel needs (qtbase: Core, Gui, Widgets, PrintSupport,
# Concurrent, Test) for 64-bit Windows, with Debian 12's MinGW-w64, from Debian's own qt6-base
# source package, and installs it in DIR/qt-6.4.2-mingw64. About an hour on two cores.
#   bash tools/build-windows-qt.sh [DIR]        (DIR: ~/.cache/kvistel)
# Debian's Qt of the same version (qt6-base-dev-tools) serves as the host Qt: its moc, rcc and
# uic. Left out: ICU (Kvistel converts Windows-1252 itself), OpenGL, SQL, network, D-Bus.
set -euo pipefail
dir=${1:-$HOME/.cache/kvistel}
version=6.4.2
debian_version=6.4.2+dfsg-10
prefix=$dir/qt-$version-mingw64
work=$dir/qt-build
mkdir -p "$work"
cd "$work"

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# Debian's source has to be reachable: a deb-src entry for bookworm main.
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q "^Version: $debian_version"; then
    "${sudo[@]}" tee /etc/apt/sources.list.d/kvistel-debian-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    "${sudo[@]}" apt-get update -qq
fi
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev qt6-base-dev \
    qt6-base-dev-tools cmake ninja-build xz-utils dpkg-dev
src=$work/qtbase-everywhere-src-$version
if [ ! -d "$src" ]; then
    apt-get source --download-only "qt6-base=$debian_version"
    tar xf "qt6-base_$version+dfsg.orig.tar.xz"
    # Debian removed wintab.h (tablet input) from the source: the Windows platform plugins are
    # built without tablet support.
    for plugin in windows direct2d; do
        sed -i 's/CONDITION QT_FEATURE_tabletevent/CONDITION FALSE/' \
            "$src/src/plugins/platforms/$plugin/CMakeLists.txt"
    done
    grep -rl 'QT_CONFIG(tabletevent)' "$src/src/plugins/platforms/windows" |
        xargs -r sed -i 's/QT_CONFIG(tabletevent)/0 \/* no wintab.h in this source *\//'
fi

toolchain=$work/mingw-w64.toolchain.cmake
cat >"$toolchain" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC

cmake -G Ninja -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF \
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_dbus=OFF -DFEATURE_icu=OFF \
    -DFEATURE_testlib=ON
cmake --build "$work/build" --parallel
cmake --install "$work/build"
find "$prefix" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} \;
# Relocatable: Qt's toolchain file loads the MinGW one from beside itself, wherever it lies.
cp "$toolchain" "$prefix/lib/cmake/Qt6/mingw-w64.toolchain.cmake"
sed -i 's|^set(__qt_initially_configured_toolchain_file .*|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/mingw-w64.toolchain.cmake")|' \
    "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
rm -rf "$work"
echo "Qt för Windows installerat i $prefix"

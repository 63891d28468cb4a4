#!/usr/bin/env bash
# Builds Kvistel for 64-bit Windows on Debian 12 with MinGW-w64 and writes, in build-windows/,
#   kvistel-VERSION-win64-setup.exe   an installer (Start menu entry, uninstaller, example home)
#   kvistel-VERSION-win64.zip         the same folder, to run where it is unpacked
# Installs what is missing first. Qt for Windows is taken from KVISTEL_WINDOWS_QT (an unpacked
# Qt), else ~/.cache/kvistel/qt-6.4.2-mingw64, else built there from Debian's own source.
#
#   bash tools/windows.sh          the installer and the zip
#   bash tools/windows.sh --test   the same, then the tests under Wine (tools/wine-tests.sh)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tools/windows-env.sh"

kvistel_windows_install_deps
qt=$(kvistel_windows_qt)
if [ ! -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    if [ -n "${KVISTEL_WINDOWS_QT:-}" ]; then
        echo "KVISTEL_WINDOWS_QT=$qt innehåller inget Qt för Windows (lib/cmake/Qt6 saknas)." >&2
        exit 1
    fi
    echo "Qt för Windows saknas: det byggs nu i $qt ur Debians källkod (tar ungefär en timme på två kärnor)."
    bash "$root/tools/build-windows-qt.sh" "$(dirname "$qt")"
fi

build="$root/build-windows"
tests=OFF
[ "${1:-}" = "--test" ] && tests=ON
SECONDS=0
kvistel_windows_configure "$build" "$qt" $tests
cmake --build "$build" -j"$(nproc)" --target kvistel kvistel-batch
echo "== Kvistel för Windows byggt på $SECONDS s"

SECONDS=0
# makensis runs with -WX: a warning fails the installer.
(cd "$build" && cpack -G NSIS >/dev/null && cpack -G ZIP >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "== Paketerat på $SECONDS s, makensis utan varningar:"
ls -l "$build/kvistel-$version-win64-setup.exe" "$build/kvistel-$version-win64.zip"

if [ "$tests" = ON ]; then
    bash "$root/tools/wine-tests.sh" "$build" "$qt"
fi

#!/usr/bin/env bash
# Installs what is missing, builds Kvistel (Release) and starts it on a home directory made from
# the example (sample/). The example is copied once to a place of the user's own, so that using
# the program never changes a file of the source tree.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tools/deps.sh"
kvistel_install_deps

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DKVISTEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target kvistel

home="${KVISTEL_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/kvistel/hem}"
# Made from the example as the first start's "Skapa en ny hemkatalog med exemplet" makes it: the
# control file, the price list and the stand's tree list; a file already there is kept.
if [ ! -e "$home/trad.sty" ]; then
    "$root/build/src/gui/app/kvistel" --make-home "$home"
fi
cd "$home"
exec "$root/build/src/gui/app/kvistel"

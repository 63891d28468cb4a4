#!/usr/bin/env bash
# The real command line writing its result to a disk that is really full: a tmpfs of 64 KiB,
# filled to the last block, in a mount namespace of its own (no root needed where user
# namespaces are allowed). Every kind of result, the small ones that are written only at the
# end included, must end with status 2 and "disken är full", leave the earlier result as it was
# and leave no temporary file behind; with room again the same call writes the result.
# Usage: fulldisk.sh <kvistel> <sample home directory>
set -u
kvistel=$1
sample=$2
if ! unshare -rm true 2>/dev/null; then
    echo "no mount namespaces here: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$sample/trad.sty" "$sample/priser_ac.txt" "$work/"
printf 'id;bdm\r\n1;30\r\n2;31\r\n' >"$work/lista.csv"
mkdir "$work/full"
# shellcheck disable=SC2016 # expanded by the inner shell
unshare -rm bash -c '
    set -u
    work=$1 kvistel=$2
    mount -t tmpfs -o size=64k tmpfs "$work/full" || exit 77
    printf "det förra resultatet" >"$work/full/ut.csv"
    head -c 1M /dev/zero >"$work/full/fyllnad" 2>/dev/null
    for kind in "" --plan --full; do
        "$kvistel" --batch "$work/lista.csv" --home "$work" -o "$work/full/ut.csv" $kind \
            >/dev/null 2>"$work/fel"
        status=$?
        if [ "$status" -ne 2 ]; then echo "status $status for \"$kind\""; exit 1; fi
        if ! grep -q "disken är full" "$work/fel"; then cat "$work/fel"; exit 1; fi
        if [ "$(cat "$work/full/ut.csv")" != "det förra resultatet" ]; then
            echo "the earlier result was replaced for \"$kind\""; exit 1
        fi
        if ls -A "$work/full" | grep -q "\.tmp$"; then
            echo "a temporary file was left for \"$kind\""; ls -A "$work/full"; exit 1
        fi
    done
    rm "$work/full/fyllnad"
    "$kvistel" --batch "$work/lista.csv" --home "$work" -o "$work/full/ut.csv" || exit 1
    grep -q "^id;bdm;beslut" "$work/full/ut.csv" || { cat "$work/full/ut.csv"; exit 1; }
' _ "$work" "$kvistel"

#!/usr/bin/env bash
# Runs a test program as an unprivileged user when started as root. Root ignores permission bits,
# so a read-only home directory or an unreadable file would not be a fault for it at all; the
# forest owner at the desk is never root. Run as any other user, the program runs directly.
# Usage: asuser.sh <test program> [arguments...]
set -u
if [ "$(id -u)" -ne 0 ]; then
    exec "$@"
fi
if ! command -v setpriv >/dev/null; then
    echo "setpriv is missing: running as root, the permission faults will be skipped" >&2
    exec "$@"
fi
user=65534 # nobody
as_user=(setpriv --reuid="$user" --regid="$user" --clear-groups)
if ! "${as_user[@]}" test -x "$1"; then
    echo "WARNING: user $user cannot reach $1 (a directory above the build directory is closed" \
        "to others; chmod o+rx it). Running as root: the permission faults are skipped." >&2
    exec "$@"
fi
# Root's home and temporary directory may be closed to the user; give it ones it may write to.
export HOME=/tmp TMPDIR=/tmp
exec "${as_user[@]}" "$@"

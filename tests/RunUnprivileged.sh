#!/usr/bin/env bash
# Runs a test program once more as an unprivileged user. Root may write into read-only
# folders and read files without permission, so the tests of those faults only mean
# something as someone else: as root, the program runs as `nobody`, with a home and a
# temporary folder of its own. Anyone else ran those tests already: skipped (77).
# Usage: RunUnprivileged.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    echo "already unprivileged: the tests ran as they are"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chown nobody:nogroup "$work"
run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
if ! "${run[@]}" test -x "$1"; then
    echo "nobody cannot reach $1 (a build folder under a private home?): skipped"
    exit 77
fi
status=0
(cd "$work" && "${run[@]}" env HOME="$work" TMPDIR="$work" XDG_RUNTIME_DIR="$work" "$@") || status=$?
exit "$status"

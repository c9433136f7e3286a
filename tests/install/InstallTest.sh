#!/usr/bin/env bash
# Installs the built program into a fresh folder and starts it from its desktop entry
# with a dictionary as the file argument, as "Open with" would; then ends it as a
# session logout would and checks that it opened that file and kept it in its settings
# (the settings name a data file only once it has loaded).
# Usage: InstallTest.sh BUILD_DIR DICTIONARY
set -euo pipefail
build=$1
dictionary=$2
work=$(mktemp -d)
# A window of the test's own: no other test's, nor the user's, takes this start's place.
export XDG_RUNTIME_DIR="$work"
trap 'if [ -n "${pid:-}" ]; then kill -9 "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/../WaitForWindow.sh"

cmake --install "$build" --prefix "$work/inst" >/dev/null
for file in QuillorDic QuillorDic.mht Tarnowe_Medical_Dic.txt QuillorDic.png QuillorDic.desktop; do
    [ -f "$work/inst/$file" ] || fail "$file was not installed"
done
entry="$work/inst/QuillorDic.desktop"
[ -x "$entry" ] || fail "the desktop entry is not executable"
grep -qx "Exec=\"$work/inst/QuillorDic\" %f" "$entry" || fail "Exec: $(grep Exec= "$entry")"
grep -qx "Path=$work/inst" "$entry" || fail "Path: $(grep Path= "$entry")"
grep -qx "MimeType=text/plain;" "$entry" || fail "no MimeType"
grep -qx "Icon=$work/inst/QuillorDic.png" "$entry" || fail "Icon: $(grep Icon= "$entry")"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi

# Start it as the desktop does: in Path, with Exec's %f replaced by the chosen file.
cp "$dictionary" "$work/chosen dictionary.txt"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
eval "set -- ${exec_line//%f/\"\$work/chosen dictionary.txt\"}"
(cd "$(sed -n 's/^Path=//p' "$entry")" && QT_QPA_PLATFORM=offscreen QUILLOR_START_TRACE=1 exec "$@") >"$work/out.log" 2>&1 &
pid=$!

# The window comes after the program has learnt to end cleanly.
wait_for_window "$pid" "$work/out.log"
wait_for_first_record "$pid" "$work/out.log"
kill -TERM "$pid"
status=0
for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { cat "$work/out.log" >&2; fail "exit status $status"; }
grep -q "DATAT=\"$work/chosen dictionary.txt\"" "$work/inst/QuillorDic.ini" || fail "settings: $(cat "$work/inst/QuillorDic.ini")"
echo "installed, started from its desktop entry with a file, and ended cleanly"

#!/usr/bin/env bash
# Ends the program as a logout does while it cannot keep its settings: once with a
# read-only settings file, once in a folder it cannot write. It must ask nothing, say
# on stderr what it could not keep, leave the file as it was and be gone within 5 s.
# Usage: TerminationTest.sh PROGRAM DICTIONARY
set -euo pipefail
program=$1
dictionary=$2
work=$(mktemp -d)
# A window of the test's own: no other test's, nor the user's, takes this start's place.
export XDG_RUNTIME_DIR="$work"
pid=""
trap 'if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; fi; chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/err.log" ] && tail -20 "$work/err.log" >&2; exit 1; }
source "$(dirname "$0")/../WaitForWindow.sh"

# Starts the program in FOLDER (as the user in $as, when set), waits for its window,
# sends SIGTERM and checks that it ends within five seconds.
end_by_logout() {
    local folder=$1
    local runner=()
    [ -n "$as" ] && runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups
                            env HOME="$folder" TMPDIR="$folder" XDG_RUNTIME_DIR="$folder")
    (cd "$folder" && QT_QPA_PLATFORM=offscreen exec "${runner[@]}" "$folder/QuillorDic") >"$work/out.log" 2>"$work/err.log" &
    pid=$!
    wait_for_window "$pid" "$work/out.log"
    sleep 1
    kill -TERM "$pid"
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "still running 5 s after SIGTERM"
    local status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
}

as=""
# A read-only settings file: every question is answered Cancel unseen, and the file stays.
mkdir "$work/readonly"
cp "$program" "$work/readonly/QuillorDic"
cp "$dictionary" "$work/readonly/dic.txt"
printf '[FILE]\r\nDATAT="%s"\r\n\r\n' "$work/readonly/dic.txt" >"$work/readonly/QuillorDic.ini"
chmod 444 "$work/readonly/QuillorDic.ini"
cp "$work/readonly/QuillorDic.ini" "$work/before.ini"
end_by_logout "$work/readonly"
cmp -s "$work/before.ini" "$work/readonly/QuillorDic.ini" || fail "the read-only settings file changed"
grep -q "読み出し専用です。書き込みますか: キャンセル" "$work/err.log" || fail "the question was not answered on stderr"
grep -q "を作成できません" "$work/err.log" || fail "the failed save was not said on stderr"

# A folder the program cannot write: as root, run as nobody, since root writes anywhere.
mkdir "$work/locked"
cp "$program" "$work/locked/QuillorDic"
chmod 755 "$work" "$work/locked"
if [ "$(id -u)" -eq 0 ]; then as=nobody; else chmod 555 "$work/locked"; fi
end_by_logout "$work/locked"
chmod 755 "$work/locked"
[ ! -e "$work/locked/QuillorDic.ini" ] || fail "a settings file appeared in the locked folder"
grep -q "QuillorDic.ini を作成できません: フォルダに書き込めません" "$work/err.log" || fail "the failed save was not said on stderr"
echo "ended by SIGTERM within 5 s, asking nothing, with a read-only settings file and in a locked folder"

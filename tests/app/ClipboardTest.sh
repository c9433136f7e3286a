#!/usr/bin/env bash
# The clipboard lookup against real X clipboard owners, on a virtual X server of the
# test's own. Another program holds the input focus from before the window starts, so
# the window is not the active one until a search brings it forward. With the lookup
# off, two owners in turn are asked nothing at all while the window runs. With it on,
# the window's own copy counts as seen: a keeper taking it over is asked once and
# nothing is searched; a new owner is asked once, for UTF8_STRING, and its text is
# searched. An owner that never answers leaves the window serving: it takes a later
# start's --search and ends on SIGTERM.
# Usage: ClipboardTest.sh PROGRAM OWNER DICTIONARY (OWNER: the test's ClipboardOwner)
set -euo pipefail
if [ -z "${QUILLOR_ON_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "skipped: xvfb-run is missing (package xvfb)"; exit 77; }
    QUILLOR_ON_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
program=$1
owner=$2
dictionary=$3
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/err.log" ] && tail -20 "$work/err.log" >&2; exit 1; }
source "$(dirname "$0")/../WaitForWindow.sh"

mkdir "$work/app" "$work/home" "$work/run"
chmod 700 "$work/run"
cp "$program" "$work/app/QuillorDic"
cp "$dictionary" "$work/app/dic.txt"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb

# start_owner NAME TEXT|--silent: an owner that takes commands from NAME.in, says what
# it did in NAME.out and logs the target of each request to NAME.log.
declare -A to_owner
start_owner() {
    local name=$1 text=$2 fd
    mkfifo "$work/$name.in"
    : >"$work/$name.log"
    "$owner" "$work/$name.log" "$text" <"$work/$name.in" >"$work/$name.out" 2>&1 &
    pids+=($!)
    exec {fd}>"$work/$name.in"
    to_owner[$name]=$fd
}

# said NAME WORD: waits until the owner says WORD.
said() {
    for _ in $(seq 1 100); do grep -qx "$2" "$work/$1.out" && return 0; sleep 0.1; done
    cat "$work/$1.out" >&2
    fail "the owner $1 did not say \"$2\""
}

# tell NAME COMMAND WORD: sends the command and waits until the owner says it is done.
tell() {
    echo "$2" >&"${to_owner[$1]}"
    said "$1" "$3"
}

# start_window True|False: the window with its lookup on or off, its milestones in err.log.
start_window() {
    printf '[FILE]\r\nDATAT="%s"\r\n\r\n[DESKTOP]\r\nClipboardLookup="%s"\r\n\r\n' "$work/app/dic.txt" "$1" \
        >"$work/app/QuillorDic.ini"
    QUILLOR_START_TRACE=$(date +%s%N) "$work/app/QuillorDic" >"$work/out.log" 2>"$work/err.log" &
    pid=$!
    pids+=("$pid")
    wait_for_window "$pid" "$work/err.log"
    wait_for_first_record "$pid" "$work/err.log"
}

lookups() { grep -ac "lookup shown" "$work/err.log" || true; }
# asked NAME: what the owner was asked for, on one line.
asked() { paste -sd' ' "$work/$1.log"; }

# Ends the window as a logout does: it must be gone soon after, with status 0.
end_window() {
    kill -TERM "$pid"
    for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the window still runs 30 s after SIGTERM"
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the window ended with $status"
}

# search_from_later_start WORD: a later start hands WORD over, and the window searches it.
search_from_later_start() {
    local before status=0
    before=$(lookups)
    "$work/app/QuillorDic" --search "$1" >"$work/second.log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || { cat "$work/second.log" >&2; fail "a later start's --search ended with $status"; }
    for _ in $(seq 1 300); do [ "$(lookups)" -gt "$before" ] && break; sleep 0.1; done
    [ "$(lookups)" -gt "$before" ] || fail "the window did not search what a later start handed over"
}

# Off: neither owner is asked anything, whatever the window does meanwhile (a search
# brings it to the front, into the search box, with a page loading).
start_owner off1 heart
tell off1 focus focused
start_window False
tell off1 take owning
search_from_later_start lung
sleep 3
start_owner off2 lung
tell off2 take owning
said off1 lost
sleep 2
for name in off1 off2; do
    [ -z "$(asked $name)" ] || fail "with the lookup off, the owner $name was asked for: $(asked $name)"
done
[ "$(lookups)" -eq 1 ] || fail "with the lookup off, a copied text was searched"
end_window

# On: the window copies its search box, and a keeper takes that copy over once the
# window is inactive again (it notices a moment after the focus left: the keeper takes
# the clipboard anew until the window asks it). Then a new owner comes.
start_owner keeper lung
tell keeper focus focused
start_window True
search_from_later_start lung
tell keeper copy copied
tell keeper focus focused
for _ in $(seq 1 30); do
    tell keeper take owning
    for _ in $(seq 1 10); do [ -s "$work/keeper.log" ] && break 2; sleep 0.1; done
done
[ -s "$work/keeper.log" ] || fail "the inactive window never asked the keeper"
start_owner on heart
tell on take owning
said keeper lost
for _ in $(seq 1 300); do [ "$(lookups)" -ge 2 ] && break; sleep 0.1; done
sleep 2
[ "$(lookups)" -eq 2 ] || fail "the window searched $(lookups) times, not twice (lung from the later start, then heart)"
[ "$(asked keeper)" = UTF8_STRING ] || fail "the keeper was asked for: $(asked keeper)"
[ "$(asked on)" = UTF8_STRING ] || fail "the new owner was asked for: $(asked on)"
end_window
grep -q '^item1="heart"' "$work/app/QuillorDic.ini" || fail "heart is not the first search of the history"

# On, and an owner that never answers: the window serves on while it is silent.
start_owner silent --silent
tell silent focus focused
start_window True
tell silent take owning
for _ in $(seq 1 300); do [ -s "$work/silent.log" ] && break; sleep 0.1; done
[ "$(asked silent)" = UTF8_STRING ] || fail "the silent owner was asked for: $(asked silent)"
search_from_later_start lung
end_window
grep -q '^item1="lung"' "$work/app/QuillorDic.ini" || fail "lung is not the first search of the history"
[ "$(asked silent)" = UTF8_STRING ] || fail "the silent owner was asked again: $(asked silent)"
grep -qx owning "$work/silent.out" && ! grep -qx lost "$work/silent.out" || fail "the silent owner lost the clipboard"
echo "off: no owner asked anything; on: the window's own copy is seen, a new owner is asked once for" \
    "UTF8_STRING and its text searched; a silent owner leaves the window serving"

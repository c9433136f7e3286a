#!/usr/bin/env bash
# One window per settings file, with real processes. A window that crashed leaves its
# socket behind, and the next start must come up all the same. Bytes that are no
# request (too long, no frame, or a sound request from another user) are refused and
# change nothing; then a second start with --search hands the search to the window and
# ends at once, and the window, ended as a logout ends it, keeps that search as the
# first history item of its settings. A second portable copy is a window of its own;
# and without a runtime folder, names another user took first in the shared temporary
# folder change nothing.
# Usage: SecondStartTest.sh PROGRAM DICTIONARY
set -euo pipefail
program=$1
dictionary=$2
work=$(mktemp -d)
pid=""
trap 'if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/err.log" ] && tail -20 "$work/err.log" >&2; exit 1; }
source "$(dirname "$0")/../WaitForWindow.sh"

# As root the window runs as nobody, so that root's own connection is another user's.
as=()
mkdir "$work/app" "$work/home" "$work/run"
chmod 700 "$work/run"
cp "$program" "$work/app/QuillorDic"
cp "$dictionary" "$work/app/dic.txt"
printf '[FILE]\r\nDATAT="%s"\r\n\r\n' "$work/app/dic.txt" >"$work/app/QuillorDic.ini"
if [ "$(id -u)" -eq 0 ]; then
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chmod 755 "$work"
    chown -R nobody:nogroup "$work/app" "$work/home" "$work/run"
fi
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen
socket=""

# The window writes its milestones to stderr, among them each search a request ran.
start_window() {
    QUILLOR_START_TRACE=$(date +%s%N) "${as[@]}" "$work/app/QuillorDic" >"$work/out.log" 2>"$work/err.log" &
    pid=$!
    wait_for_window "$pid" "$work/err.log"
    # The program's first child may come before it listens (a busy machine, a user
    # switch): the window is built after the socket is made.
    for _ in $(seq 1 300); do
        grep -qa "window built" "$work/err.log" && break
        sleep 0.1
    done
    # One socket per settings file, in the user's runtime folder, beside its lock.
    socket=$(find "$work/run" -name 'org.quillordic.QuillorDic.*' ! -name '*.lock')
}

# Sends --search TEXT (or OPTION TEXT) from a later start of PROGRAM (as the window's
# user) and checks that it ended with 0 and that the window ran it.
search_from_second_start() {
    local program=$1 text=$2 option=${3:---search} status=0 before
    before=$(grep -c "lookup shown" "$work/err.log" || true)
    "${as[@]}" timeout 30 "$program" "$option" "$text" >"$work/second.log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || { cat "$work/second.log" >&2; fail "the second start ended with $status"; }
    for _ in $(seq 1 300); do [ "$(grep -c "lookup shown" "$work/err.log")" -gt "$before" ] && return 0; sleep 0.1; done
    fail "the window did not run $option $text"
}

end_window() {
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "the window ended with $status"
}

# Writes a raw message to the window's socket (by the user in $1: "window" or "root")
# and prints its answer: + taken, - refused, or "closed" without an answer.
send_raw() {
    local who=$1 message=$2 runner=()
    [ "$who" = window ] && runner=("${as[@]}")
    "${runner[@]}" perl -MIO::Socket::UNIX -e '
        my ($path, $name) = @ARGV;
        sub framed { pack("N", length $_[0]) . $_[0] }
        my %messages = (
            overlong => pack("N", 10 * 1024 * 1024) . ("lung " x 20000),
            unframed => "lung, please\n",
            sound    => framed("QuillorDic 1\nsearch\n\nlung"),
        );
        $SIG{PIPE} = "IGNORE";
        $SIG{ALRM} = sub { print "closed"; exit 0 };
        alarm 20;
        my $socket = IO::Socket::UNIX->new(Peer => $path) or die "cannot connect: $!\n";
        syswrite($socket, $messages{$name});
        my $answer = "";
        sysread($socket, $answer, 1);
        print $answer eq "" ? "closed" : $answer;
    ' "$socket" "$message"
}

# A window that crashed: its socket stays, and no one answers there.
start_window
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
pid=""
[ -S "$socket" ] || fail "the crashed window left no socket behind, so this test would test nothing"
start_window

for message in overlong unframed; do
    answer=$(send_raw window "$message")
    [ "$answer" != "+" ] || fail "the $message message was taken"
done
if [ "${#as[@]}" -gt 0 ]; then
    answer=$(send_raw root sound)
    [ "$answer" = "closed" ] || fail "another user's request was answered: $answer"
else
    echo "another user's request: not tried (needs root)"
fi
kill -0 "$pid" 2>/dev/null || fail "the window ended after the refused messages"

# A desktop's activation token that cannot travel costs the token, not the request.
export XDG_ACTIVATION_TOKEN="not a token"
search_from_second_start "$work/app/QuillorDic" bacteria --lookup
search_from_second_start "$work/app/QuillorDic" heart
unset XDG_ACTIVATION_TOKEN
kill -0 "$pid" 2>/dev/null || fail "the window ended after the handover"

# A second portable copy has settings of its own, and so a window of its own.
mkdir "$work/app2"
cp "$work/app/QuillorDic" "$work/app/dic.txt" "$work/app2/"
printf '[FILE]\r\nDATAT="%s"\r\n\r\n' "$work/app2/dic.txt" >"$work/app2/QuillorDic.ini"
[ "${#as[@]}" -gt 0 ] && chown -R nobody:nogroup "$work/app2"
"${as[@]}" "$work/app2/QuillorDic" >"$work/out2.log" 2>"$work/err2.log" &
pid2=$!
trap 'kill -9 "$pid2" 2>/dev/null || true; if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
wait_for_window "$pid2" "$work/err2.log"
[ "$(find "$work/run" -name 'org.quillordic.QuillorDic.*' ! -name '*.lock' | wc -l)" -eq 2 ] ||
    fail "the second copy did not listen on a socket of its own"
kill -TERM "$pid2"
wait "$pid2" || fail "the second copy's window ended with $?"
kill -0 "$pid" 2>/dev/null || fail "the first copy's window ended with the second's"

end_window
settings=$(cat "$work/app/QuillorDic.ini")
grep -q '^item1="heart"' <<<"$settings" || fail "the handed search is not in the history: $settings"
grep -q '^item2="bacteria"' <<<"$settings" || fail "the handed lookup is not in the history: $settings"
! grep -q lung <<<"$settings" || fail "a refused message reached the window: $settings"
[ ! -e "$socket" ] || fail "the socket outlived the window"

# No runtime folder, and a shared temporary folder where another user made the names
# first: the window listens in a folder of its own user's all the same.
if [ "${#as[@]}" -gt 0 ]; then
    mkdir -m 1777 "$work/tmp"
    taken="$work/tmp/QuillorDic-$(id -u nobody)"
    mkdir -m 777 "$taken"
    touch -d '-1 minute' "$taken"
    touch "$work/before-start"
    export TMPDIR="$work/tmp"
    unset XDG_RUNTIME_DIR
    start_window
    search_from_second_start "$work/app/QuillorDic" lung
    [ -n "$(find "$work/home" -type s -name 'org.quillordic.QuillorDic.*')" ] ||
        fail "the window does not listen in its user's own folder"
    [ -z "$(find "$taken" -newer "$work/before-start")" ] ||
        fail "the window wrote into the folder another user made"
    end_window
    echo "another user's names in the temporary folder: passed over"
else
    echo "names another user took first: not tried (needs root)"
fi
echo "a crashed window's socket is taken over; refused messages change nothing; a second start's --lookup and --search run in the window; a second portable copy has a window of its own"

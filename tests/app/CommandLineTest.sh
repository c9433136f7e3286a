#!/usr/bin/env bash
# The command line's answers, from the real program on a terminal without a display:
# each case gives the arguments, the exit status, and a line that must stand first
# on stdout or stderr. None may need a display, so none may open a window.
# Usage: CommandLineTest.sh PROGRAM
set -uo pipefail
program=$1
failures=0
check() {
    local expected_status=$1 stream=$2 first_line=$3
    shift 3
    local out err status
    out=$(mktemp) err=$(mktemp)
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$program" "$@" >"$out" 2>"$err"
    status=$?
    local got
    got=$(head -1 "$([ "$stream" = stdout ] && echo "$out" || echo "$err")")
    if [ "$status" -ne "$expected_status" ] || [ "$got" != "$first_line" ]; then
        echo "FAIL: $* -> status $status (want $expected_status), first $stream line '$got' (want '$first_line')"
        sed 's/^/  stderr: /' "$err" | head -5
        failures=$((failures + 1))
    fi
    rm -f "$out" "$err"
}
name=$(basename "$program")
usage="Usage: $name [--search TEXT | --lookup TEXT] [FILE]"
check 0 stdout "$usage" --help
check 0 stdout "$usage" -h
check 0 stdout "QuillorDic 1.0.0.2" --version
check 0 stdout "QuillorDic 1.0.0.2" -v
# Qt's own options are the application object's, and no error here.
check 0 stdout "QuillorDic 1.0.0.2" -platform offscreen --version
check 2 stderr "$name: Unknown option 'bogus'." --bogus
check 2 stderr "$name: Unknown option 'x'." -x "a file.txt"
check 2 stderr "$name: one FILE at most, but 2 were given" "a.txt" "b c.txt"
check 2 stderr "$name: Missing value after '-platform'." -platform
# A search text is refused before any window is looked for: a stray selection of a
# whole page is no word to look up.
check 2 stderr "$name: Missing value after '--search'." --search
check 2 stderr "$name: one --search or --lookup at most, but 2 were given" --search heart --search lung
check 2 stderr "$name: one --search or --lookup at most, but 2 were given" --lookup heart --search lung
check 2 stderr "$name: Missing value after '--lookup'." --lookup
check 2 stderr "$name: the search text is too long: 16385 characters, at most 16384" \
    --search "$(head -c 16385 /dev/zero | tr '\0' x)"
[ "$failures" -eq 0 ] && echo "the command line answers without a display"
exit $((failures > 0))

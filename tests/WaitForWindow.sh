# Sourced by the tests that start the real program. wait_for_window PID LOG waits until
# the program's main window is up: the browser engine's helper process starts with it,
# as a child of the program. It calls the caller's `fail` (after showing LOG) when the
# program ends first, or when no window comes within 30 s.
wait_for_window() {
    local pid=$1 log=$2
    for _ in $(seq 1 300); do
        pgrep -P "$pid" >/dev/null && return 0
        kill -0 "$pid" 2>/dev/null || { cat "$log" >&2; fail "the program ended by itself"; }
        sleep 0.1
    done
    fail "the main window did not come up"
}

# wait_for_first_record PID LOG waits, after the window, until the program has shown
# its first record (or found nothing to load): a logout before that ends the start
# before its file is open. The program writes the milestone to LOG when started with
# QUILLOR_START_TRACE set.
wait_for_first_record() {
    local pid=$1 log=$2
    for _ in $(seq 1 300); do
        grep -qa "first record shown" "$log" && return 0
        kill -0 "$pid" 2>/dev/null || { cat "$log" >&2; fail "the program ended by itself"; }
        sleep 0.1
    done
    fail "the first record was not shown"
}

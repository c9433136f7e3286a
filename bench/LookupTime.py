#!/usr/bin/env python3
"""Times a later start's --search: from its launch to the running window's result shown.

Usage: LookupTime.py RUNS PROGRAM DICTIONARY WORD

Starts PROGRAM on DICTIONARY as the window (in a runtime and settings folder of its own,
traced through QUILLOR_START_TRACE), waits for its first record, then launches
"PROGRAM --search WORD" RUNS times after one warm-up. The window writes the milestone
"lookup shown" once the search's first record has loaded; its time since the window's
launch, less the second start's launch, is the figure. Beside it: the second start's own
run until it ends, and "PROGRAM --version" as the floor of any start of the program.
Prints each one's median and range in milliseconds.
"""
import os
import queue
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time


def read_marks(stream, marks):
    for line in stream:
        parts = line.rstrip("\n").split("\t")
        if len(parts) == 3 and parts[0] == "start-up":
            marks.put((parts[1], float(parts[2])))


def wait_for(marks, name, deadline_s=60):
    deadline = time.monotonic() + deadline_s
    while time.monotonic() < deadline:
        try:
            mark, ms = marks.get(timeout=1)
        except queue.Empty:
            continue
        if mark == name:
            return ms
    sys.exit(f"LookupTime: the window never reached '{name}'")


def process_ms(command, env):
    start = time.time_ns()
    subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return (time.time_ns() - start) / 1e6


def summary(name, values):
    print(f"  {name:<44} median {statistics.median(values):7.1f} ms   range {min(values):7.1f} to {max(values):7.1f} ms")


def main():
    runs, program, dictionary, word = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, XDG_RUNTIME_DIR=folder, XDG_CONFIG_HOME=folder)
        env.pop("QUILLOR_START_TRACE", None)
        launch = time.time_ns()
        window = subprocess.Popen([program, dictionary], env=dict(env, QUILLOR_START_TRACE=str(launch)),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        marks = queue.Queue()
        threading.Thread(target=read_marks, args=(window.stderr, marks), daemon=True).start()
        try:
            wait_for(marks, "first record shown")
            lookups, handovers = [], []
            for run in range(runs + 1):
                start = time.time_ns()
                handover = process_ms([program, "--search", word], env)
                shown = wait_for(marks, "lookup shown")
                if run == 0:
                    continue  # warm-up: the search text is built at the first search
                lookups.append(launch / 1e6 + shown - start / 1e6)
                handovers.append(handover)
            floor = [process_ms([program, "--version"], env) for _ in range(runs)]
        finally:
            window.send_signal(signal.SIGKILL)
            window.wait()
    summary(f"--search {word}: launch to the window's result shown", lookups)
    summary("  the second start alone, launch to its end", handovers)
    summary("the floor: --version, launch to its end", floor)


if __name__ == "__main__":
    main()

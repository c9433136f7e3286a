#!/usr/bin/env python3
"""Times a program's start-up from its launch to its last traced milestone.

Usage: StartTime.py RUNS LAST_MILESTONE PROGRAM [ARGUMENT...]

Each run launches PROGRAM with QUILLOR_START_TRACE set to the launch time, reads the
milestones it writes to stderr, and kills it at LAST_MILESTONE. One warm-up run is not
counted. Prints each milestone's median and range in milliseconds since the launch.
"""
import os
import signal
import statistics
import subprocess
import sys
import time


def one_run(command, last):
    env = dict(os.environ, QUILLOR_START_TRACE=str(time.time_ns()))
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    marks = {}
    try:
        deadline = time.monotonic() + 60
        for line in process.stderr:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3 and parts[0] == "start-up":
                marks[parts[1]] = float(parts[2])
                if parts[1] == last:
                    break
            if time.monotonic() > deadline:
                break
    finally:
        process.send_signal(signal.SIGKILL)
        process.wait()
    if last not in marks:
        sys.exit(f"StartTime: {command[0]} never reached '{last}'")
    return marks


def main():
    runs, last, command = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    one_run(command, last)  # warm-up: caches and the engine's profile folder
    results = [one_run(command, last) for _ in range(runs)]
    names = sorted(results[0], key=lambda name: results[0][name])
    for name in names:
        values = [marks[name] for marks in results if name in marks]
        print(f"  {name:<22} median {statistics.median(values):7.1f} ms   range {min(values):7.1f} to {max(values):7.1f} ms")


if __name__ == "__main__":
    main()

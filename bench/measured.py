"""Running a benchmarked command through run-measured, which reports the command's own wall
time and peak memory."""

import os
import statistics
import subprocess
import sys
import tempfile
import time


def run_measured(runner, command):
    """Runs a command with its output discarded; returns (seconds, peak RSS in MiB)."""
    with open(os.devnull, "wb") as sink:
        result = subprocess.run([runner] + command, stdout=sink, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        sys.exit(f"{command} failed with status {result.returncode}: {result.stderr}")
    seconds, kib = result.stderr.split()[-2:]
    return float(seconds), int(kib) / 1024.0


def measure(runner, command, repeat):
    """Runs a command once to warm the page cache, then `repeat` times; returns the median,
    fastest and slowest times and the largest peak memory."""
    run_measured(runner, command)
    runs = [run_measured(runner, command) for _ in range(repeat)]
    times = [t for t, _ in runs]
    return statistics.median(times), min(times), max(times), max(m for _, m in runs)


def run_to_exit(command, env=None):
    """Runs a command with its output discarded; returns its wall seconds from launch to its own
    exit, its exit status, its resource usage and its standard error. Standard error goes to a
    file, not a pipe: under Wine the desktop process (explorer.exe), started with a program's
    first window, inherits it and outlives the program by a second or more."""
    with tempfile.TemporaryFile() as errors:
        start = time.monotonic()
        child = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=errors)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.monotonic() - start
        errors.seek(0)
        return wall, os.waitstatus_to_exitcode(status), usage, errors.read()

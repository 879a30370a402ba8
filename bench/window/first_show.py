#!/usr/bin/env python3
"""Time from start to Trovanta's first shown window, and the window's peak memory.

Runs trovanta-first-show (Trovanta with a probe) on the offscreen platform: it reports when its
main window first paints and then quits. Measures each run from outside too:
wall time from launch to exit and the peak resident set size of that process alone (wait4).
The large archive holds 1,000,000 records, every second one compressed; the window must stay
under 150 MB on it.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import time

MEMORY_BUDGET_MB = 150
LARGE_RECORDS = 1_000_000
REPORT = re.compile(rb"first_show_ms=(\d+) peak_rss_kib=(-?\d+)")


def run_once(trovanta, archive):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    start = time.monotonic()
    child = subprocess.Popen([trovanta, archive], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.PIPE)
    err = child.stderr.read()
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    wall = time.monotonic() - start
    match = REPORT.search(err)
    if child.returncode != 0 or match is None:
        sys.exit(f"first_show: {archive}: no report (exit {child.returncode}): {err.decode()}")
    return {
        "wall_s": wall,
        "first_show_s": int(match.group(1)) / 1000,
        "peak_mb": usage.ru_maxrss / 1024,
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--trovanta", required=True, help="trovanta-first-show")
    parser.add_argument("--make-archive", required=True, help="make-bench-archive RECORDS OUT")
    parser.add_argument("--demo", required=True, help="the demo archive")
    parser.add_argument("--work", required=True, help="folder for the large archive")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()

    large = os.path.join(args.work, "million.spr")
    if not os.path.exists(large):
        subprocess.run([args.make_archive, str(LARGE_RECORDS), large], check=True)

    print(f"{'archive':<12} {'runs':>4} {'first show s':>13} {'wall s':>8} {'peak RSS MB':>12}")
    over_budget = False
    for name, path in (("demo", args.demo), ("1M records", large)):
        runs = [run_once(args.trovanta, path) for _ in range(args.runs)]
        first_show = statistics.median(r["first_show_s"] for r in runs)
        wall = statistics.median(r["wall_s"] for r in runs)
        peak = max(r["peak_mb"] for r in runs)
        print(f"{name:<12} {args.runs:>4} {first_show:>13.3f} {wall:>8.3f} {peak:>12.1f}")
        if path == large and peak >= MEMORY_BUDGET_MB:
            over_budget = True
    if over_budget:
        print(f"first_show: the window took {MEMORY_BUDGET_MB} MB or more", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

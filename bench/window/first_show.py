#!/usr/bin/env python3
"""Time from start to Trovanta's first shown window, and the window's peak memory.

Runs trovanta-first-show (Trovanta with a probe) on the offscreen platform: it reports when its
main window first paints and then quits. Measures each run from outside too:
wall time from launch to exit and the peak resident set size of that process alone (wait4).
The large archive holds 1,000,000 records, every second one compressed; the window must stay
under 150 MB on it. With --win32, Trovanta.exe with the same probe runs beside it under Wine on
the X display given (start the script under xvfb-run), in a Wine prefix of its own; its first
show must stay within 1.5 times the Qt window's on the large archive.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from measured import run_to_exit  # noqa: E402
from wine_prefix import make_wine_prefix, remove_wine_prefix  # noqa: E402

MEMORY_BUDGET_MB = 150
WIN32_TIME_BUDGET = 1.5
LARGE_RECORDS = 1_000_000
REPORT = re.compile(rb"first_show_ms=(\d+) peak_rss_kib=(-?\d+)")


def run_once(trovanta, archive, wine_env=None):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    command = [trovanta, archive]
    if wine_env is not None:
        # The wine loader becomes the program's process, so wait4 sees its own peak.
        env = wine_env
        command = ["wine", trovanta, "Z:" + os.path.abspath(archive)]
    wall, returncode, usage, err = run_to_exit(command, env)
    match = REPORT.search(err)
    if returncode != 0 or match is None:
        sys.exit(f"first_show: {archive}: no report (exit {returncode}): {err.decode()}")
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
    parser.add_argument("--win32", help="trovanta-first-show.exe, run under Wine beside the Qt one")
    args = parser.parse_args()

    windows = [("Qt", args.trovanta, None)]
    wine_env = None
    if args.win32:
        wine_env = make_wine_prefix()
        windows.append(("Win32/Wine", args.win32, wine_env))

    large = os.path.join(args.work, "million.spr")
    if not os.path.exists(large):
        subprocess.run([args.make_archive, str(LARGE_RECORDS), large], check=True)

    print(f"{'window':<11} {'archive':<12} {'runs':>4} {'first show s':>13} {'wall s':>8} "
          f"{'peak RSS MB':>12}")
    failures = []
    large_first_show = {}
    try:
        for name, path in (("demo", args.demo), ("1M records", large)):
            for window, program, env in windows:
                runs = [run_once(program, path, env) for _ in range(args.runs)]
                first_show = statistics.median(r["first_show_s"] for r in runs)
                wall = statistics.median(r["wall_s"] for r in runs)
                peak = max(r["peak_mb"] for r in runs)
                print(f"{window:<11} {name:<12} {args.runs:>4} {first_show:>13.3f} {wall:>8.3f} "
                      f"{peak:>12.1f}")
                if path == large:
                    large_first_show[window] = first_show
                    if peak >= MEMORY_BUDGET_MB:
                        failures.append(f"{window} took {MEMORY_BUDGET_MB} MB or more")
    finally:
        if wine_env:
            remove_wine_prefix(wine_env)
    if "Win32/Wine" in large_first_show and (
            large_first_show["Win32/Wine"] > WIN32_TIME_BUDGET * large_first_show["Qt"]):
        failures.append(f"Win32/Wine first show above {WIN32_TIME_BUDGET} x the Qt window's")
    for failure in failures:
        print(f"first_show: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

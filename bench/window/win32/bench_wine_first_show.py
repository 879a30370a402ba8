#!/usr/bin/env python3
"""Trovanta.exe's first show under Wine beside the floor of its opens, in one prefix and one run.

Wall time from launch to exit of each program, runs taken in turn (floor, floor with the identity
read, window, floor, ...) so that a change in the machine's load touches all of them alike:
- `open-floor.exe ARCHIVE`: only the listing's opens and reads, an open per operation;
- `open-floor.exe ARCHIVE identity`: the same, and each open also reads the file's identity from
  its handle the way the library does;
- `trovanta-first-show.exe ARCHIVE`: Trovanta.exe as shipped, listing the archive at start-up and
  quitting once its window has painted.
The archive holds RECORDS records, every second one compressed (make-bench-archive). Run it in a
Wine prefix of its own (WINEPREFIX) on an X display with a window manager: without one, Wine
waits two seconds for every window it withdraws. A persistent wineserver is started first, so
that no run pays for the server's start; the first run of each program is a warm-up on a small
archive. Prints a Markdown table; exits 1 when the window's median is above LIMIT times the
median of the floor with one open per operation.

  WINEPREFIX=/tmp/wine-bench DISPLAY=:59 bench/window/win32/bench_wine_first_show.py \\
      --windows-build build/windows --make-archive build/bench/lister/make-bench-archive
"""
import argparse
import datetime
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from measured import run_to_exit  # noqa: E402

LIMIT = 1.2
REPORT = re.compile(rb"first_show_ms=(\d+)")


def server_cpu(prefix):
    """CPU seconds used so far by the wineserver of `prefix` (0 when none runs)."""
    total = 0.0
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/comm", encoding="ascii") as file:
                if not file.read().startswith("wineserver"):
                    continue
            with open(f"/proc/{pid}/environ", "rb") as file:
                if f"WINEPREFIX={prefix}".encode() not in file.read().split(b"\0"):
                    continue
            with open(f"/proc/{pid}/stat", encoding="ascii") as file:
                fields = file.read().rsplit(")", 1)[1].split()
        except OSError:  # gone meanwhile, or another user's
            continue
        total += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return total


def run(command, env):
    """Wall seconds from launch to exit, CPU seconds of the program and of the wineserver, and
    the program's own first-show figure when it gives one."""
    server_before = server_cpu(env["WINEPREFIX"])
    wall, returncode, usage, err = run_to_exit(command, env)
    cpu = usage.ru_utime + usage.ru_stime
    if returncode != 0:
        sys.exit(f"{' '.join(command)}: exit {returncode}: {err.decode()}")
    match = REPORT.search(err)
    return (wall, cpu, server_cpu(env["WINEPREFIX"]) - server_before,
            int(match.group(1)) / 1000 if match else None)


def load_average():
    with open("/proc/loadavg", encoding="ascii") as file:
        return " ".join(file.read().split()[:3])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--windows-build", required=True, help="the Windows sub-build folder")
    parser.add_argument("--make-archive", required=True, help="make-bench-archive RECORDS OUT")
    parser.add_argument("--records", type=int, default=100_000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", help="folder for the archives (default: a temporary one)")
    args = parser.parse_args()
    if "WINEPREFIX" not in os.environ or "DISPLAY" not in os.environ:
        sys.exit("set WINEPREFIX (a prefix of its own) and DISPLAY")

    programs = os.path.join(args.windows_build, "bench")
    floor = os.path.join(programs, "open-floor.exe")
    window = os.path.join(programs, "trovanta-first-show.exe")
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    version = subprocess.run(["wine", "--version"], env=env, capture_output=True,
                             text=True).stdout.strip()
    # Fails harmlessly when the prefix's server already runs.
    subprocess.run(["wineserver", "-p30"], env=env, stderr=subprocess.DEVNULL)

    with tempfile.TemporaryDirectory() as scratch:
        work = args.work or scratch
        archive = os.path.join(work, f"bench-{args.records}.spr")
        small = os.path.join(work, "bench-100.spr")
        for records, path in ((args.records, archive), (100, small)):
            if not os.path.exists(path):
                subprocess.run([args.make_archive, str(records), path], check=True)
        # Each program as the command that runs it on the archive at a path.
        commands = {
            "open-floor.exe ARCHIVE": lambda path: ["wine", floor, path],
            "open-floor.exe ARCHIVE identity": lambda path: ["wine", floor, path, "identity"],
            "trovanta-first-show.exe ARCHIVE": lambda path: ["wine", window, path],
        }
        archive, small = ("Z:" + os.path.abspath(path) for path in (archive, small))

        for command in commands.values():  # warm-up: the prefix's files into the page cache
            run(command(small), env)
        started = datetime.datetime.now(datetime.timezone.utc)
        loads = [load_average()]
        walls = {name: [] for name in commands}
        cpus = {name: [] for name in commands}
        shows = []
        for _ in range(args.runs):
            for name, command in commands.items():
                wall, cpu, server, show = run(command(archive), env)
                walls[name].append(wall)
                cpus[name].append((cpu, server))
                if show is not None:
                    shows.append(show)
            loads.append(load_average())

    medians = {name: statistics.median(values) for name, values in walls.items()}
    floor_median = medians["open-floor.exe ARCHIVE"]
    identity_median = medians["open-floor.exe ARCHIVE identity"]
    print(f"{started:%Y-%m-%d %H:%M} UTC, {version}, {args.records:,} records (every second one "
          f"compressed), {args.runs} alternating runs; load average (1, 5, 15 min) before and "
          f"after each round: {' | '.join(loads)}")
    print()
    print("| program | wall, runs (s) | best (s) | median (s) | median / floor | median / floor "
          "with identity | CPU, program + wineserver, per run (s) |")
    print("|---|---|---:|---:|---:|---:|---|")
    for name, values in walls.items():
        runs = ", ".join(f"{value:.1f}" for value in values)
        cpu = ", ".join(f"{own:.1f} + {server:.1f}" for own, server in cpus[name])
        print(f"| `{name}` | {runs} | {min(values):.1f} | {medians[name]:.1f} | "
              f"{medians[name] / floor_median:.2f} | {medians[name] / identity_median:.2f} | "
              f"{cpu} |")
    print()
    print(f"trovanta-first-show.exe's own figure, from entering main to its first paint: "
          f"{', '.join(f'{value:.1f}' for value in shows)} s")
    ratio = medians["trovanta-first-show.exe ARCHIVE"] / floor_median
    met = ratio <= LIMIT
    print(f"Window / floor (an open per operation): {ratio:.2f} (limit {LIMIT}): "
          f"{'met' if met else 'NOT met'}")
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Time to close Trovanta during a listing: from a close request to the program's exit.

Each round starts the window, lets a long listing run (its progress window shown, then SETTLE
seconds more), activates the target window, sends the close as a user's keys with xdotool and
times from xdotool's return until the program's process has exited (wait4); "gone" is when the
target window left the screen (the slowest round shown). Ways: Alt+F4 (the window manager's
close, as the close box) on the progress window of the start-up listing (the archive on the
command line; the main window shows only after it); and, in a listing started by File > Open
(Alt+F, O) from the shown main window, Esc and Alt+F4 to the main window, a click on its close
box and Alt+F4 on the progress window. Alt+F4 on the progress window is its Cancel: the listing
stops and the main window stays, so there the time is to the progress window gone (the program
is then killed). "key to" names the window active when the key went (a
click goes to the main window's frame): a window disabled under a modal one cannot be activated.
A way is not repeated after a round that did not exit within TIMEOUT s (the program is killed
then), and the script then exits 1; the 0.5 s target is shown, not enforced. Trovanta.exe runs
under Wine in one prefix made for the run. Needs xdotool, xwininfo, xprop and openbox (started
here unless --window-manager '' says one runs), e.g.

  xvfb-run -a -s "-screen 0 1024x768x24" python3 bench/window/close_in_listing.py \\
      --make-archive build/bench/lister/make-bench-archive \\
      --qt build/lister/qt/Trovanta --win32 build/windows/lister/win32/Trovanta.exe
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_prefix import make_wine_prefix, remove_wine_prefix, settle_wine_prefix  # noqa: E402

TARGET_S = 0.5
MAIN, PROGRESS, DIALOG = r"^Trovanta \(", "^Trovanta$", "^Select an archive file to list$"
WAYS = [("start-up", PROGRESS, "alt+F4"), ("opened", MAIN, "Escape"), ("opened", MAIN, "alt+F4"),
        ("opened", MAIN, "click"), ("opened", PROGRESS, "alt+F4")]  # fmt: skip
ROW = "{:<11} {:<9} {:<15} {:<9} {:>4} {:>9} {:>6} {:>6} {:>8} {:>9}"


def xdotool(*args, timeout=20):
    done = subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=timeout)
    return done.stdout.strip()


def window_info(window):
    """xwininfo's fields ("Map State", "Width", ...); none for a window gone."""
    info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
    fields = (line.split(":", 1) for line in info.splitlines() if ":" in line)
    return {name.strip(): value.strip() for name, value in fields}


def shown(window):
    """Whether `window` is mapped and larger than Wine's 1x1 task-bar owner."""
    info = window_info(window)
    return info.get("Map State") == "IsViewable" and info.get("Width") != "1"


def click_close_box(window):
    """Clicks the window manager's close box: in the frame's top right corner."""
    at = window_info(window)
    extents = subprocess.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"], capture_output=True,
                             text=True).stdout.split("=")[-1]  # fmt: skip
    _, right, top, _ = (int(n) for n in extents.split(","))
    x = int(at["Absolute upper-left X"]) + int(at["Width"]) + right - top // 2
    xdotool("mousemove", str(x), str(int(at["Absolute upper-left Y"]) - top // 2), "click", "1")


def wait_for(pattern, child, deadline):
    while time.monotonic() < deadline and child.poll() is None:
        windows = xdotool("search", "--onlyvisible", "--name", pattern).split()
        found = [w for w in windows if shown(w)]
        if found:
            return found[0]
        time.sleep(0.1)
    raise RuntimeError(f"no window {pattern!r}")


def run_round(command, env, archive, small, way, args):
    """One round: (seconds to exit, seconds to the window gone, key to); raises on a failure."""
    listing, target, key = way
    to, progress = "-", None
    with tempfile.TemporaryFile() as errors:  # not a pipe: Wine's desktop process inherits it
        child = subprocess.Popen(command(archive if listing == "start-up" else small), env=env,
                                 stdout=subprocess.DEVNULL, stderr=errors)  # fmt: skip
        try:
            deadline = time.monotonic() + 60  # Wine's first start in a prefix is slow
            if listing == "opened":
                main = wait_for(MAIN, child, deadline)
                xdotool("windowactivate", "--sync", main, "key", "alt+f", "o")
                wait_for(DIALOG, child, deadline)
                xdotool("type", "--delay", "5", command(archive)[-1])
                xdotool("key", "Return")
            progress = wait_for(PROGRESS, child, deadline)
            time.sleep(args.settle)
            window = progress if target == PROGRESS else wait_for(MAIN, child, deadline)
            try:  # --sync waits for good on a window that is not activated
                xdotool("windowactivate", "--sync", window, timeout=2)
            except subprocess.TimeoutExpired:
                pass
            active = xdotool("getactivewindow")
            to = "progress" if active == progress else "main" if active == window else "other"
            if key == "click":  # on the frame, whichever window is active
                click_close_box(window)
                to = "main"
            else:
                xdotool("key", key)
            sent, gone = time.monotonic(), {window: None, progress: None}
            while time.monotonic() - sent < args.timeout:
                for w in (w for w, at in gone.items() if at is None and not shown(w)):
                    gone[w] = time.monotonic() - sent
                pid, status, _ = os.wait4(child.pid, os.WNOHANG)
                if pid:
                    if os.waitstatus_to_exitcode(status) != 0:
                        raise RuntimeError(f"exit status {os.waitstatus_to_exitcode(status)}")
                    return time.monotonic() - sent, gone[window], to
                if target == PROGRESS and gone[progress] is not None:  # a Cancel
                    child.kill()
                    child.wait()
                    return gone[progress], gone[progress], to
                time.sleep(0.005)
            left = "still shown" if gone[progress] is None else f"gone after {gone[progress]:.3f} s"
            raise RuntimeError(f"running {args.timeout:g} s after {key} to the {to} window, "
                               f"the progress window {left}")  # fmt: skip
        except (RuntimeError, subprocess.TimeoutExpired) as error:
            child.kill()
            child.wait()
            errors.seek(0)
            raise RuntimeError(f"{error}; killed. {errors.read().decode(errors='replace')}", to)


def start_window_manager(name):
    manager = subprocess.Popen([name], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):  # until it has taken the screen
        check = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True)
        if b"window id" in check.stdout:
            return manager
        time.sleep(0.1)
    sys.exit(f"close_in_listing: {name} did not start")


def archive_of(args, records):
    path = os.path.join(args.work, f"close-{records}.spr")
    if not os.path.exists(path):
        subprocess.run([args.make_archive, str(records), path], check=True)
    return path


def measure_way(name, command, env, archive, small, way, args, failures):
    """Rounds of one way of closing, up to the first failure; returns the table's row."""
    runs, keyed = [], "-"
    for _ in range(args.rounds):
        try:
            runs.append(run_round(command, env, archive, small, way, args))
        except RuntimeError as error:
            failures.append(f"{name}, {way[0]} listing, {way[2]}: {error.args[0]}")
            keyed = error.args[1]
            break
        finally:
            if "WINEPREFIX" in env:
                settle_wine_prefix(env)
    ends, gone = [r[0] for r in runs], [r[1] for r in runs if r[1] is not None]
    figures = ["-"] * 4
    if ends:
        figures = [f"{x:.3f}" for x in (statistics.median(ends), min(ends), max(ends))]
        figures.append(f"{max(gone):.3f}" if gone else "-")
    met = len(runs) == args.rounds and max(ends) <= TARGET_S
    keyed = "/".join(sorted({r[2] for r in runs})) or keyed
    close = way[2] + (" (cancel)" if way[1] == PROGRESS else "")
    return ROW.format(name, way[0], close, keyed, len(runs), *figures, "yes" if met else "NO")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--make-archive", required=True, help="make-bench-archive RECORDS OUT")
    parser.add_argument("--qt", help="Trovanta, run with QT_QPA_PLATFORM=xcb")
    parser.add_argument("--win32", help="Trovanta.exe, run under Wine")
    parser.add_argument("--qt-records", type=int, default=2_000_000)
    parser.add_argument("--win32-records", type=int, default=300_000)
    parser.add_argument("--work", default=tempfile.gettempdir(), help="folder for the archives")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--settle", type=float, default=1.0, help="seconds of listing first")
    parser.add_argument("--timeout", type=float, default=10.0)
    parser.add_argument("--window-manager", default="openbox")
    args = parser.parse_args()

    manager = start_window_manager(args.window_manager) if args.window_manager else None
    small, windows, failures = archive_of(args, 10), [], []
    if args.qt:
        windows.append(("Qt", lambda path: [args.qt, path],
                        dict(os.environ, QT_QPA_PLATFORM="xcb"), args.qt_records))  # fmt: skip
    if args.win32:
        z = lambda path: "Z:" + os.path.abspath(path).replace("/", "\\")  # noqa: E731
        windows.append(("Win32/Wine", lambda path: ["wine", args.win32, z(path)],
                        make_wine_prefix(), args.win32_records))  # fmt: skip
    print(f"load average at start: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    print(ROW.format("window", "listing", "close", "key to", "runs", "median s", "min s", "max s",
                     "gone max", "<= 0.5 s"))  # fmt: skip
    try:
        for name, command, env, records in windows:
            archive = archive_of(args, records)
            for way in WAYS:
                row = measure_way(name, command, env, archive, small, way, args, failures)
                print(row, flush=True)
    finally:
        for _, _, env, _ in windows:
            if "WINEPREFIX" in env:
                remove_wine_prefix(env)
        if manager:
            manager.terminate()
    print(f"load average at end: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    for failure in failures:
        print(f"close_in_listing: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

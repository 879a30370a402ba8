"""A fresh Wine prefix for the window benchmarks: made once, used by every run, then removed."""

import os
import shutil
import subprocess
import tempfile


def make_wine_prefix():
    """Makes a prefix with `wineboot -i`; returns the environment for `wine` in it: no debug
    output, and no .NET or HTML engine, which a fresh prefix would otherwise offer to install."""
    prefix = tempfile.mkdtemp(prefix="bench-wine-")
    env = dict(
        os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml="
    )
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    subprocess.run(["wineboot", "-i"], env=env, check=True, **quiet)
    return env


def settle_wine_prefix(env, timeout=20):
    """Waits until the prefix's wineserver has ended (it stays a few seconds after the last
    program), so that no run pays for the one before; stops it when it outstays `timeout`."""
    try:
        subprocess.run(["wineserver", "-w"], env=env, timeout=timeout, check=False)
    except subprocess.TimeoutExpired:
        subprocess.run(["wineserver", "-k"], env=env, check=False)


def remove_wine_prefix(env):
    # A wineserver already gone is fine, and a prefix left behind harms no result.
    subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL, check=False)
    shutil.rmtree(env["WINEPREFIX"], ignore_errors=True)

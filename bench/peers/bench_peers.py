#!/usr/bin/env python3
"""trovanta-ls beside the tools people use instead to list an archive's entries: `unzip -l`,
`bsdtar -tvf` and `7z l` on a zip of the same number of entries, and beside its own floor (the
same opens and reads in a minimal program). Installs the peers from Debian's packages when they
are missing, runs each command several times and prints a Markdown table of medians, with the
ratio of each to trovanta-ls."""

import argparse
import os
import platform
import shutil
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from measured import measure  # noqa: E402

PEER_PACKAGES = {"unzip": "unzip", "zip": "zip", "bsdtar": "libarchive-tools", "7z": "p7zip-full"}


def install_peers():
    missing = [package for tool, package in PEER_PACKAGES.items() if shutil.which(tool) is None]
    if not missing:
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    subprocess.run(sudo + ["apt-get", "update", "-qq"], check=True)
    subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing,
                   check=True, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def write_zip(path, count):
    """A zip with `count` small entries, every second one deflated, like the archive's half."""
    with zipfile.ZipFile(path, "w") as archive:
        for i in range(count):
            method = zipfile.ZIP_DEFLATED if i % 2 else zipfile.ZIP_STORED
            archive.writestr(zipfile.ZipInfo(f"R{i}.SPR"), b"x" * 8, compress_type=method)


def median_of(runner, command, repeat):
    median, _, _, peak = measure(runner, command, repeat)
    return median, peak


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default="build", help="the CMake build folder")
    parser.add_argument("--sizes", type=int, nargs="+", default=[1_000, 100_000, 1_000_000])
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()
    install_peers()

    tool = lambda *parts: os.path.abspath(os.path.join(args.build, *parts))
    lister = tool("lister", "cli", "trovanta-ls")
    runner = tool("bench", "lister", "run-measured")
    floor = tool("bench", "lister", "open-floor")
    maker = tool("bench", "lister", "make-bench-archive")
    which = lambda name: shutil.which(name)

    print(f"Machine: {platform.machine()}, {os.cpu_count()} cores, "
          f"{os.sysconf('SC_PAGE_SIZE') * os.sysconf('SC_PHYS_PAGES') // 2**30} GiB, "
          f"{platform.platform()}; median of {args.repeat} runs after one warm-up run, "
          "output to /dev/null")
    print()
    print("| entries | trovanta-ls (s) | floor (s) | unzip -l (s) | bsdtar -tvf (s) | 7z l (s) "
          "| floor / ls | unzip / ls | bsdtar / ls | 7z / ls | ls peak RSS (MiB) |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    with tempfile.TemporaryDirectory() as folder:
        for size in args.sizes:
            ours = os.path.join(folder, f"bench-{size}.spr")
            theirs = os.path.join(folder, f"bench-{size}.zip")
            subprocess.run([maker, str(size), ours], check=True)
            write_zip(theirs, size)
            ls_time, ls_rss = median_of(runner, [lister, "--format", "tsv", ours], args.repeat)
            floor_time, _ = median_of(runner, [floor, ours], args.repeat)
            unzip_time, _ = median_of(runner, [which("unzip"), "-l", theirs], args.repeat)
            bsdtar_time, _ = median_of(runner, [which("bsdtar"), "-tvf", theirs], args.repeat)
            sevenz_time, _ = median_of(runner, [which("7z"), "l", theirs], args.repeat)
            ratio = lambda t: f"{t / ls_time:.2f}"
            print(f"| {size:,} | {ls_time:.3f} | {floor_time:.3f} | {unzip_time:.3f} "
                  f"| {bsdtar_time:.3f} | {sevenz_time:.3f} | {ratio(floor_time)} "
                  f"| {ratio(unzip_time)} | {ratio(bsdtar_time)} | {ratio(sevenz_time)} "
                  f"| {ls_rss:.1f} |", flush=True)


if __name__ == "__main__":
    main()

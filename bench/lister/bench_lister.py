#!/usr/bin/env python3
"""Times `trovanta-ls --format tsv` against the floor program that does only the same opens and
reads and takes each open's identity, as a listing that notices a changed archive must, on
generated archives of 10,000, 100,000 and 1,000,000 records (half compressed), and reports the
medians, their ratio and the lister's peak memory as a Markdown table. The floor without the
identity reads is shown beside it."""

import argparse
import os
import platform
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from measured import measure  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default="build", help="the CMake build folder")
    parser.add_argument("--sizes", type=int, nargs="+", default=[10_000, 100_000, 1_000_000])
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()

    lister = os.path.join(args.build, "lister", "cli", "trovanta-ls")
    floor = os.path.join(args.build, "bench", "lister", "open-floor")
    maker = os.path.join(args.build, "bench", "lister", "make-bench-archive")
    runner = os.path.join(args.build, "bench", "lister", "run-measured")
    print(f"Machine: {platform.machine()}, {os.cpu_count()} cores, {platform.platform()}; "
          f"median of {args.repeat} runs after one warm-up run")
    print()
    print("| records | trovanta-ls tsv (s) | floor (s) | ratio | lister min-max (s) "
          "| lister peak RSS (MiB) | floor peak RSS (MiB) | floor without identity (s) |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|")
    worst = 0.0
    with tempfile.TemporaryDirectory() as folder:
        for size in args.sizes:
            path = os.path.join(folder, f"bench-{size}.spr")
            subprocess.run([maker, str(size), path], check=True)
            lister_median, lister_min, lister_max, lister_rss = measure(
                runner, [lister, "--format", "tsv", path], args.repeat)
            floor_median, _, _, floor_rss = measure(
                runner, [floor, path, "identity"], args.repeat)
            plain_median = measure(runner, [floor, path], args.repeat)[0]
            ratio = lister_median / floor_median
            worst = max(worst, ratio)
            print(f"| {size:,} | {lister_median:.3f} | {floor_median:.3f} | {ratio:.2f} "
                  f"| {lister_min:.3f}-{lister_max:.3f} | {lister_rss:.1f} | {floor_rss:.1f} "
                  f"| {plain_median:.3f} |")
    print()
    print(f"Worst ratio to the floor: {worst:.2f} (target: at most 1.2)")


if __name__ == "__main__":
    main()

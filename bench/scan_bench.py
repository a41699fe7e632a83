#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times lintwick-report against GNU find doing the same work, side by side in one run.

    bench/scan_bench.py [--tree DIR] [--files N] [--report PATH] [--repeat K]

Makes the tree with make_tree.py when DIR does not exist yet, warms the cache, then runs each pair
K times alternately and prints the median times, their ratio and the peak memory of lintwick-report.
Targets on a warm 1,000,000-file tree: zero and size at most 0.8x find, dupes at most 0.6x find's
full listing with stat data, dupes peak memory under 300 MB.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def timed(cmd):
    """Runs cmd with output to /dev/null; returns (seconds, peak resident MB)."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, stdout=null, stderr=null, env=dict(os.environ, LC_ALL="C"))
        _, status, usage = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(cmd)}")
    return elapsed, usage.ru_maxrss / 1024.0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tree", default="/tmp/lintwick-bench-1m")
    ap.add_argument("--files", type=int, default=1_000_000)
    ap.add_argument("--report", default=os.path.join(HERE, "..", "build", "cli", "lintwick-report"))
    ap.add_argument("--repeat", type=int, default=3)
    args = ap.parse_args()

    if not os.path.isdir(args.tree):
        subprocess.run([sys.executable, os.path.join(HERE, "make_tree.py"), args.tree,
                        "--files", str(args.files)], check=True)
    root = args.tree
    prune = ["-xdev", "-name", ".*", "-prune", "-o", "-type", "f"]
    pairs = [
        ("zero", [args.report, "zero", root], ["find", root] + prune + ["-empty", "-print"], 0.8),
        ("size", [args.report, "size", "--kb", "1000", root],
         ["find", root] + prune + ["-size", "+1023999c", "-print"], 0.8),
        ("dupes", [args.report, "dupes", root],
         ["find", root] + prune + ["-printf", "%T@ %s %p\\n"], 0.6),
    ]

    timed(["find", root, "-xdev", "-printf", "%s\\n"])  # warm the caches
    timed(pairs[2][1])
    print(f"tree: {root}   processors: {os.cpu_count()}")
    print(f"{'report':8} {'lintwick s':>11} {'find s':>9} {'ratio':>7} {'target':>7} {'peak MB':>8}")
    for name, ours, theirs, target in pairs:
        our_times, their_times, peaks = [], [], []
        for _ in range(args.repeat):
            t, peak = timed(ours)
            our_times.append(t)
            peaks.append(peak)
            their_times.append(timed(theirs)[0])
        a, b = statistics.median(our_times), statistics.median(their_times)
        verdict = "ok" if a / b <= target else "MISSED"
        print(f"{name:8} {a:11.3f} {b:9.3f} {a / b:7.2f} {target:7.2f} {max(peaks):8.1f}  {verdict}")


if __name__ == "__main__":
    main()

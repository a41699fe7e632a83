#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The duplicates report from the main window against lintwick-report, side by side in one run.

    bench/window_bench.py [--tree DIR] [--files N] [--build DIR] [--repeat K]

Makes the tree with make_tree.py when DIR does not exist yet, warms the cache, then runs
`lintwick-report dupes DIR` and window_report_bench (the Dupes command of the main window, offscreen,
the question answered) K times alternately. Prints the median command-line time against the median
time from the command to the window's first painted row, the worst lateness of a 10 ms timer on the
window thread, the peak resident memory of each program, their ratios and the targets: window
within 1.15x the command-line time, never late by more than 50 ms, peak memory within 1.2x.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def run(cmd, env):
    """Runs cmd; returns (seconds, peak resident MB, stdout)."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(cmd)}")
    return elapsed, usage.ru_maxrss / 1024.0, out.decode("utf-8", "replace")


def figures(text):
    values = {}
    for line in text.splitlines():
        key, _, value = line.partition(" ")
        values[key] = value
    return values


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tree", default="/tmp/lintwick-bench-1m")
    ap.add_argument("--files", type=int, default=1_000_000)
    ap.add_argument("--build", default=os.path.join(HERE, "..", "build"))
    ap.add_argument("--repeat", type=int, default=3)
    args = ap.parse_args()

    if not os.path.isdir(args.tree):
        subprocess.run([sys.executable, os.path.join(HERE, "make_tree.py"), args.tree,
                        "--files", str(args.files)], check=True)
    report = [os.path.join(args.build, "cli", "lintwick-report"), "dupes", args.tree]
    window = [os.path.join(args.build, "bench", "window_report_bench"), args.tree]
    env = dict(os.environ, LC_ALL="C", QT_QPA_PLATFORM="offscreen")

    print(f"tree: {args.tree}   processors: {os.cpu_count()}   "
          f"load before: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    run(report, env)  # warms the caches
    cli_times, cli_peaks, win_times, win_delays, win_peaks = [], [], [], [], []
    status = ""
    for _ in range(args.repeat):
        t, peak, _ = run(report, env)
        cli_times.append(t)
        cli_peaks.append(peak)
        _, peak, out = run(window, env)
        values = figures(out)
        win_times.append(float(values["first_row_s"]))
        win_delays.append(float(values["worst_delay_ms"]))
        win_peaks.append(peak)
        status = values.get("status", "")
    print(f"load after: {' '.join(f'{x:.2f}' for x in os.getloadavg())}   window status: {status}")

    cli, win = statistics.median(cli_times), statistics.median(win_times)
    cli_peak, win_peak = max(cli_peaks), max(win_peaks)
    delay = max(win_delays)

    def line(what, value, unit, target, ok):
        print(f"{what:52} {value:10.3f} {unit:3} (target {target})  {'ok' if ok else 'MISSED'}")

    print(f"lintwick-report dupes, median of {args.repeat}: {cli:.3f} s, each "
          f"{', '.join(f'{t:.2f}' for t in cli_times)}")
    print(f"window, command to first painted row, median: {win:.3f} s, each "
          f"{', '.join(f'{t:.2f}' for t in win_times)}")
    line("window time / lintwick-report time", win / cli, "x", "<= 1.15", win / cli <= 1.15)
    line("worst delay of the window thread", delay, "ms", "<= 50", delay <= 50)
    print(f"peak memory: lintwick-report {cli_peak:.1f} MB, window {win_peak:.1f} MB")
    line("window peak memory / lintwick-report peak memory", win_peak / cli_peak, "x", "<= 1.2",
         win_peak / cli_peak <= 1.2)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times lintwick-report against fd and GNU find doing the same work, side by side in one session.

    bench/scan_bench.py [--cold] [--tree DIR] [--files N] [--repeat K] [--report PATH] [--baseline PATH]
    bench/scan_bench.py --chain [--chain-dir DIR]

Warm (the default): warms the caches, then runs every command K times (default 5), in turns, and
prints the median time and the peak memory of each, with the ratios the targets are about:
no lintwick mode slower than --baseline (an older lintwick-report, when given), dupes at most 0.5x
GNU find's full listing.

--cold: drops the page, dentry and inode caches before every run (root only; skipped with a message
otherwise), K runs each (default 3). Targets: zero and size at most 0.8x `fdfind -j8` doing the same
job, dupes at most 0.9x `fdfind -j8` listing every file. fd's plain listing reads directories only;
the duplicates report must also read the size of every file whose name repeats, so the table also
compares it with fd listing every file with a size condition (which makes fd read every inode).

--chain: a chain of 10,000 nested directories with 255-byte names (made once in DIR) with a file at
each end; prints the peak memory of each report on it (target: under 64 MB) beside GNU find's.

The 1,000,000-file tree is made with make_tree.py when DIR does not exist yet (a few minutes, about
400 MB of disk).
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_REPORT = os.path.join(HERE, "..", "build", "cli", "lintwick-report")


def run(cmd, cold=False):
    """Runs cmd with output to /dev/null; returns (seconds, peak resident MB)."""
    if cold:
        os.sync()
        with open("/proc/sys/vm/drop_caches", "w") as f:
            f.write("3\n")
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, stdout=null, stderr=null, env=dict(os.environ, LC_ALL="C"))
        _, status, usage = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(cmd)}")
    return elapsed, usage.ru_maxrss / 1024.0


def table(rows):
    head = ["mode", "tool", "median s", "runs", "peak MB", "ratio", "target", ""]
    widths = [max(len(str(r[i])) for r in rows + [head]) for i in range(len(head))]
    line = lambda r: "  ".join(str(c).ljust(w) if i < 2 else str(c).rjust(w) for i, (c, w) in enumerate(zip(r, widths)))
    print(line(head))
    for r in rows:
        print(line(r))


def measure(groups, repeat, cold):
    """Runs every command of each group repeat times, the group's commands in turns, so that the
    commands compared with each other meet the same load; returns {name: (median, times, peak)}."""
    results = {}
    for commands in groups:
        times = {name: [] for name, _ in commands}
        peaks = {name: 0.0 for name, _ in commands}
        for round_ in range(repeat):
            order = commands if round_ % 2 == 0 else list(reversed(commands))
            for name, cmd in order:
                t, peak = run(cmd, cold)
                times[name].append(t)
                peaks[name] = max(peaks[name], peak)
                print(f"  {name:28} {t:7.2f} s {peak:7.1f} MB", file=sys.stderr, flush=True)
        for name, _ in commands:
            results[name] = (statistics.median(times[name]), times[name], peaks[name])
    return results


def tree_bench(args):
    if not os.path.isdir(args.tree):
        subprocess.run([sys.executable, os.path.join(HERE, "make_tree.py"), args.tree, "--files", str(args.files)],
                       check=True)
    root = args.tree
    fd = shutil.which("fdfind") or shutil.which("fd")
    prune = ["-xdev", "-name", ".*", "-prune", "-o", "-type", "f"]
    commands = [
        ("lintwick zero", [args.report, "zero", root]),
        ("lintwick size", [args.report, "size", "--kb", "1000", root]),
        ("lintwick dupes", [args.report, "dupes", root]),
        ("find zero", ["find", root] + prune + ["-empty", "-print"]),
        ("find size", ["find", root] + prune + ["-size", "+1023999c", "-print"]),
        ("find full listing", ["find", root] + prune + ["-printf", "%T@ %s %p\\n"]),
    ]
    if fd:
        # Hidden directories are left out, as lintwick does; no ignore files are read.
        fd_base = [fd, "-j8", "--no-ignore", "--type", "file"]
        commands += [
            ("fd -j8 zero", fd_base + ["--type", "empty", ".", root]),
            ("fd -j8 size", fd_base + ["--size", "+1000ki", ".", root]),
            ("fd -j8 every file", fd_base + [".", root]),
            # The same listing, made to read every file's size (as the duplicates report must).
            ("fd -j8 every file, sizes", fd_base + ["--size", "-1ti", ".", root]),
        ]
    else:
        print("fdfind not found (apt-get install fd-find): the fd comparisons are left out", file=sys.stderr)
    if args.baseline:
        commands += [
            ("baseline zero", [args.baseline, "zero", root]),
            ("baseline size", [args.baseline, "size", "--kb", "1000", root]),
            ("baseline dupes", [args.baseline, "dupes", root]),
        ]
    repeat = args.repeat or (3 if args.cold else 5)
    if not args.cold:
        for _, cmd in commands:
            run(cmd)  # warm the caches, and every program
    mode_of = lambda name: ("dupes" if "every file" in name or "full listing" in name else name.split()[-1])
    groups = [[c for c in commands if mode_of(c[0]) == mode] for mode in ["zero", "size", "dupes"]]
    results = measure(groups, repeat, args.cold)

    def row(mode, name, against=None, target=None):
        median, times, peak = results[name]
        ratio = verdict = ""
        if against in results:
            ratio = f"{median / results[against][0]:.2f}"
            verdict = ("ok" if median / results[against][0] <= target else "MISSED") if target else ""
            ratio += f" of {against}"
        return [mode, name, f"{median:.2f}", len(times), f"{peak:.1f}", ratio,
                f"{target:.2f}" if target else "", verdict]

    rows = []
    for mode in ["zero", "size", "dupes"]:
        ours = f"lintwick {mode}"
        if args.cold:
            fd_name = {"zero": "fd -j8 zero", "size": "fd -j8 size", "dupes": "fd -j8 every file"}[mode]
            rows.append(row(mode, ours, fd_name, 0.9 if mode == "dupes" else 0.8))
        elif args.baseline:
            rows.append(row(mode, ours, f"baseline {mode}", 1.0))
        else:
            rows.append(row(mode, ours))
        if not args.cold and mode == "dupes":
            rows.append(row(mode, ours, "find full listing", 0.5))
        if mode == "dupes" and "fd -j8 every file, sizes" in results:
            rows.append(row(mode, ours, "fd -j8 every file, sizes"))
        for other in (f"baseline {mode}", f"fd -j8 {'every file' if mode == 'dupes' else mode}",
                      "fd -j8 every file, sizes" if mode == "dupes" else "",
                      f"find {'full listing' if mode == 'dupes' else mode}"):
            if other in results:
                rows.append(row(mode, other))
    print(f"\n{'cold' if args.cold else 'warm'} caches, tree {root}, {os.cpu_count()} processors, "
          f"load average {os.getloadavg()[0]:.1f}")
    table(rows)


def make_chain(top, depth=10000):
    """A chain of depth directories with 255-byte names, a file at the top and one at the bottom."""
    name = "d" * 255
    os.makedirs(top, exist_ok=True)
    fd = os.open(top, os.O_RDONLY | os.O_DIRECTORY)
    os.close(os.open("top.txt", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd))
    for _ in range(depth):
        try:
            os.mkdir(name, dir_fd=fd)
        except FileExistsError:
            pass
        child = os.open(name, os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
        os.close(fd)
        fd = child
    os.close(os.open("top.txt", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd))
    os.close(fd)
    with open(os.path.join(top, ".made"), "w"):
        pass


def chain_bench(args):
    if not os.path.exists(os.path.join(args.chain_dir, ".made")):
        print(f"making the chain in {args.chain_dir} ...", file=sys.stderr)
        make_chain(args.chain_dir)
    root = args.chain_dir
    commands = [
        ("lintwick dupes", [args.report, "dupes", root]),
        ("lintwick zero", [args.report, "zero", root]),
        ("find full listing", ["find", root, "-xdev", "-type", "f", "-printf", "%T@ %s %p\\n"]),
    ]
    if args.baseline:
        commands.append(("baseline dupes", [args.baseline, "dupes", root]))
    results = measure([commands], args.repeat or 1, False)
    rows = []
    for name, _ in commands:
        median, times, peak = results[name]
        target = 64.0 if name.startswith("lintwick") else None
        rows.append(["chain", name, f"{median:.2f}", len(times), f"{peak:.1f}", "",
                     f"<{target:.0f} MB" if target else "", ("ok" if peak < target else "MISSED") if target else ""])
    print(f"\n10,000 nested directories of 255-byte names in {root}")
    table(rows)


def stop_latency(args):
    """How long lintwick-report takes to end after SIGINT in the middle of a warm walk."""
    for mode in ["zero", "dupes"]:
        proc = subprocess.Popen([args.report, mode, args.tree], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        time.sleep(0.5)
        start = time.perf_counter()
        proc.send_signal(signal.SIGINT)
        err = proc.communicate()[1].decode(errors="replace").strip().splitlines()
        print(f"stop during a warm {mode} walk: ended {1000 * (time.perf_counter() - start):.0f} ms after SIGINT, "
              f"status {proc.returncode}, '{err[-1] if err else ''}'")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tree", default="/work/bench-tree")
    ap.add_argument("--files", type=int, default=1_000_000)
    ap.add_argument("--report", default=DEFAULT_REPORT)
    ap.add_argument("--baseline", help="an older lintwick-report to compare against")
    ap.add_argument("--repeat", type=int)
    ap.add_argument("--cold", action="store_true")
    ap.add_argument("--chain", action="store_true")
    ap.add_argument("--chain-dir", default="/work/bench-chain")
    ap.add_argument("--stop", action="store_true", help="also time how fast SIGINT ends a run")
    args = ap.parse_args()
    args.report = os.path.abspath(args.report)

    if args.cold and os.geteuid() != 0:
        print("--cold drops the kernel's caches, which needs root: skipped", file=sys.stderr)
        return
    if args.chain:
        chain_bench(args)
        return
    tree_bench(args)
    if args.stop:
        stop_latency(args)


if __name__ == "__main__":
    main()

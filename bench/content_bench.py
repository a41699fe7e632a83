#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times the content check after a duplicates report against content-duplicate finders and plain
reads of the same bytes, and compares the peak memory of `lintwick-report dupes --content` with that
of `dupes`.

    bench/content_bench.py [--tree DIR] [--build DIR] [--repeat K] [--cold] [--memory-tree DIR] [--stop]

The tree (default /tmp/lintwick-content-tree) is made by make_content_tree.py when missing: about
2.3 GB of real contents in 10,000 name groups, a minute to make. Each round runs every command once,
in turns; the table shows medians (wall time, and processor time: the machine may be shared).

Warm: the check (build/bench/content_bench: a duplicates report, then the check alone, timed) against
`jdupes -r` and `rmlint -T df` over the tree (target: at most 0.5x each), and `xxhsum -H2` reading the
files the check read beyond their first 4 KiB (target: at most 1.3x).
--cold: the tree's file contents are dropped from the page cache before every run (posix_fadvise
DONTNEED on each file, so the caches of others sharing the machine stay; the report's walk still
finds the metadata cached, as right after a report); the check against one sequential read of the
files it read whole, in inode order, 1 MiB at a time (target: at most 1.2x).
--memory-tree DIR: peak memory of `lintwick-report dupes --content` against `dupes` on DIR, such as
the 1,000,000-file tree of make_tree.py (target: at most 1.1x).
--stop: how long a stop takes to end a cold check half a second after it began (target: 0.1 s).
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def run(cmd, cwd=None):
    """Runs cmd; returns (wall seconds, processor seconds, peak resident MB, standard output)."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, cwd=cwd,
                            env=dict(os.environ, LC_ALL="C"))
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(cmd)}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0, out.decode()


def evict(tree):
    for folder, _, files in os.walk(tree):
        for name in files:
            fd = os.open(os.path.join(folder, name), os.O_RDONLY)
            os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
            os.close(fd)


def sequential_read(paths):
    start = time.perf_counter()
    buffer = bytearray(1 << 20)
    for path in paths:
        fd = os.open(path, os.O_RDONLY)
        while os.readv(fd, [buffer]):
            pass
        os.close(fd)
    return time.perf_counter() - start


def check(bench, tree, listing, *extra):
    _, _, _, out = run([bench, tree, "--list", listing, *extra])
    m = re.search(r"check ([0-9.]+) s \(processor ([0-9.]+) s\)", out)
    return float(m.group(1)), float(m.group(2)), out


def show(rows):
    head = ("what", "median s", "processor s", "ratio", "target", "")
    widths = [max(len(str(r[i])) for r in rows + [head]) for i in range(len(head))]
    for r in [head] + rows:
        print("  ".join(str(c).ljust(w) if i == 0 else str(c).rjust(w) for i, (c, w) in enumerate(zip(r, widths))))


def verdict(ratio, target):
    return (f"{ratio:.2f}", f"<= {target}", "ok" if ratio <= target else "MISSED")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tree", default="/tmp/lintwick-content-tree")
    ap.add_argument("--build", default=os.path.join(HERE, "..", "build"))
    ap.add_argument("--repeat", type=int, default=5)
    ap.add_argument("--cold", action="store_true")
    ap.add_argument("--memory-tree")
    ap.add_argument("--stop", action="store_true")
    args = ap.parse_args()
    bench = os.path.join(args.build, "bench", "content_bench")
    report = os.path.join(args.build, "cli", "lintwick-report")
    if not os.path.isdir(args.tree):
        subprocess.run([sys.executable, os.path.join(HERE, "make_content_tree.py"), args.tree], check=True)
    scratch = tempfile.TemporaryDirectory()
    listing = os.path.join(scratch.name, "read-whole")

    _, _, out = check(bench, args.tree, listing)
    print(out.strip())
    paths = open(listing, "rb").read().split(b"\0")[:-1]
    paths.sort(key=lambda p: os.stat(p).st_ino)
    print(f"{len(paths)} files, {sum(os.stat(p).st_size for p in paths) / 1e6:.1f} MB read whole")
    xxhsum = ["sh", "-c", f"xargs -0 xxhsum -H2 < '{listing}'"]

    times = {}
    def note(name, wall, cpu):
        times.setdefault(name, []).append((wall, cpu))

    for _ in range(args.repeat):
        if args.cold:
            evict(args.tree)
            note("check", *check(bench, args.tree, listing)[:2])
            evict(args.tree)
            note("sequential read", sequential_read(paths), 0.0)
        else:
            note("check", *check(bench, args.tree, listing)[:2])
            note("jdupes -r", *run(["jdupes", "-r", "-q", args.tree])[:2])
            # rmlint replaces an output file it is given (run as root, /dev/null itself): its summary
            # goes to the scratch folder.
            summary = os.path.join(scratch.name, "rmlint-summary.txt")
            note("rmlint -T df", *run(["rmlint", "-T", "df", "-o", f"summary:{summary}", args.tree],
                                      cwd=scratch.name)[:2])
            note("xxhsum -H2", *run(xxhsum)[:2])
    median = {k: (statistics.median(w for w, _ in v), statistics.median(c for _, c in v)) for k, v in times.items()}
    mine = median["check"][0]
    rows = [("check", f"{mine:.3f}", f"{median['check'][1]:.3f}", "", "", "")]
    targets = {"sequential read": 1.2} if args.cold else {"jdupes -r": 0.5, "rmlint -T df": 0.5, "xxhsum -H2": 1.3}
    for name, target in targets.items():
        wall, cpu = median[name]
        rows.append((name, f"{wall:.3f}", f"{cpu:.3f}" if cpu else "", *verdict(mine / wall, target)))
    print(f"{'cold' if args.cold else 'warm'}, medians of {args.repeat}; ratio: check / other")
    show(rows)

    if args.stop:
        evict(args.tree)
        _, _, out = check(bench, args.tree, listing, "--stop-after", "0.5")
        print(out.strip())

    if args.memory_tree:
        peaks = {"dupes": 0.0, "dupes --content": 0.0}
        for _ in range(args.repeat):
            for name in peaks:
                peaks[name] = max(peaks[name], run([report, *name.split(), args.memory_tree])[2])
        ratio = peaks["dupes --content"] / peaks["dupes"]
        print(f"peak memory on {args.memory_tree}: dupes {peaks['dupes']:.1f} MB, dupes --content "
              f"{peaks['dupes --content']:.1f} MB, ratio {ratio:.3f} (target <= 1.1: "
              f"{'ok' if ratio <= 1.1 else 'MISSED'})")


if __name__ == "__main__":
    main()

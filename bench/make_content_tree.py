#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes a deterministic tree of name groups with real contents, for the content check's benchmark.

GROUPS groups (default 10,000) of three files of one name in three of 300 folders, about 2 GB in
all (not sparse). Half the groups hold true copies (two or three files with the same bytes); the
others hold files of the same size whose first 4 KiB differ, files of the same size that differ only
in their last byte (read whole), or files of different sizes. Three groups hold large files: copies
of 300 MB, and near-copies and files that differ at once of 100 MB.

    bench/make_content_tree.py DIR [--groups N] [--seed S]
"""
import argparse
import os
import random

FOLDERS = 300
MB = 1 << 20


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("dir")
    ap.add_argument("--groups", type=int, default=10_000)
    ap.add_argument("--seed", type=int, default=1912)
    args = ap.parse_args()
    rng = random.Random(args.seed)

    folders = [os.path.join(args.dir, f"d{d // 20:02d}", f"e{d:03d}") for d in range(FOLDERS)]
    for folder in folders:
        os.makedirs(folder, exist_ok=True)

    def blob(n):  # randbytes takes at most 2**31 bits at a time
        return b"".join(rng.randbytes(min(MB, n - at)) for at in range(0, n, MB))

    def write(folder, name, data):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

    large = {0: ("copies", 300 * MB), 1: ("near", 100 * MB), 2: ("differ", 100 * MB)}
    for g in range(args.groups):
        name = f"file-{g:05d}.dat"
        places = rng.sample(folders, 3)
        r = rng.random()
        kind, size = large.get(g, ("copies" if r < 0.5 else "differ" if r < 0.75 else "near" if r < 0.9
                                   else "sizes", rng.randint(512, 48 * 1024)))
        base = blob(size)
        if kind == "copies":  # two or three copies, the third otherwise of another size
            third = base if rng.random() < 0.5 else blob(size + 1 + rng.randrange(4096))
            contents = [base, base, third]
        elif kind == "differ":  # one size, different from the first byte
            contents = [base, blob(size), blob(size)]
        elif kind == "near":  # one size, only the last byte differs
            contents = [base[:-1] + bytes([v]) for v in (1, 2, 3)]
        else:
            contents = [base, blob(size + 7), blob(size + 13)]
        for folder, data in zip(places, contents):
            write(folder, name, data)


if __name__ == "__main__":
    main()

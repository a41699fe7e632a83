#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes a deterministic test tree for the scan benchmarks.

Realistic names with many repeats (the same README.md, index.js or icon.png in many folders), 2 %
empty files, a long tail of sparse large files, some hidden directories and symbolic links. Files
are sparse: the tree takes little disk space whatever the sizes say.

    bench/make_tree.py DIR [--files N] [--seed S]
"""
import argparse
import os
import random
import sys

COMMON = [
    "README.md", "readme.txt", "LICENSE", "Makefile", "index.js", "index.html", "__init__.py",
    "main.c", "util.h", "config.json", "icon.png", "logo.svg", "style.css", "package.json",
    "CMakeLists.txt", "setup.py", "test.py", "notes.txt", "data.csv", "thumbs.db", "desktop.ini",
    "Cargo.toml", "mod.rs", "lib.rs", "app.log", "error.log", "cache.tmp", "~lock.tmp",
]
STEMS = ["report", "photo", "invoice", "scan", "draft", "backup", "song", "clip", "chapter",
         "summary", "letter", "budget", "slides", "track", "episode", "page", "frame", "sample"]
EXTS = [".pdf", ".jpg", ".png", ".doc", ".txt", ".mp3", ".mp4", ".odt", ".xls", ".zip", ".tmp",
        ".dat", ".bak", ".iso", ".wav"]
DIRS = ["src", "docs", "lib", "test", "assets", "img", "build", "old", "2019", "2020", "2021",
        "2022", "2023", "music", "video", "Projects", "Downloads", "misc", "archive", "work"]
HIDDEN_DIRS = [".git", ".cache", ".config", ".local"]


def file_name(rng):
    r = rng.random()
    if r < 0.45:
        return rng.choice(COMMON)
    if r < 0.80:
        return f"{rng.choice(STEMS)}_{rng.randint(1, 400):03d}{rng.choice(EXTS)}"
    return f"{rng.choice(STEMS)}-{rng.getrandbits(40):010x}{rng.choice(EXTS)}"


def file_size(rng):
    r = rng.random()
    if r < 0.02:
        return 0
    if r < 0.97:
        return rng.randint(1, 200_000)
    if r < 0.995:
        return rng.randint(1_000_000, 50_000_000)
    return rng.randint(100_000_000, 6_000_000_000)  # the long tail


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("dir")
    ap.add_argument("--files", type=int, default=1_000_000)
    ap.add_argument("--seed", type=int, default=1206)
    args = ap.parse_args()

    rng = random.Random(args.seed)
    os.makedirs(args.dir, exist_ok=True)
    made = 0
    pending = [(args.dir, 0)]
    while made < args.files:
        if not pending:
            pending = [(args.dir, 0)]
        folder, depth = pending.pop(rng.randrange(len(pending)))
        used = set(os.listdir(folder))
        for _ in range(rng.randint(2, 18)):
            if made >= args.files:
                break
            name = file_name(rng)
            if name in used:
                continue
            used.add(name)
            path = os.path.join(folder, name)
            if rng.random() < 0.01:
                os.symlink(rng.choice(list(used)), path)
                continue
            fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
            size = file_size(rng)
            if size:
                os.ftruncate(fd, size)
            os.close(fd)
            made += 1
        if depth < 7:
            for _ in range(rng.randint(1, 4) if depth < 5 else rng.randint(0, 2)):
                hidden = rng.random() < 0.03
                sub = rng.choice(HIDDEN_DIRS if hidden else DIRS)
                if rng.random() < 0.5 and not hidden:
                    sub += f"_{rng.randint(1, 99)}"
                child = os.path.join(folder, sub)
                if not os.path.exists(child):
                    os.mkdir(child)
                pending.append((child, depth + 1))
        if made and made % 100_000 < 10:
            print(f"{made} files", file=sys.stderr, flush=True)
    print(f"made {made} files under {args.dir}", file=sys.stderr)


if __name__ == "__main__":
    main()

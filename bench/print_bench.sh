#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints 10,000 and 100,000 report lines into a PDF, each run in a process of its own so that the peak
# memory is the run's own, and shows how the time grows. Target: 100,000 lines under 20 s and 300 MB.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bench="$top/build/bench/print_bench"
[ -x "$bench" ] || { echo "build first: cmake --build build --target print_bench" >&2; exit 1; }
small=$("$bench" 10000)
large=$("$bench" 100000)
echo "$small"
echo "$large"
t1=$(sed -E 's/.*time ([0-9.]+) s.*/\1/' <<<"$small")
t2=$(sed -E 's/.*time ([0-9.]+) s.*/\1/' <<<"$large")
awk -v a="$t1" -v b="$t2" 'BEGIN { printf "time ratio 100,000 / 10,000 lines: %.1f (10 is linear)\n", b / a }'

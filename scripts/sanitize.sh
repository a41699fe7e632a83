#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Lintwick with AddressSanitizer and UndefinedBehaviorSanitizer into ./build-asan and runs every
# test there: a bad memory access, undefined behaviour or a leak fails the test that caused it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$top" -B "$top/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINTWICK_ASSERTIONS=ON \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$top/build-asan"
cd "$top/build-asan"
export UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS="suppressions=$top/scripts/lsan-suppressions.txt:print_suppressions=0"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"

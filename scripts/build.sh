#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Lintwick in Release into ./build. Arguments are passed on to cmake
# (-DLINTWICK_ASSERTIONS=ON for a test build); without them build/ keeps how it was configured.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build

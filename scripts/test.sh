#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and runs every test (widget tests run offscreen).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh" -DLINTWICK_ASSERTIONS=ON
cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

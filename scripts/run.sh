#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and starts Lintwick in the current directory, which becomes its
# program directory (the audit log is kept there). The help file is read from beside the built
# program unless the current directory holds a copy of its own.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh" -DLINTWICK_ASSERTIONS=OFF
exec "$top/build/src/app/lintwick" "$@"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and starts Lintwick in the current directory
# (the program keeps its audit log and looks for its help file there).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh"
# The help file goes beside the audit log; a copy already there (perhaps edited) is left alone.
if [ ! -e "Lintwick.hlp" ]; then
  cp "$top/help/Lintwick.hlp" "Lintwick.hlp"
fi
exec "$top/build/src/app/lintwick" "$@"

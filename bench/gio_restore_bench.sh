#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What GLib takes to trash and restore N files (default 10,000) in folders of 100, for the restore
# figure of trash_bench to be read against. GLib restores only through gvfs, which needs a D-Bus
# session: this script starts one (packages gvfs, gvfs-daemons and dbus) and points the trash at a
# folder of its own through XDG_DATA_HOME, so the user's trash is left alone.
#
#     bash bench/gio_restore_bench.sh [FILES] [DIR]
set -euo pipefail
files=${1:-10000}
dir=${2:-/tmp/lintwick-gio-restore-bench}
if [ -z "${LINTWICK_GIO_SESSION:-}" ]; then
  command -v gio >/dev/null && command -v dbus-run-session >/dev/null ||
    { echo "needs gio and dbus-run-session"; exit 2; }
  rm -rf "$dir"
  mkdir -p "$dir/tree" "$dir/data"
  for ((i = 0; i < files; i++)); do
    [ $((i % 100)) -eq 0 ] && mkdir -p "$dir/tree/d$((i / 100))"
    echo "$i" > "$dir/tree/d$((i / 100))/file$((i % 100)).txt"
  done
  sync
  # The trash daemon reads XDG_DATA_HOME from the session it is started in.
  XDG_DATA_HOME="$dir/data" LINTWICK_GIO_SESSION=1 dbus-run-session -- bash "$0" "$files" "$dir" 2>/dev/null
  rm -rf "$dir"
  exit 0
fi

now() { date +%s.%N; }
cd "$dir/tree"
start=$(now)
gio trash d*/*
trashed=$(now)
mapfile -t uris < <(gio trash --list | cut -f1)
listed=$(now)
gio trash --restore "${uris[@]}" 2>/dev/null || true
restored=$(now)
back=$(find "$dir/tree" -type f | wc -l)
printf 'gio trash, one call:           %8.0f ms (%d files)\n' "$(echo "($trashed - $start) * 1000" | bc)" "$files"
printf 'gio trash --restore, one call: %8.0f ms (%d of %d back; listing the trash took %.0f ms more)\n' \
  "$(echo "($restored - $listed) * 1000" | bc)" "$back" "${#uris[@]}" "$(echo "($listed - $trashed) * 1000" | bc)"

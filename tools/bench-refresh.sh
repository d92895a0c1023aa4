#!/usr/bin/env bash
# Times the list fill (RefreshList phase by phase, next to a bare registry
# walk), a header-click sort and the icons of the rows on screen, and the
# real program's start-up to a filled list of 2000 entries.
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_prepare
zaltrow_make_prefix "$build/wine-bench" headless
"$WINESERVER" -p
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
cd "$build"
# --cli: the console program's `list --json > file` next to the window's
# start-up (tools/bench-cli.sh).
programs=("src\\$ZALTROW_EXE_NAME")
[ "${1:-}" = --cli ] && programs=(--cli "src\\$ZALTROW_EXE_NAME" "src\\$ZALTROW_CONSOLE_EXE_NAME")
# --start-up OTHER.exe: only the real program's figures, of another build
# of it (a Unix path), to compare with this one's.
[ "${1:-}" = --start-up ] && programs=(--start-up "Z:$(realpath "$2" | tr / '\\')")
xvfb-run -a -s "-screen 0 1024x768x24" "$WINE" tools/bench/refresh_bench.exe "${programs[@]}"

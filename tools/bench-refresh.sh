#!/usr/bin/env bash
# Times the list fill (RefreshList phase by phase, next to a bare registry
# walk) and the real program's start-up to a filled list of 601 entries.
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_prepare
zaltrow_make_prefix "$build/wine-bench" headless
"$WINESERVER" -p
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
cd "$build"
xvfb-run -a -s "-screen 0 1024x768x24" "$WINE" tools/bench/refresh_bench.exe "src\\$ZALTROW_EXE_NAME"

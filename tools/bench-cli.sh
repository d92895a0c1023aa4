#!/usr/bin/env bash
# Times the console program's `zaltrow list --json > file` on 2000 entries,
# the whole process, next to the window's start-up to a filled list of the
# same entries (refresh_bench's seeding and start-up timing), in a prefix of
# its own. Both are started the same way, from a process in the prefix.
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_prepare
zaltrow_make_prefix "$build/wine-bench" headless
"$WINESERVER" -p
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
cd "$build"
xvfb-run -a -s "-screen 0 1024x768x24" "$WINE" tools/bench/refresh_bench.exe --cli \
  "src\\$ZALTROW_EXE_NAME" "src\\$ZALTROW_CONSOLE_EXE_NAME"


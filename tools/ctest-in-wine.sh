#!/usr/bin/env bash
# Runs CTest for one build inside a throwaway Wine prefix; expects a display.
set -euo pipefail
source "$(dirname "$0")/common.sh"

arch=$1
build="$ZALTROW_ROOT/build/$arch"
zaltrow_wine_env "$arch"
zaltrow_log "making a test prefix in build/$arch/wine-test"
zaltrow_make_prefix "$build/wine-test" headless

# A warm server makes each test process start in milliseconds; wineboot
# first, or services started by the first test hold CTest's pipes open.
"$WINESERVER" -p
(cd "$build" && "$WINE" wineboot >/dev/null 2>&1)
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
# A window that lives for the whole run keeps Wine's desktop process up, so
# no test's output pipe is held open by a desktop process started for it.
(cd "$build" && exec "$WINE" tests/keep_desktop.exe >/dev/null 2>&1 &)

cd "$build"
ctest --output-on-failure --timeout 180

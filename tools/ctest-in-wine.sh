#!/usr/bin/env bash
# Runs CTest for one build inside throwaway Wine prefixes; expects a display.
# Arguments after the architecture go to ctest (e.g. -R to pick tests).
set -euo pipefail
source "$(dirname "$0")/common.sh"

arch=$1
build="$ZALTROW_ROOT/build/$arch"
zaltrow_wine_env "$arch"
zaltrow_log "making a test prefix in build/$arch/wine-test"
if [ "$arch" = i686 ]; then
  zaltrow_log "and the 64-bit (WOW64), code page 932 and console program prefixes beside it"
else
  zaltrow_log "and the code page 932 and console program prefixes beside it"
fi
zaltrow_make_side_prefixes "$build" "$arch" &
side=$!
zaltrow_make_prefix "$build/wine-test" headless
wait "$side"
prefixes=("$build/wine-test" "$build/wine-test932" "$build/wine-testcli")
[ "$arch" = i686 ] && prefixes+=("$build/wine-test64")

# Each prefix's Wine environment, as the tests registered for it set it.
prefix_env() {
  case "$1" in
    *-test64) echo "WINEPREFIX=$1 WINEARCH=win64 WINESERVER=/usr/lib/wine/wineserver64" ;;
    *-test932) echo "WINEPREFIX=$1 LOCPATH=$build/locale LC_ALL=ja_JP.UTF-8" ;;
    *) echo "WINEPREFIX=$1" ;;
  esac
}
stop_servers() {
  for prefix in "${prefixes[@]}"; do env $(prefix_env "$prefix") sh -c '"$WINESERVER" -k' >/dev/null 2>&1 || true; done
}
trap stop_servers EXIT
for prefix in "${prefixes[@]}"; do
  # A warm server makes each test process start in milliseconds; wineboot
  # first, or services started by the first test hold CTest's pipes open.
  # A window that lives for the whole run keeps Wine's desktop process up,
  # so no test's output pipe is held open by a desktop process started for it.
  env $(prefix_env "$prefix") sh -c '
    "$WINESERVER" -p
    cd "$1" && "$WINE" wineboot >/dev/null 2>&1
    ("$WINE" tests/keep_desktop.exe >/dev/null 2>&1 &)' _ "$build"
done
export WINEPREFIX="$build/wine-test"

cd "$build"
# Tests that open windows hold the "desktop" lock and take turns; the rest
# fill the other cores (tests/CMakeLists.txt).
ctest --output-on-failure --timeout 180 -j "$(nproc)" "${@:2}"

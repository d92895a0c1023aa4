#!/usr/bin/env bash
# Zaltrow's own time per entry in a batch of quick uninstalls: 20 small NSIS
# programs (tests/cli/BatchProgram.nsi) uninstalled one by one by `zaltrow
# uninstall --match ZBench --quiet`, the whole run timed, minus the same 20
# uninstallers' own time when each is started directly (in place, with
# _?=, so that the start returns when it has finished). Both rounds start
# one Wine process per uninstaller, so the difference is what Zaltrow adds:
# reading and judging the lists, the lock, following each uninstaller and
# its copy, and checking each entry afterwards. Goal: under 200 ms per entry.
# The x86_64 build (the NSIS programs are 64-bit), in a prefix of its own.
set -euo pipefail
source "$(dirname "$0")/common.sh"

count=20
arch=x86_64
build="$ZALTROW_ROOT/build/$arch"
command -v makensis >/dev/null || zaltrow_install_deps
[ -f "$build/CMakeCache.txt" ] || zaltrow_build "$arch"
cmake --build "$build" -j "$(zaltrow_jobs)" --target zaltrow_console -- --no-print-directory >/dev/null
zaltrow_identity "$build"
zaltrow_wine_env "$arch"
zaltrow_make_prefix "$build/wine-bench-uninstall" headless
"$WINESERVER" -p
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT

programs="$build/bench-uninstall"
mkdir -p "$programs"
for i in $(seq -w 1 $count); do
  makensis -V1 -DNAME="ZBench-$i" -DOUTFILE="$programs/ZBench-$i.exe" "$ZALTROW_ROOT/tests/cli/BatchProgram.nsi"
done
install_all() {
  # wine returns when the program it started has ended.
  for i in $(seq -w 1 $count); do "$WINE" "$programs/ZBench-$i.exe" /S; done
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Wine's Windows folder of the prefix's temporary files, where they install.
folder_of() { "$WINE" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r'; }
temp=$(folder_of)

zaltrow_log "round 1: each uninstaller started directly"
install_all
start=$(now_ms)
for i in $(seq -w 1 $count); do
  "$WINE" "$temp\\ZaltrowBatch\\ZBench-$i\\uninst.exe" /S "_?=$temp\\ZaltrowBatch\\ZBench-$i"
done
direct=$(($(now_ms) - start))

zaltrow_log "round 2: all of them by zaltrow uninstall"
install_all
left=$("$WINE" "$build/src/$ZALTROW_CONSOLE_EXE_NAME" list --match ZBench | grep -c 'ZBench-' || true)
start=$(now_ms)
status=0
"$WINE" "$build/src/$ZALTROW_CONSOLE_EXE_NAME" uninstall --match ZBench --quiet >"$build/bench-uninstall.txt" || status=$?
batch=$(($(now_ms) - start))
after=$("$WINE" "$build/src/$ZALTROW_CONSOLE_EXE_NAME" list --match ZBench | grep -c 'ZBench-' || true)

start=$(now_ms)
"$WINE" "$build/src/$ZALTROW_CONSOLE_EXE_NAME" --version >/dev/null
version=$(($(now_ms) - start))

printf 'entries listed before the batch:      %d (after: %d; exit code %d)\n' "$left" "$after" "$status"
printf 'uninstallers started directly:        %6d ms for %d (%d ms each)\n' "$direct" "$count" $((direct / count))
printf 'zaltrow uninstall --match --quiet:    %6d ms for %d\n' "$batch" "$count"
printf "zaltrow's own time per entry:         %6d ms (goal: under 200 ms)\n" $(((batch - direct) / count))
printf 'for scale, zaltrow --version:         %6d ms\n' "$version"
tail -n 1 "$build/bench-uninstall.txt"

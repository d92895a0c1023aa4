#!/usr/bin/env bash
# Builds Zaltrow and runs every test under Wine with a virtual display,
# after the native checks of the pure text code (sanitized unit tests and
# a bounded run of each fuzz target). Installs what is missing first; the
# last line counts everything; exits non-zero when anything fails.
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_install_deps
zaltrow_choose_suite || exit 2
native=0
zaltrow_native_checks "${ZALTROW_FUZZ_SECONDS:-20}" || native=$?
zaltrow_build i686
[ "$arch" = i686 ] || zaltrow_build "$arch"
[ "$arch" = i686 ] || zaltrow_log "$(zaltrow_not_run_line)"

suite=0
log="$ZALTROW_ROOT/build/$arch/ctest-output.txt"
xvfb-run -a -s "-screen 0 2560x1440x24" bash "$ZALTROW_ROOT/tools/ctest-in-wine.sh" "$arch" 2>&1 | tee "$log" || suite=1
# CTest's own summary, "N% tests passed, F tests failed out of T".
summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n1 || true)
if [ -n "$summary" ]; then
  read -r failed total < <(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1 \2/' <<<"$summary")
else
  failed=1 total=1 suite=1  # no summary: the suite did not run to its end
fi
passed=$((ZALTROW_CHECKS_PASSED + total - failed))
failed=$((ZALTROW_CHECKS_FAILED + failed))
echo "== all checks (native unit tests, fuzz targets, the $arch Wine suite): $passed passed, $failed failed"
[ "$native" -eq 0 ] && [ "$suite" -eq 0 ] && [ "$failed" -eq 0 ]

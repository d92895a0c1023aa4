#!/usr/bin/env bash
# Builds Zaltrow and starts it under Wine in a demo prefix of its own,
# seeded once with a realistic Add/Remove Programs list (phantoms included).
# With a display the window opens there; without one it runs on a virtual
# display and screenshots are written instead.
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_prepare
zaltrow_demo_prefix "$build"

if [ -n "${DISPLAY:-}" ]; then
  zaltrow_log "starting Zaltrow (prefix build/$arch/wine-demo)"
  zaltrow_set_managed Y
  cd "$build/src" && exec "$WINE" "$ZALTROW_EXE_NAME"
fi
zaltrow_log "no display: running on a virtual one and taking screenshots"
exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$ZALTROW_ROOT/tools/screenshots.sh" "$arch"

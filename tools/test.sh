#!/usr/bin/env bash
# Builds Zaltrow and runs every test under Wine with a virtual display.
# Installs what is missing first; exits non-zero when anything fails.
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_install_deps
arch=$(zaltrow_wine_arch)
zaltrow_build i686
[ "$arch" = i686 ] || zaltrow_build "$arch"
[ "$arch" = i686 ] || zaltrow_log "this host cannot run 32-bit code: testing the x86_64 build of the same sources"

exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$ZALTROW_ROOT/tools/ctest-in-wine.sh" "$arch"

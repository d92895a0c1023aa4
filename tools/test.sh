#!/usr/bin/env bash
# Builds Zaltrow and runs every test under Wine with a virtual display.
# Installs what is missing first; exits non-zero when anything fails.
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_install_deps
# The product is the 32-bit build and its suite is the one run where this
# host can start 32-bit programs. ZALTROW_TEST_ARCH=x86_64 runs the 64-bit
# build's suite instead, as a host without 32-bit code does, starting
# nothing 32-bit.
case "${ZALTROW_TEST_ARCH:-}" in
  x86_64) arch=x86_64 why="ZALTROW_TEST_ARCH=x86_64 chose the 64-bit build's suite" ;;
  i686 | "")
    arch=$(zaltrow_wine_arch) why=$(zaltrow_no32_why)
    if [ "${ZALTROW_TEST_ARCH:-}" = i686 ] && [ "$arch" != i686 ]; then
      zaltrow_log "ZALTROW_TEST_ARCH=i686, but $why"
      exit 2
    fi
    ;;
  *) zaltrow_log "ZALTROW_TEST_ARCH is i686 or x86_64, not '$ZALTROW_TEST_ARCH'"; exit 2 ;;
esac
zaltrow_build i686
[ "$arch" = i686 ] || zaltrow_build "$arch"
if [ "$arch" != i686 ]; then
  zaltrow_log "not run: the 32-bit build's suite, its WOW64 cases (both registry views under WOW64) among them, because $why; the 32-bit build was compiled, and the x86_64 build of the same sources is tested"
fi

exec xvfb-run -a -s "-screen 0 2560x1440x24" bash "$ZALTROW_ROOT/tools/ctest-in-wine.sh" "$arch"

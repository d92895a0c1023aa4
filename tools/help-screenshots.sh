#!/usr/bin/env bash
# Screenshots of the help dialog at several display scales, on the current
# (virtual) display: Zaltrow starts in a prefix of its own, F1 opens Help,
# and the dialog is cut from the screen. Wine gives every program the
# prefix's DPI, read when a program starts.
#
#   xvfb-run -a -s "-screen 0 1600x1200x24" bash tools/help-screenshots.sh [ARCH] [DPI...]
#
# Writes build/screenshots/help-DPI.png (default DPIs 96 144 192).
set -euo pipefail
source "$(dirname "$0")/common.sh"

arch=${1:-$(zaltrow_wine_arch)}
shift || true
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 144 192)
build="$ZALTROW_ROOT/build/$arch"
zaltrow_identity "$build"
name=$ZALTROW_PRODUCT_NAME
out="$ZALTROW_ROOT/build/screenshots"
zaltrow_wine_env "$arch"
mkdir -p "$out"

prefix="$build/wine-helpshots"
if [ ! -f "$prefix/.booted" ]; then
  zaltrow_make_prefix "$prefix" headless
  zaltrow_add_wine_fonts "$prefix"
  touch "$prefix/.booted"
fi
export WINEPREFIX=$prefix
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT

for dpi in "${dpis[@]}"; do
  hex=$(printf '0x%x' "$dpi")
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$hex" /f >/dev/null 2>&1
  "$WINE" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$hex" /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Zaltrow' /v DisableSplash /d 1 /f >/dev/null 2>&1
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w
  (cd "$build/src" && "$WINE" "$ZALTROW_EXE_NAME" >/dev/null 2>&1 &)
  main=
  for _ in $(seq 150); do
    main=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -1) && [ -n "$main" ] && break
    sleep 0.1
  done
  [ -n "$main" ] || { echo "$name's window did not appear at $dpi DPI" >&2; exit 1; }
  sleep 1.5
  xdotool key --window "$main" F1
  help=
  for _ in $(seq 100); do
    help=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | grep -vx "$main" | head -1) &&
      [ -n "$help" ] && break
    sleep 0.1
  done
  [ -n "$help" ] || { echo "the help dialog did not appear at $dpi DPI" >&2; exit 1; }
  sleep 1.5
  eval "$(xdotool getwindowgeometry --shell "$help")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/help-$dpi.png"
  zaltrow_log "wrote build/screenshots/help-$dpi.png"
  "$WINESERVER" -k >/dev/null 2>&1 || true
done

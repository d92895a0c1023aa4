#!/usr/bin/env bash
# Screenshots of Zaltrow at 100, 150 and 200 % display scale in the demo
# prefix: the main window, the help, a message box and the setup's first
# page, written to build/screenshots/<what>-<scale>.png. Each scale gets a
# virtual display of its own (1920 x 1080; 2560 x 1440 at 200 %); Wine
# takes the prefix's LogPixels when a program starts, and the prefix's own
# value is put back at the end. Everything is driven by keys, which do not
# depend on where things are on the screen.
#
#     tools/scale-screenshots.sh [ARCH]
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_screenshot_start "${1:-}"

fonts_key='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'
desktop_key='HKCU\Control Panel\Desktop'
set_dpi() {
  "$WINE" reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  "$WINE" reg add "$fonts_key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

if [ -z "${ZALTROW_SCALE:-}" ]; then
  trap 'set_dpi 96; "$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
  for scale in 100:96:1920x1080 150:144:1920x1080 200:192:2560x1440; do
    ZALTROW_SCALE=$scale xvfb-run -a -s "-screen 0 ${scale##*:}x24" bash "$0" "$arch"
  done
  exit 0
fi

percent=${ZALTROW_SCALE%%:*}
dpi=${ZALTROW_SCALE#*:}
dpi=${dpi%%:*}
"$WINESERVER" -k >/dev/null 2>&1 || true
"$WINESERVER" -p
zaltrow_set_managed N
set_dpi "$dpi"
"$WINE" reg delete "HKCU\\Software\\$name" /v WindowPlacement /f >/dev/null 2>&1 || true
"$WINE" reg delete "HKCU\\Software\\$name" /v ColumnWidths /f >/dev/null 2>&1 || true
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT

shot_window() { zaltrow_shot_window "$1" "$out/$2-$percent.png"; }

(cd "$build/src" && "$WINE" "$ZALTROW_EXE_NAME" >/dev/null 2>&1 &)
main=$(zaltrow_wait_for_window "^$name\$")
sleep 3
shot_window "$main" main

xdotool key F1   # the help
help=$(zaltrow_wait_for_window "^$name\$" "$main")
sleep 1.5
shot_window "$help" help
xdotool key Escape
sleep 0.5

xdotool key Delete   # the removal's question, for the selected first row
box=$(zaltrow_wait_for_window "^$name\$" "$main")
sleep 0.8
shot_window "$box" message
xdotool key Escape
sleep 0.5
xdotool key alt+q
sleep 1

setup_arch=
[ "$arch" = x86_64 ] && setup_arch=-x64
setup="$build/src/$name-$ZALTROW_VERSION$setup_arch-Setup.exe"
if [ -f "$setup" ]; then
  (cd "$build/src" && "$WINE" "$(basename "$setup")" >/dev/null 2>&1 &)
  page=$(zaltrow_wait_for_window "^$name $ZALTROW_VERSION Setup")
  sleep 1
  shot_window "$page" setup
fi

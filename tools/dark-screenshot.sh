#!/usr/bin/env bash
# The main window in the dark look, as Windows shows it to someone who
# chose dark apps: the demo prefix's AppsUseLightTheme is 0 for the shot
# and taken away again afterwards. Written to build/screenshots/dark.png
# (the README's docs/dark.png).
#
#     tools/dark-screenshot.sh [ARCH]
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_screenshot_start "${1:-}"

if [ -z "${ZALTROW_DARK_DISPLAY:-}" ]; then
  ZALTROW_DARK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$arch"
fi

personalize='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
"$WINESERVER" -k >/dev/null 2>&1 || true
"$WINESERVER" -p
trap '"$WINE" reg delete "$personalize" /v AppsUseLightTheme /f >/dev/null 2>&1 || true; "$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
zaltrow_set_managed N
"$WINE" reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$WINE" reg delete "HKCU\\Software\\$name" /v WindowPlacement /f >/dev/null 2>&1 || true
"$WINE" reg delete "HKCU\\Software\\$name" /v ColumnWidths /f >/dev/null 2>&1 || true

(cd "$build/src" && "$WINE" "$ZALTROW_EXE_NAME" >/dev/null 2>&1 &)
main=$(zaltrow_wait_for_window "^$name\$")
sleep 3
zaltrow_shot_window "$main" "$out/dark.png"
xdotool key alt+q
sleep 1

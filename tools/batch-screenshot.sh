#!/usr/bin/env bash
# Uninstall on several rows, in a throwaway copy of the demo prefix (the
# batch really uninstalls): the question, the progress window while the
# demo's quiet uninstallers run, and the report. Written to
# build/screenshots/batch-question.png, batch-progress.png and
# batch-report.png (the README's docs/batch-progress.png).
#
#     [ZALTROW_BATCH_DARK=1] [ZALTROW_BATCH_DPI=144] tools/batch-screenshot.sh [ARCH]
set -euo pipefail
source "$(dirname "$0")/common.sh"

zaltrow_screenshot_start "${1:-}"

if [ -z "${ZALTROW_BATCH_DISPLAY:-}" ]; then
  ZALTROW_BATCH_DISPLAY=1 exec xvfb-run -a -s "-screen 0 2560x1440x24" bash "$0" "$arch"
fi

demo=$WINEPREFIX
export WINEPREFIX="$build/wine-batch-shot"
rm -rf "$WINEPREFIX"
cp -a "$demo" "$WINEPREFIX"
trap '"$WINESERVER" -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
"$WINESERVER" -p
# Seeded again: a demo prefix made before its entries said how they run
# quietly gets those values too.
python3 "$ZALTROW_ROOT/tools/seed-demo.py" "$WINEPREFIX" "$build/tools/demo/demo_uninstaller.exe" "$WINEPREFIX/demo.reg"
(cd "$WINEPREFIX" && "$WINE" regedit /s demo.reg >/dev/null 2>&1)
zaltrow_set_managed N
# ZALTROW_BATCH_DPI=144 (or 192): at 150 (or 200) % display scale.
if [ -n "${ZALTROW_BATCH_DPI:-}" ]; then
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$ZALTROW_BATCH_DPI" /f >/dev/null 2>&1
  "$WINE" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
    /t REG_DWORD /d "$ZALTROW_BATCH_DPI" /f >/dev/null 2>&1
fi
# ZALTROW_BATCH_DARK=1: in the dark look.
[ "${ZALTROW_BATCH_DARK:-}" = 1 ] && "$WINE" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize' \
  /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$WINE" reg delete "HKCU\\Software\\$name" /v WindowPlacement /f >/dev/null 2>&1 || true

(cd "$build/src" && "$WINE" "$ZALTROW_EXE_NAME" >/dev/null 2>&1 &)
main=$(zaltrow_wait_for_window "^$name\$")
sleep 3
# The rows given by their places in the list (from 0): the focus moves with
# Ctrl+Down, and Ctrl+Space adds the focused row to the selection.
xdotool windowfocus --sync "$main"
xdotool key ctrl+f Tab Tab Home
place=0
for row in ${ZALTROW_BATCH_ROWS:-0 3 5 12 13 15 20}; do
  while [ "$place" -lt "$row" ]; do xdotool key ctrl+Down; place=$((place + 1)); done
  [ "$row" -eq 0 ] || xdotool key ctrl+space
done
sleep 0.5
xdotool key Return
question=$(zaltrow_wait_for_window "^$name\$" "$main")
sleep 0.8
zaltrow_shot_window "$question" "$out/batch-question.png"
xdotool key Return
progress=$(zaltrow_wait_for_window "^Uninstalling Programs\$")
sleep 4.5
zaltrow_shot_window "$progress" "$out/batch-progress.png"
# The report, once every uninstaller has ended.
for _ in $(seq 12); do
  report=$(zaltrow_wait_for_window "^$name\$" "$main") || true
  [ -n "$report" ] && [ "$report" != "$question" ] && break
done
sleep 0.8
import -window root "$out/batch-report.png"
zaltrow_log "wrote build/screenshots/batch-report.png"
xdotool key Escape
sleep 1
xdotool key alt+q
sleep 1

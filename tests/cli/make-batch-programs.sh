#!/usr/bin/env bash
# The NSIS programs of ConsoleProgram.Uninstalling, made from
# BatchProgram.nsi into folder $1: ZBatch-NAME.exe, each a setup that
# installs its uninstaller with /S. A name's defines follow it.
set -euo pipefail
out=$1
nsi="$(dirname "$0")/BatchProgram.nsi"
mkdir -p "$out"
while read -r name defines; do
  # shellcheck disable=SC2086 # the defines are words of their own
  makensis -V1 -DNAME="ZBatch-$name" -DOUTFILE="$out/ZBatch-$name.exe" $defines "$nsi"
done <<'PROGRAMS'
A
B
Restart -DEXIT=3010
Hang -DHANG
Keep -DKEEPENTRY
Broken -DKEEPENTRY -DEXIT=2
Local
Machine -DROOT=HKLM
P1
P2
PROGRAMS

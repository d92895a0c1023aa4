#!/usr/bin/env bash
# The NSIS programs of ConsoleProgram.Uninstalling, made from
# BatchProgram.nsi into folder $1: ZBatch-NAME.exe, each a setup that
# installs its uninstaller with /S. A name's defines follow it. $2 is the
# build's architecture: the programs are built for it, so that they run
# where it runs and write the registry view it reads as the machine's.
# With $3 "window", the window's test's set instead: ZWindow-NAME.exe, all
# listed in the machine's list, which that test's window shares with them.
set -euo pipefail
out=$1
target=amd64-unicode
[ "${2:-x86_64}" = i686 ] && target=x86-unicode
nsi="$(dirname "$0")/BatchProgram.nsi"
mkdir -p "$out"
make() {
  local prefix=$1 name defines
  while read -r name defines; do
    # shellcheck disable=SC2086 # the defines are words of their own
    makensis -V1 -DTARGET="$target" -DNAME="$prefix-$name" -DOUTFILE="$out/$prefix-$name.exe" $defines "$nsi"
  done
}
if [ "${3:-}" = window ]; then
  make ZWindow <<'PROGRAMS'
A -DROOT=HKLM
B -DROOT=HKLM
Restart -DROOT=HKLM -DEXIT=3010
Keep -DROOT=HKLM -DKEEPENTRY
Broken -DROOT=HKLM -DKEEPENTRY -DEXIT=2
PROGRAMS
  exit 0
fi
make ZBatch <<'PROGRAMS'
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

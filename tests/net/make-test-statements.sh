#!/usr/bin/env bash
# The upgrade tests' signed statements for the stand-in setup, made with
# tools/sign-upgrade.sh and the tests' key as a release's would be:
#   make-test-statements.sh PRIVATE_PEM RECORDER_EXE OUT_DIR
# Each file holds the page lines of one statement, without a link.
set -euo pipefail
private=$1
recorder=$2
out=$3
sign="$(dirname "$0")/../../tools/sign-upgrade.sh"
export ZALTROW_PRODUCT_NAME=Zaltrow
bash "$sign" "$private" "$recorder" 1.3 $'Faster lists.\nNew icons.' > "$out/statement-1.3.txt"
bash "$sign" "$private" "$recorder" 1.1 'The old one.' > "$out/statement-1.1.txt"
bash "$sign" "$private" "$recorder" 2.0 '' > "$out/statement-empty.txt"
for i in $(seq 1 3000); do echo "Line $i of the changes."; done |
  bash "$sign" "$private" "$recorder" 2.0 - > "$out/statement-long.txt"
# The same program marked for the other architecture (its machine type
# changed): a statement for the other build.
other="$out/recorder-other-architecture.exe"
cp "$recorder" "$other"
pe=$(od -An -tu4 -j 60 -N4 "$recorder" | tr -d ' ')
if [ "$(od -An -tx2 -j $((pe + 4)) -N2 "$recorder" | tr -d ' ')" = 8664 ]; then machine='\x4c\x01'; else machine='\x64\x86'; fi
printf "$machine" | dd of="$other" bs=1 seek=$((pe + 4)) conv=notrunc status=none
bash "$sign" "$private" "$other" 1.3 'For the other build.' > "$out/statement-other-architecture.txt"

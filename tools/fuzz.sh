#!/usr/bin/env bash
# Runs one libFuzzer target of the native build for a bounded time:
#   tools/fuzz.sh TARGET SECONDS    (TARGET as in tests/fuzz/corpus/, e.g. reg_file)
# It starts from the seed corpus in the tree; what it learns stays in
# build/native/fuzz-work/TARGET. A finding is saved to build/native/findings/
# and ends the run non-zero; mend the fault and add the input to the tree's
# corpus. Prints one line: the target, its runs and the time.
set -euo pipefail
source "$(dirname "$0")/common.sh"

target=${1:?usage: tools/fuzz.sh TARGET SECONDS}
seconds=${2:?usage: tools/fuzz.sh TARGET SECONDS}
corpus="$ZALTROW_ROOT/tests/fuzz/corpus/$target"
[ -d "$corpus" ] || { zaltrow_log "no fuzz target '$target' (targets: $(ls "$ZALTROW_ROOT/tests/fuzz/corpus" | tr '\n' ' '))"; exit 2; }
[ "${ZALTROW_NATIVE_BUILT:-}" = 1 ] || zaltrow_build_native
native="$ZALTROW_ROOT/build/native"
work="$native/fuzz-work/$target"
mkdir -p "$work" "$native/findings"
log="$native/fuzz-$target.log"
# The first folder collects what the run learns, the tree's seeds stay as they are.
if (cd "$native" && "$native/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$native/findings/$target-" "$work" "$corpus") >"$log" 2>&1; then
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz $target: passed, ${runs:-?} runs in $seconds s, no finding"
else
  zaltrow_log "fuzz $target found a fault; its input is in build/native/findings/ and its report in ${log#$ZALTROW_ROOT/}:"
  grep -m3 -E 'ERROR|broken:|runtime error' "$log" >&2 || tail -n 5 "$log" >&2
  echo "fuzz $target: FAILED"
  exit 1
fi

#!/usr/bin/env bash
# Benchmarks HttpFetcher on loopback and prints the figures:
#  - a 50 MB download through HttpFetcher and through curl, from python3's
#    http.server, in the same run;
#  - the upgrade's real flow on the same server: a signed 50 MB installer
#    downloaded with the "Upgrading Software" progress window showing its
#    progress text, then the same with the proof before uninstalling
#    (program header, size and SHA-256 of a signed statement); the goal is a download at least
#    half as fast as curl's;
#  - the processor time the fetching thread uses while a server stalls a
#    page fetch for 5 seconds (it waits for messages or the worker's end
#    instead of polling).
# Usage: bash tools/bench-fetch.sh [build-dir]   (default: build/<arch>,
# built first when fetch_bench is missing). Uses its own Wine prefix,
# <build-dir>/wine-bench.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# The progress window needs a display.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

arch=$(zaltrow_wine_arch)
build=${1:-$ZALTROW_ROOT/build/$arch}
bench="$build/tests/net/fetch_bench.exe"
if [ ! -f "$bench" ]; then
  zaltrow_install_deps
  zaltrow_build "$arch"
fi
zaltrow_wine_env "$arch"
prefix="$build/wine-bench"
if [ ! -f "$prefix/system.reg" ]; then
  zaltrow_log "making a benchmark prefix in $prefix"
  zaltrow_make_prefix "$prefix" headless
fi
export WINEPREFIX=$prefix

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  "$WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
wait_for_port() {
  python3 - "$1" <<'PY'
import socket, sys, time
for _ in range(200):
    try:
        socket.create_connection(("127.0.0.1", int(sys.argv[1])), 0.2).close()
        sys.exit(0)
    except OSError:
        time.sleep(0.05)
sys.exit(1)
PY
}
field() { sed -n "s/^$1=//p" | tr -d '\r'; }

size=$((50 * 1024 * 1024))
head -c "$size" /dev/urandom > "$work/big.bin"
# A signed installer of the same size: a real program with the rest of the
# 50 MB after it, signed with a key made for this run.
recorder="$build/tests/net/command_recorder.exe"
cp "$recorder" "$work/setup.exe"
head -c $((size - $(stat -c %s "$recorder"))) /dev/urandom >> "$work/setup.exe"
bash "$ZALTROW_ROOT/tools/make-upgrade-key.sh" "$work/bench-private.pem" "$work/bench-public.pem"
statement=$(ZALTROW_PRODUCT_NAME=Zaltrow bash "$ZALTROW_ROOT/tools/sign-upgrade.sh" "$work/bench-private.pem" \
  "$work/setup.exe" 1.3 "Bench." | sed -n 2p)

file_port=$(free_port)
python3 -m http.server "$file_port" --bind 127.0.0.1 --directory "$work" >/dev/null 2>&1 &
pids+=($!)
stall_port=$(free_port)
python3 "$ZALTROW_ROOT/tests/net/bench/stall_server.py" "$stall_port" 5 &
pids+=($!)
wait_for_port "$file_port"
wait_for_port "$stall_port"

# A warm Wine server, so the start-up of Wine is not part of what is timed
# (the figures are taken inside the program anyway).
"$WINESERVER" -p
(cd "$work" && "$WINE" wineboot >/dev/null 2>&1)

url="http://127.0.0.1:$file_port/big.bin"
zaltrow_log "50 MB download, 3 runs each"
fetcher_runs=()
for run in 1 2 3; do
  rm -f "$work/fetched.bin"
  out=$("$WINE" "$bench" download "$url" "Z:$work/fetched.bin")
  cmp -s "$work/big.bin" "$work/fetched.bin" || { echo "HttpFetcher download differs from the served file" >&2; exit 1; }
  fetcher_runs+=("$(echo "$out" | field download_seconds)")
done
curl_runs=()
for run in 1 2 3; do
  curl_runs+=("$(curl -s -o "$work/curl.bin" -w '%{time_total}' "$url")")
  cmp -s "$work/big.bin" "$work/curl.bin" || { echo "curl download differs" >&2; exit 1; }
done
zaltrow_log "upgrade flow with its progress window, 3 runs"
flow_runs=()
proven_runs=()
setup_url="http://127.0.0.1:$file_port/setup.exe"
for run in 1 2 3; do
  out=$("$WINE" "$bench" upgrade "$setup_url" "Z:$work/NewUpdate.exe" "$statement")
  [ "$(echo "$out" | field upgrade_proven)" = 1 ] || { echo "the signed installer was not proven" >&2; exit 1; }
  [ "$(echo "$out" | field upgrade_last_text)" = "Read $size/$size bytes" ] || { echo "wrong last progress text" >&2; exit 1; }
  cmp -s "$work/setup.exe" "$work/NewUpdate.exe" || { echo "upgrade download differs" >&2; exit 1; }
  flow_runs+=("$(echo "$out" | field upgrade_download_seconds)")
  proven_runs+=("$(echo "$out" | field upgrade_proven_seconds)")
done

zaltrow_log "page fetch from a server that stalls 5 s"
stall=$("$WINE" "$bench" page "http://127.0.0.1:$stall_port/upgrade.html")

python3 - "$size" "${fetcher_runs[*]}" "${curl_runs[*]}" \
  "$(echo "$stall" | field page_wall_ms)" "$(echo "$stall" | field gui_thread_cpu_ms)" \
  "$(echo "$stall" | field polling_cpu_ms_per_s)" "${flow_runs[*]}" "${proven_runs[*]}" <<'PY'
import sys
size = int(sys.argv[1]) / (1024 * 1024)
fetcher = [float(x) for x in sys.argv[2].split()]
curl = [float(x) for x in sys.argv[3].split()]
flow = [float(x) for x in sys.argv[7].split()]
proven = [float(x) for x in sys.argv[8].split()]
def line(name, runs):
    best = min(runs)
    print(f"{name:<40} best {best:7.3f} s  {size / best:7.1f} MB/s   runs: " + ", ".join(f"{r:.3f}" for r in runs))
print(f"50 MB download over loopback (python3 http.server)")
line("  HttpFetcher, no window (Wine)", fetcher)
line("  upgrade download, progress window", flow)
line("  upgrade download + proof (size, SHA-256)", proven)
line("  curl (Linux)", curl)
print(f"  upgrade download with its window / curl: {min(curl) / min(flow):.2f} x curl's speed (goal: 0.5 or more)")
print(f"Page fetch stalled 5 s by the server")
print(f"  wall time                  {float(sys.argv[4]):7.0f} ms")
print(f"  fetching thread CPU time   {float(sys.argv[5]):7.1f} ms")
print(f"  (a wait polling the queue: {float(sys.argv[6]):7.1f} ms CPU per second)")
PY

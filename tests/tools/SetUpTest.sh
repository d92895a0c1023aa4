#!/usr/bin/env bash
# The set-up of tools/common.sh against stand-ins for apt-get, dpkg-query
# and dpkg on PATH, so nothing on this machine is changed: a mirror mid-sync
# whose i386 list fails (the 32-bit Wine then cannot be had), a healthy
# mirror, a package every suite needs that cannot be installed, and a host
# that has everything. Prints each broken promise; exits non-zero on any.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin"

# apt-get: logs its words; "update" fails as a half-synced mirror does when
# STUB_UPDATE=fail; "install" fails as apt does when any package named is
# in STUB_BROKEN, else marks every one installed.
cat > "$scratch/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "$*" >> "$STUB_STATE/calls"
case " $* " in
  *" update "*)
    [ "$STUB_UPDATE" = fail ] || exit 0
    echo "W: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
  *" install "*)
    pkgs=()
    for word in "$@"; do case "$word" in -*|install) ;; *) pkgs+=("$word") ;; esac; done
    for p in "${pkgs[@]}"; do
      if grep -qxF "$p" <<<"${STUB_BROKEN// /$'\n'}"; then
        echo "Some packages could not be installed. This may mean that you have requested an impossible situation."
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
      fi
    done
    printf '%s\n' "${pkgs[@]}" >> "$STUB_STATE/installed" ;;
esac
STUB
cat > "$scratch/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
grep -qxF "${!#}" "$STUB_STATE/installed" && printf 'install ok installed' || exit 1
STUB
cat > "$scratch/bin/dpkg" <<'STUB'
#!/usr/bin/env bash
case "$1" in
  --print-foreign-architectures) [ -f "$STUB_STATE/i386" ] && echo i386 ;;
  --add-architecture) touch "$STUB_STATE/i386" ;;
esac
exit 0
STUB
printf '#!/bin/sh\nexit 0\n' > "$scratch/bin/wine32-loader"
chmod +x "$scratch/bin/"*

failures=0
expect() {  # expect WHAT COMMAND...: the command must succeed
  local what=$1; shift
  if ! "$@"; then echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Runs the set-up in a fresh shell for scenario $1 with every suite package
# but those in $2 installed, and then tools/test.sh's choice of suite.
# Leaves its standard error, status, reason and apt-get calls in files.
scenario() {
  local name=$1 missing=$2 state="$scratch/$1"
  mkdir -p "$state"
  touch "$state/calls" "$state/i386"
  (
    export PATH="$scratch/bin:$PATH" STUB_STATE=$state
    source "$root/tools/common.sh"
    for p in "${ZALTROW_PACKAGES[@]}"; do grep -qxF "$p" <<<"${missing// /$'\n'}" || echo "$p"; done > "$state/installed"
    [ "$name" = complete ] && echo "$ZALTROW_WINE32_PACKAGE" >> "$state/installed"
    zaltrow_install_deps 2> "$state/stderr"
    echo $? > "$state/status"
    echo "$ZALTROW_NO32_REASON" > "$state/reason"
    # The 32-bit loader starts only where the 32-bit Wine was installed.
    grep -qxF "$ZALTROW_WINE32_PACKAGE" "$state/installed" && export ZALTROW_WINE32_LOADER="$scratch/bin/wine32-loader"
    ZALTROW_WINE32_LOADER=${ZALTROW_WINE32_LOADER:-/nonexistent/wine}
    unset ZALTROW_TEST_ARCH
    zaltrow_choose_suite && { echo "$arch" > "$state/arch"; [ "$arch" = i686 ] || zaltrow_not_run_line > "$state/not-run"; }
  )
}
has() { grep -qF -- "$2" "$scratch/$1/$3"; }
count() { grep -c -- "$2" "$scratch/$1/calls"; }

STUB_UPDATE=fail STUB_BROKEN="wine32:i386" scenario mirror-mid-sync "nsis wine32:i386"
expect "mid-sync: set-up goes on" [ "$(cat "$scratch/mirror-mid-sync/status")" = 0 ]
expect "mid-sync: update tried twice, then ridden out" [ "$(count mirror-mid-sync '^update')" = 2 ]
expect "mid-sync: each failed update is a warning with apt's reason" \
  has mirror-mid-sync "warning: apt-get update failed (try 2 of 2): Some index files failed to download" stderr
expect "mid-sync: the missing suite package is installed from the lists that came" \
  grep -qxF nsis "$scratch/mirror-mid-sync/installed"
expect "mid-sync: the 32-bit Wine is installed in a step of its own" \
  has mirror-mid-sync "install -y -qq --no-install-recommends wine32:i386" calls
expect "mid-sync: one line says the 32-bit Wine could not be installed, with apt's reason" \
  [ "$(grep -c 'wine32:i386 could not be installed (Unable to correct problems, you have held broken packages.): going on as a host without 32-bit code' "$scratch/mirror-mid-sync/stderr")" = 1 ]
expect "mid-sync: the x86_64 suite is chosen" [ "$(cat "$scratch/mirror-mid-sync/arch")" = x86_64 ]
expect "mid-sync: what is not run is said, and why" \
  has mirror-mid-sync "not run: the 32-bit build's suite, its WOW64 cases (both registry views under WOW64) among them, because wine32:i386 could not be installed (Unable to correct problems" not-run

STUB_UPDATE=ok STUB_BROKEN="" scenario healthy "xvfb wine32:i386"
expect "healthy: set-up succeeds" [ "$(cat "$scratch/healthy/status")" = 0 ]
expect "healthy: one update" [ "$(count healthy '^update')" = 1 ]
expect "healthy: no warning, says only what it installs" bash -c "! grep -v '^== installing: ' '$scratch/healthy/stderr' | grep -q ."
expect "healthy: the product's i686 suite is chosen, nothing said missing" \
  bash -c "[ \"\$(cat '$scratch/healthy/arch')\" = i686 ] && [ ! -e '$scratch/healthy/not-run' ] && [ -z \"\$(cat '$scratch/healthy/reason')\" ]"

STUB_UPDATE=fail STUB_BROKEN="cmake wine32:i386" scenario needed-missing "cmake nsis"
expect "needed package missing: set-up fails" [ "$(cat "$scratch/needed-missing/status")" != 0 ]
expect "needed package missing: it is named, and only it" has needed-missing "these packages could not be installed: cmake" stderr
expect "needed package missing: the other one is still installed" grep -qxF nsis "$scratch/needed-missing/installed"

STUB_UPDATE=fail STUB_BROKEN="" scenario complete ""
expect "everything there: no apt-get at all" [ ! -s "$scratch/complete/calls" ]
expect "everything there: i686 suite" [ "$(cat "$scratch/complete/arch")" = i686 ]

[ "$failures" -eq 0 ] && echo "set-up scenarios: all promises kept"
exit $((failures > 0))

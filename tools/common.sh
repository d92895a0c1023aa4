# Shared steps of tools/test.sh and tools/run.sh: installing what is
# missing, building, and making a Wine prefix of our own. Sourced, not run.

ZALTROW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What every suite needs; the 32-bit Wine is apart, since a host can do
# without it (the x86_64 suite then runs).
ZALTROW_PACKAGES=(
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  cmake make googletest wine wine64 fonts-wine clang
  xvfb xauth xdotool imagemagick python3 python3-jsonschema ca-certificates curl locales openssl nsis wixl
)
ZALTROW_WINE32_PACKAGE=wine32:i386
# Why this host runs no 32-bit Windows code, when it is for want of a
# package rather than the kernel; empty otherwise.
ZALTROW_NO32_REASON=

zaltrow_log() { printf '== %s\n' "$*" >&2; }

zaltrow_missing_packages() {
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
  done
}

# apt-get's first error line of output $1, for a one-line reason.
zaltrow_apt_reason() {
  local line
  line=$(grep -m1 '^E: ' <<<"$1" || true)
  [ -n "$line" ] || line=$(tail -n1 <<<"$1")
  echo "${line#E: }"
}

# A package mirror can be mid-sync for hours, failing one index while the
# others arrive: a failed update is retried once and then ridden out with
# the lists that did come.
zaltrow_apt_update() {
  local out try
  for try in 1 2; do
    out=$(apt-get update -qq 2>&1) && return 0
    zaltrow_log "warning: apt-get update failed (try $try of 2): $(zaltrow_apt_reason "$out")"
  done
  zaltrow_log "warning: going on with the package lists that did arrive"
}

# apt-get only when something is missing, so a second run costs nothing.
# Fails only when a package every suite needs cannot be had, naming it; a
# 32-bit Wine that cannot be installed makes this a host without 32-bit
# code, said in one line.
zaltrow_install_deps() {
  local missing=() out updated=
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    zaltrow_log "adding the i386 architecture"
    dpkg --add-architecture i386
    zaltrow_apt_update
    updated=1
  fi
  mapfile -t missing < <(zaltrow_missing_packages "${ZALTROW_PACKAGES[@]}")
  if [ ${#missing[@]} -gt 0 ]; then
    zaltrow_log "installing: ${missing[*]}"
    [ -n "$updated" ] || { zaltrow_apt_update; updated=1; }
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1 ||
      for pkg in "${missing[@]}"; do  # one broken package must not keep out the rest
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$pkg" >/dev/null 2>&1 || true
      done
    mapfile -t missing < <(zaltrow_missing_packages "${ZALTROW_PACKAGES[@]}")
    if [ ${#missing[@]} -gt 0 ]; then
      zaltrow_log "cannot go on: these packages could not be installed: ${missing[*]}"
      return 1
    fi
  fi
  [ -z "$(zaltrow_missing_packages "$ZALTROW_WINE32_PACKAGE")" ] && return 0
  zaltrow_log "installing: $ZALTROW_WINE32_PACKAGE"
  [ -n "$updated" ] || zaltrow_apt_update
  if ! out=$(DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$ZALTROW_WINE32_PACKAGE" 2>&1); then
    ZALTROW_NO32_REASON="$ZALTROW_WINE32_PACKAGE could not be installed ($(zaltrow_apt_reason "$out"))"
    zaltrow_log "$ZALTROW_NO32_REASON: going on as a host without 32-bit code"
  fi
  return 0
}

# The Windows architecture this host's Wine can run. The product is the
# i686 build; where the kernel refuses 32-bit processes (some virtual
# machines run 64-bit user code only) or the 32-bit Wine could not be
# installed, the same sources are built for x86_64 and run under 64-bit
# Wine instead.
zaltrow_wine_arch() {
  if zaltrow_host_runs_32bit; then echo i686; else echo x86_64; fi
}
# ZALTROW_WINE32_LOADER stands in for the 32-bit loader in the set-up's own test.
zaltrow_host_runs_32bit() { "${ZALTROW_WINE32_LOADER:-/usr/lib/wine/wine}" --version >/dev/null 2>&1; }
# Why zaltrow_wine_arch chose x86_64, in words.
zaltrow_no32_why() {
  if [ -n "$ZALTROW_NO32_REASON" ]; then echo "$ZALTROW_NO32_REASON"
  elif [ -n "$(zaltrow_missing_packages "$ZALTROW_WINE32_PACKAGE")" ]; then echo "$ZALTROW_WINE32_PACKAGE is not installed"
  else echo "this host runs no 32-bit code"; fi
}

# Which suite tools/test.sh runs: sets `arch` and, when it is not the
# product's i686 suite, `why`. The product is the 32-bit build and its suite
# is the one run where this host can start 32-bit programs.
# ZALTROW_TEST_ARCH=x86_64 runs the 64-bit build's suite instead, as a host
# without 32-bit code does, starting nothing 32-bit. Fails, saying why, for
# a choice this host cannot honour.
zaltrow_choose_suite() {
  case "${ZALTROW_TEST_ARCH:-}" in
    x86_64) arch=x86_64 why="ZALTROW_TEST_ARCH=x86_64 chose the 64-bit build's suite" ;;
    i686 | "")
      arch=$(zaltrow_wine_arch) why=$(zaltrow_no32_why)
      if [ "${ZALTROW_TEST_ARCH:-}" = i686 ] && [ "$arch" != i686 ]; then
        zaltrow_log "ZALTROW_TEST_ARCH=i686, but $why"
        return 2
      fi
      ;;
    *) zaltrow_log "ZALTROW_TEST_ARCH is i686 or x86_64, not '$ZALTROW_TEST_ARCH'"; return 2 ;;
  esac
}

# The one line that says what the x86_64 choice leaves out, and why.
zaltrow_not_run_line() {
  echo "not run: the 32-bit build's suite, its WOW64 cases (both registry views under WOW64) among them, because $why; the 32-bit build was compiled, and the x86_64 build of the same sources is tested"
}

# Sets WINE, WINESERVER and WINEARCH for an architecture.
zaltrow_wine_env() {
  if [ "$1" = i686 ]; then
    export WINE=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 WINEARCH=win32
  else
    export WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64
  fi
  [ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
  export WINEDEBUG=-all
}

zaltrow_build() {
  local arch=$1 dir="$ZALTROW_ROOT/build/$1"
  zaltrow_log "building for $arch in build/$arch"
  cmake -S "$ZALTROW_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ZALTROW_ROOT/cmake/mingw.cmake" \
    -DZALTROW_ARCH="$arch" -DCMAKE_BUILD_TYPE=Release >/dev/null
  zaltrow_identity "$dir"
  cmake --build "$dir" -j "$(nproc)" -- --no-print-directory >/dev/null
}

# The pure text code built for this host by clang under AddressSanitizer
# and UndefinedBehaviorSanitizer, with its unit tests and fuzz targets, in
# build/native (tests/native).
zaltrow_build_native() {
  local dir="$ZALTROW_ROOT/build/native"
  zaltrow_log "building the pure text code natively with clang and sanitizers in build/native"
  mkdir -p "$dir"
  if ! { cmake -S "$ZALTROW_ROOT/tests/native" -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ &&
    cmake --build "$dir" -j "$(zaltrow_jobs)" -- --no-print-directory; } >"$dir/build-output.txt" 2>&1; then
    grep -m10 -E 'error|Error' "$dir/build-output.txt" >&2 || tail -n 10 "$dir/build-output.txt" >&2
    return 1
  fi
}

# Parallel jobs for the builds: the cores, at most 2, since the machine is shared.
zaltrow_jobs() { local n; n=$(nproc); echo $((n < 2 ? n : 2)); }

# The native checks: the sanitized unit tests, then every fuzz target for
# $1 seconds (ZALTROW_FUZZ_SECONDS, 20 unless set). One line each, passed
# or FAILED; sets ZALTROW_CHECKS_PASSED and ZALTROW_CHECKS_FAILED (counts of
# unit tests and fuzz targets) and returns non-zero on any failure.
ZALTROW_CHECKS_PASSED=0
ZALTROW_CHECKS_FAILED=0
zaltrow_native_checks() {
  local seconds=${1:-20} dir="$ZALTROW_ROOT/build/native" out passed failed target rc=0
  if ! zaltrow_build_native; then
    echo "native sanitized build: FAILED"
    ZALTROW_CHECKS_FAILED=$((ZALTROW_CHECKS_FAILED + 1))
    return 1
  fi
  if out=$("$dir/native_tests" 2>&1); then :; else rc=1; fi
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' <<<"$out")
  failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' <<<"$out")
  passed=${passed:-0} failed=${failed:-0}
  if [ "$rc" -ne 0 ]; then
    # A sanitizer stops the program at its first report: that counts as one.
    [ "$failed" -gt 0 ] || failed=1
    grep -E '^\[  FAILED  \]|ERROR: |runtime error' <<<"$out" | head -n 20 >&2
    echo "native unit tests (clang, ASan+UBSan): FAILED, $passed passed, $failed failed"
  else
    echo "native unit tests (clang, ASan+UBSan): passed, $passed tests"
  fi
  ZALTROW_CHECKS_PASSED=$((ZALTROW_CHECKS_PASSED + passed))
  ZALTROW_CHECKS_FAILED=$((ZALTROW_CHECKS_FAILED + failed))
  zaltrow_log "fuzzing each target for $seconds s (tools/fuzz.sh TARGET SECONDS runs one longer)"
  for target in $(ls "$ZALTROW_ROOT/tests/fuzz/corpus"); do
    if ZALTROW_NATIVE_BUILT=1 bash "$ZALTROW_ROOT/tools/fuzz.sh" "$target" "$seconds"; then
      ZALTROW_CHECKS_PASSED=$((ZALTROW_CHECKS_PASSED + 1))
    else
      ZALTROW_CHECKS_FAILED=$((ZALTROW_CHECKS_FAILED + 1))
      rc=1
    fi
  done
  return "$rc"
}

# The program's identity (ZALTROW_PRODUCT_NAME, ZALTROW_VERSION,
# ZALTROW_EXE_NAME, ...) as the top CMakeLists.txt sets it, from the file
# the configuring of build folder $1 wrote.
zaltrow_identity() {
  # shellcheck source=/dev/null
  source "$1/identity.sh"
}

# What run.sh and the benchmarks start with: what is missing installed,
# the build for the Wine this host runs, and that Wine selected. Sets
# `arch` and `build`.
zaltrow_prepare() {
  zaltrow_install_deps
  arch=$(zaltrow_wine_arch)
  zaltrow_build "$arch"
  build="$ZALTROW_ROOT/build/$arch"
  zaltrow_wine_env "$arch"
}

# A fresh prefix at $1 in which a crash ends the process with an error
# instead of starting a debugger. With "headless" as $2 it is also tuned
# for running without a window manager: dialogs open and close without
# Wine's wait for one.
zaltrow_make_prefix() {
  local prefix=$1 managed=Y
  [ "${2:-}" = headless ] && managed=N
  rm -rf "$prefix"
  mkdir -p "$prefix"
  export WINEPREFIX=$prefix
  (cd "$prefix" && "$WINE" wineboot -i >/dev/null 2>&1; "$WINESERVER" -w)
  cat > "$prefix/tuning.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="$managed"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]
"Debugger"=""
"Auto"="0"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  (cd "$prefix" && "$WINE" regedit /s tuning.reg >/dev/null 2>&1; "$WINESERVER" -w)
}

# The prefixes for what only shows on other systems, beside the test prefix
# of build/ARCH ($2): wine-test932, a Japanese system whose ANSI code page
# (932) has double-byte characters, for the 32-bit build wine-test64, a
# 64-bit Windows where it runs under WOW64, and wine-testcli, the console
# program's own machine, where clean may remove every phantom because only
# its tests' entries are there. Wine takes the code page from
# the Unix locale, which is built into build/ARCH/locale, not the machine.
zaltrow_make_side_prefixes() {
  local build=$1 arch=$2 wow64= cli
  if [ "$arch" = i686 ]; then
    (
      zaltrow_wine_env x86_64
      zaltrow_make_prefix "$build/wine-test64" headless
    ) &
    wow64=$!
  fi
  mkdir -p "$build/locale"
  [ -d "$build/locale/ja_JP.UTF-8" ] ||
    localedef -i ja_JP -f UTF-8 "$build/locale/ja_JP.UTF-8" >/dev/null 2>&1 || [ -d "$build/locale/ja_JP.UTF-8" ]
  (
    zaltrow_wine_env "$arch"
    zaltrow_make_prefix "$build/wine-testcli" headless
  ) &
  cli=$!
  (
    zaltrow_wine_env "$arch"
    export LOCPATH="$build/locale"
    { export LC_ALL=ja_JP.UTF-8; } 2>/dev/null  # bash itself cannot use it: say nothing
    zaltrow_make_prefix "$build/wine-test932" headless
  )
  wait "$cli"
  [ -z "$wow64" ] || wait "$wow64"
}

# Debian's Wine neither copies its own fonts (fonts-wine) into a new prefix
# nor reads them where they are installed. Without Marlett every caption
# button is drawn as a letter ("0 1 r"), and dialogs in "MS Sans Serif" fall
# back to another face; a prefix's Fonts folder is read. The demo prefix
# gets them, so it looks as Windows does; the test prefix keeps the font
# metrics its tests were measured with.
zaltrow_add_wine_fonts() {
  cp -n /usr/share/wine/fonts/* "$1/drive_c/windows/Fonts/" 2>/dev/null || true
}

# The demo's Japanese and Chinese names need a font that has their letters,
# which neither Wine nor fonts-wine brings: Debian's WenQuanYi Micro Hei
# (5 MB, kana and Chinese). It goes into the demo prefix only, taken from
# the package without installing it: installed, every prefix's Wine would
# find it through fontconfig, and the tests' text would no longer be
# measured as it was. Prints the font file, fetched into build/fonts once.
ZALTROW_CJK_PACKAGE=fonts-wqy-microhei
ZALTROW_CJK_FILE=wqy-microhei.ttc
ZALTROW_CJK_FACE="WenQuanYi Micro Hei"
zaltrow_cjk_font_file() {
  local dir="$ZALTROW_ROOT/build/fonts" file
  file=$(find "$dir" -name "$ZALTROW_CJK_FILE" 2>/dev/null | head -1)
  if [ -z "$file" ]; then
    mkdir -p "$dir/package"
    # apt-get download needs the package lists: read them once if it fails
    (cd "$dir" && { apt-get download -qq "$ZALTROW_CJK_PACKAGE" >/dev/null 2>&1 ||
      { apt-get update -qq && apt-get download -qq "$ZALTROW_CJK_PACKAGE" >/dev/null 2>&1; }; }) || return 1
    dpkg-deb -x "$dir/${ZALTROW_CJK_PACKAGE}"_*.deb "$dir/package" && rm -f "$dir/${ZALTROW_CJK_PACKAGE}"_*.deb
    file=$(find "$dir/package" -name "$ZALTROW_CJK_FILE" | head -1)
  fi
  [ -n "$file" ] && echo "$file"
}

# Puts the CJK font into prefix $1's Fonts folder and links it to the faces
# the windows show text in (the message font, Tahoma, which "MS Shell Dlg"
# also is, and "Microsoft Sans Serif"), so letters they lack come from it.
# Does only what is missing, so it also brings an older demo prefix up to date.
zaltrow_add_cjk_font() {
  local prefix=$1 file face
  local link="$ZALTROW_CJK_FILE,$ZALTROW_CJK_FACE"
  if [ ! -f "$prefix/drive_c/windows/Fonts/$ZALTROW_CJK_FILE" ]; then
    zaltrow_log "adding $ZALTROW_CJK_FACE ($ZALTROW_CJK_PACKAGE) to the demo prefix"
    file=$(zaltrow_cjk_font_file) || { zaltrow_log "could not fetch $ZALTROW_CJK_PACKAGE: Japanese and Chinese names show as boxes"; return 0; }
    cp "$file" "$prefix/drive_c/windows/Fonts/"
  fi
  local missing=()
  for face in Tahoma "Microsoft Sans Serif"; do
    grep -qF "\"$face\"=str(7):\"$link" "$prefix/system.reg" 2>/dev/null || missing+=("$face")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  for face in "${missing[@]}"; do
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d "$link" /f >/dev/null 2>&1
  done
  "$WINESERVER" -w
}

# The demo prefix build/ARCH/wine-demo, made and seeded on first use only,
# so what a person removed in one run stays removed in the next. Its fonts
# are brought up to date on every use.
zaltrow_demo_prefix() {
  local build=$1 prefix="$1/wine-demo"
  export WINEPREFIX=$prefix
  if [ ! -f "$prefix/.zaltrow-seeded" ]; then
    zaltrow_log "making the demo prefix in ${prefix#$ZALTROW_ROOT/}"
    zaltrow_make_prefix "$prefix" &&
      zaltrow_add_wine_fonts "$prefix" &&
      python3 "$ZALTROW_ROOT/tools/seed-demo.py" "$prefix" "$build/tools/demo/demo_uninstaller.exe" "$prefix/demo.reg" &&
      (cd "$prefix" && "$WINE" regedit /s demo.reg >/dev/null 2>&1; "$WINESERVER" -w) &&
      touch "$prefix/.zaltrow-seeded" || return 1
  fi
  zaltrow_add_cjk_font "$prefix"
}

# What every screenshot script starts with, for architecture $1 (empty:
# the one this machine's Wine runs): arch, build, name (the product's)
# and out (build/screenshots) set, Wine's environment for the demo prefix,
# made and seeded on first use.
zaltrow_screenshot_start() {
  arch=${1:-$(zaltrow_wine_arch)}
  build="$ZALTROW_ROOT/build/$arch"
  zaltrow_identity "$build"
  name=$ZALTROW_PRODUCT_NAME
  out="$ZALTROW_ROOT/build/screenshots"
  zaltrow_wine_env "$arch"
  zaltrow_demo_prefix "$build"
  mkdir -p "$out"
}

# Whether the window manager manages Wine's windows in the current prefix:
# Y on a person's desktop; N on a virtual display without one, where Wine
# then draws the frames itself and hides windows without waiting for it.
zaltrow_set_managed() {
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1
}

# For the screenshot scripts: waits up to 15 s for a visible window whose
# name matches $1, other than window $2 (when given); prints the newest's id.
zaltrow_wait_for_window() {
  local found=
  for _ in $(seq 150); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vxF -e "${2:-none}" | tail -1) &&
      [ -n "$found" ] && break
    sleep 0.1
  done
  [ -n "$found" ] || { echo "no window named $1" >&2; return 1; }
  echo "$found"
}

# Window $1 as it shows on the screen, cut from the whole screen, into file $2.
zaltrow_shot_window() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
  zaltrow_log "wrote ${2#"$ZALTROW_ROOT"/}"
}

# Sourced by the scripts: a Wine prefix and an X display for this run, for
# either target (x86_64 under 64-bit Wine; i686 under 32-bit Wine, inside
# scripts/wine32-ns.sh where that runs).
#   zul_env_start [ARCH]  fresh prefix outside the clone, one persistent
#                         wineserver, Xvfb; ZUL_ARTIFACTS_DIR for ARCH's screenshots
#   zul_env_stop          ends them and removes the prefix
#   zul_build ARCH        configures and builds build/ARCH
#   zul_build_shipped ARCH [DEPLOYMENT]  the three programs as they ship, in
#                         build/ARCH-shipped (a deployment file's: build/ARCH-release)
#   zul_test ARCH [CTEST ARGS]  runs the CTest suite of build/ARCH, each test
#                         in a world of its own (tests/tools/test_world.py)
#   zul_test_shipped ARCH   runs the shipped programs end to end
#   zul_wine_run SECONDS PROGRAM [ARGS]  scripts/wine-run.sh with a time limit
#   zul_wine32 COMMANDS   runs shell commands where 32-bit Wine works
#   zul_wine32_why        empty when the i686 build can run here, else why not
# ZUL_JOBS limits the build's parallel jobs (default: one per core).
# Some tests of each build, from the clone's root:
#   source scripts/env.sh && zul_test x86_64 -R REGEX
#   source scripts/env.sh && zul_test i686 -R REGEX
ZUL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# No debug chatter, except Wine's errors in laying out a process's memory: a
# program that cannot even start then says why instead of ending without a word.
export WINEDEBUG=-all,err+virtual
# No Mono or Gecko prompts, and no Linux menu entries for the shortcuts tests make.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A 64-bit prefix for both targets: 32-bit programs run in it through WoW64,
# as on most users' Windows, with their registry and system-folder redirection.
export WINEARCH=win64

# Screenshots go to build/artifacts/, the i686 build's to build/artifacts/i686/
# (a Windows program reaches the folder as Z: followed by the path).
zul_artifacts_dir() {
  case $1 in x86_64) echo "$ZUL_ROOT/build/artifacts" ;; *) echo "$ZUL_ROOT/build/artifacts/$1" ;; esac
}

zul_env_start() {
  export ZUL_ARTIFACTS_DIR="$(zul_artifacts_dir "${1:-x86_64}")"
  mkdir -p "$ZUL_ARTIFACTS_DIR"
  export WINEPREFIX="$(mktemp -d /tmp/zul-wine.XXXXXX)"
  if [ -z "${ZUL_KEEP_DISPLAY:-}" ]; then
    zul_start_display || return 1
  fi
  zul_boot_prefix || return 1
  zul_private_user_folders
  zul_check_user_folders || return 1
  # Windows stay managed (Wine's default), although Xvfb runs no window manager
  # and Wine then waits 2 s for one whenever a shown window is hidden or
  # destroyed: unmanaged windows ("Managed"="N") move the X focus between
  # processes, and a test that types loses the keyboard to another test's window.
}

# An Xvfb for this run on a display number it picks itself (-displayfd): the
# first one whose sockets are all free, the abstract one included. The 32-bit
# suite's namespace has a /tmp of its own but shares the network namespace,
# where those abstract sockets live, so a number chosen by looking at /tmp
# could be another run's; one chosen by binding cannot. DISPLAY is set once
# the server accepts connections.
zul_start_display() {
  local number_file n=""
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  ZUL_XVFB_PID=$!
  # Xvfb writes the number and a new line once it is ready.
  for _ in $(seq 300); do
    IFS= read -r n <"$number_file" && break
    n=""
    kill -0 "$ZUL_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  if [ -z "$n" ]; then
    echo "zul_env_start: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$n"
}

# Boots the fresh prefix WINEPREFIX under one persistent wineserver; fails
# when wineboot did not make it.
zul_boot_prefix() {
  # The persistent wineserver comes first: started later, it finds wineboot's
  # server still lingering and quits, and the next program starts a server
  # (with services.exe and explorer.exe) that holds the caller's output pipe
  # open, so that CTest waits for a test that has long ended.
  /usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
  local log="$WINEPREFIX.boot.log"
  /usr/lib/wine/wine64 wineboot -i >"$log" 2>&1 || true
  zul_world_fonts
  zul_check_prefix "$log"
}

# The font faces the language tables name, in WINEPREFIX's registry
# (scripts/wine-fonts.reg): every script is drawn with real glyphs.
zul_world_fonts() {
  local reg="Z:$ZUL_ROOT/scripts/wine-fonts.reg"
  /usr/lib/wine/wine64 regedit /S "${reg//\//\\}" >/dev/null 2>&1 ||
    echo "zul: the font faces were not written into $WINEPREFIX" >&2
}

# zul_check_prefix LOG: fails, saying so with the end of LOG, when WINEPREFIX
# lacks its system DLLs (a program started there would die with "could not
# load kernel32.dll"); removes LOG.
zul_check_prefix() {
  local log=$1 system
  for system in system32 ${ZUL_IN_WINE32:+syswow64}; do
    if [ ! -f "$WINEPREFIX/drive_c/windows/$system/kernel32.dll" ]; then
      echo "zul: wineboot did not make the prefix $WINEPREFIX (no $system\\kernel32.dll):" >&2
      tail -n 20 "$log" >&2
      rm -f "$log"
      return 1
    fi
  done
  rm -f "$log"
}

# zul_make_prefix_template DIR: boots a prefix in DIR and waits until its
# wineserver has ended (and so written its registry), with the user folders
# made private. Each test copies it into a world of its own
# (tests/tools/test_world.py); nothing runs in DIR itself.
zul_make_prefix_template() {
  (
    export WINEPREFIX=$1
    local log="$1.boot.log"
    /usr/lib/wine/wine64 wineboot -i >"$log" 2>&1 || true
    zul_world_fonts
    timeout 120 /usr/lib/wine/wineserver -w >/dev/null 2>&1 || { echo "zul: wineboot's server did not end" >&2; exit 1; }
    zul_check_prefix "$log" || exit 1
    zul_private_user_folders
    zul_check_user_folders
  )
}

# Wine links the user's Desktop, Documents, Downloads, Templates and the like
# to the Linux home; the tests make and remove shortcuts and files there, so
# each prefix gets real folders of its own in their place.
zul_private_user_folders() {
  local link
  while IFS= read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done < <(find "$WINEPREFIX/drive_c/users" -type l)
}

# Fails, naming it, when a folder of the prefix's users is a link that leads
# out of the prefix: a test's shortcuts, planted files or deletions there
# would reach the home folder of the machine that runs the tests.
zul_check_user_folders() {
  local link target status=0
  while IFS= read -r link; do
    target=$(readlink -m "$link")
    case "$target" in
      "$WINEPREFIX"/*) ;;
      *) echo "zul: $link leads out of the prefix, to $target" >&2; status=1 ;;
    esac
  done < <(find "$WINEPREFIX/drive_c/users" -type l)
  return "$status"
}

zul_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    # -k only asks the server to end: the next prefix and display of this
    # machine must not meet it and its programs while they are still going.
    timeout 60 /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "${ZUL_XVFB_PID:-}" ]; then
    kill "$ZUL_XVFB_PID" >/dev/null 2>&1 || true
    wait "$ZUL_XVFB_PID" 2>/dev/null || true
    unset ZUL_XVFB_PID
  fi
  case "${WINEPREFIX:-}" in
    /tmp/zul-wine.*)
      # The server's socket folder, named in the prefix, goes with it.
      local server
      server=$(cat "$WINEPREFIX/wineserver" 2>/dev/null || true)
      case "$server" in wine-??????) rm -rf "${TMPDIR:-/tmp}/$server" ;; esac
      rm -rf "$WINEPREFIX" ;;
  esac
}

# zul_wine_run SECONDS PROGRAM [ARGS...]: scripts/wine-run.sh with a time
# limit, so that a program that hangs fails its caller (a benchmark, CI)
# instead of holding it until CI's own limit.
zul_wine_run() {
  local limit=$1 status=0
  shift
  timeout -k 10 "$limit" "$ZUL_ROOT/scripts/wine-run.sh" "$@" || status=$?
  [ "$status" != 124 ] || echo "zul_wine_run: $(basename "$1") still ran after $limit s" >&2
  return "$status"
}

# zul_build ARCH [CMAKE OPTIONS]: configures and builds build/ARCH (x86_64 or
# i686); options given reconfigure an existing build folder. The tests and
# their hooks come only when asked for (-DZUL_BUILD_TESTS=ON). Two runs that
# build the same folder at once take turns.
zul_build() {
  local arch=$1 dir="$ZUL_ROOT/build/$1"
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_DIR="${CCACHE_DIR:-/var/cache/zul-ccache}"
  mkdir -p "$ZUL_ROOT/build"
  (
    flock 9
    if [ ! -f "$dir/build.ninja" ] || [ $# -gt 1 ]; then
      cmake -S "$ZUL_ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ZUL_ROOT/cmake/toolchain-$arch.cmake" \
        "${launcher[@]}" "${@:2}" >/dev/null || exit 1
    fi
    cmake --build "$dir" -- -j"${ZUL_JOBS:-$(nproc)}"
  ) 9>"$dir.lock"
}

# zul_build_shipped ARCH [DEPLOYMENT]: the programs as they ship, in
# build/ARCH-shipped: optimised, stripped, without tests and without anything
# only tests use (the control lookup, the test hosts, the test system
# folder), from the example deployment. With a deployment file (see
# deployment/example/deployment.txt) the same, from that file, in
# build/ARCH-release. It is configured as anyone configures the project,
# asking for nothing but the deployment: a plain configure must give programs
# without test hooks. Fails when a step fails or a program is missing;
# zul_test_shipped then runs them. Every step checks its own result: called
# as "zul_build_shipped i686 || status=1", this function runs without set -e.
zul_build_shipped() {
  local arch=$1 dir="$ZUL_ROOT/build/$1-shipped" exe out deployment=(-UZUL_DEPLOYMENT)
  if [ -n "${2:-}" ]; then
    dir="$ZUL_ROOT/build/$1-release"
    deployment=(-DZUL_DEPLOYMENT="$(realpath "$2")")
  fi
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_DIR="${CCACHE_DIR:-/var/cache/zul-ccache}"
  if ! out=$(cmake -S "$ZUL_ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ZUL_ROOT/cmake/toolchain-$arch.cmake" \
      "${launcher[@]}" -UZUL_BUILD_TESTS "${deployment[@]}" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_EXE_LINKER_FLAGS=-s 2>&1); then
    printf '%s\n' "$out" | tail -n 40 >&2
    echo "shipped build $arch: configuring failed" >&2
    return 1
  fi
  # Paths below the clone count as relative: the shipped and the release
  # builds (folders of the same depth) share what they compile alike.
  if ! out=$(CCACHE_BASEDIR="$ZUL_ROOT" cmake --build "$dir" --target zulinst zulplay zulplayuninst -- \
      -j"${ZUL_JOBS:-$(nproc)}" 2>&1); then
    printf '%s\n' "$out" | tail -n 40 >&2
    echo "shipped build $arch: building failed" >&2
    return 1
  fi
  for exe in install/zulinst.exe launcher/zulplay.exe uninstall/zulplayuninst.exe; do
    if [ ! -s "$dir/$exe" ]; then
      echo "shipped build $arch: $exe was not made" >&2
      return 1
    fi
    echo "$(basename "$exe"): $(( $(stat -c %s "$dir/$exe") / 1024 )) KB"
  done
  zul_check_no_hooks "$dir/install/zulinst.exe" "$dir/launcher/zulplay.exe" "$dir/uninstall/zulplayuninst.exe"
}

# zul_check_no_hooks PROGRAM...: fails, naming the file, when a program, or
# a file in an installer's payload (resource ZIP 130), carries the name of a
# test hook (the environment settings ZUL_TEST_*, the control lookup's
# "SkinUI.TestHook" message) in narrow or wide text. That the programs
# ignore every hook is shown by running them (zul_test_shipped).
zul_check_no_hooks() {
  local names='ZUL_TEST_|TestHook|Z\x00U\x00L\x00_\x00T\x00E\x00S\x00T\x00_\x00|T\x00e\x00s\x00t\x00H\x00o\x00o\x00k\x00'
  local program file payload status=0
  payload=$(mktemp -d)
  for program in "$@"; do
    if LC_ALL=C grep -aqP "$names" "$program"; then
      echo "shipped build: $program carries a test hook" >&2
      status=1
    fi
    rm -rf "${payload:?}"/*
    if ! 7zz l "$program" .rsrc/ZIP/130 2>/dev/null | grep -q 'ZIP/130'; then
      [ "$(basename "$program")" != zulinst.exe ] && continue
      echo "shipped build: $program has no payload" >&2
      status=1
    elif ! 7zz e -so "$program" .rsrc/ZIP/130 >"$payload/payload.7z" 2>/dev/null ||
         ! 7zz x -y -o"$payload/files" "$payload/payload.7z" >/dev/null 2>&1; then
      echo "shipped build: the payload of $program cannot be unpacked" >&2
      status=1
    else
      while IFS= read -r file; do
        echo "shipped build: ${file#"$payload/files/"} in the payload of $program carries a test hook" >&2
        status=1
      done < <(LC_ALL=C grep -rlaP "$names" "$payload/files")
    fi
  done
  rm -rf "$payload"
  return "$status"
}

# zul_test_shipped ARCH: the programs of build/ARCH-shipped run end to end as
# a user runs them, in a world of its own with the local test server
# (tests/shipped/shipped_program_test.cpp, built by the test build of ARCH):
# installed, started, uninstalled, and deaf to everything only tests use.
zul_test_shipped() {
  local arch=$1
  if [ "$arch" = i686 ] && [ -z "${ZUL_IN_WINE32:-}" ]; then
    zul_wine32 "zul_test_shipped i686"
    return
  fi
  local test="$ZUL_ROOT/build/$arch/tests/shipped/shipped_program_test.exe"
  [ -f "$test" ] || { echo "zul_test_shipped: $test is not built" >&2; return 1; }
  echo "== shipped programs $arch end to end"
  mkdir -p "$(zul_artifacts_dir "$arch")"
  env -u WINEPREFIX -u DISPLAY -u ZUL_PREFIX_TEMPLATE ZUL_ARTIFACTS_DIR="$(zul_artifacts_dir "$arch")" \
    ZUL_SHIPPED_DIR="$ZUL_ROOT/build/$arch-shipped" timeout -k 10 1200 \
    python3 "$ZUL_ROOT/tests/tools/test_world.py" -- \
    bash "$ZUL_ROOT/tests/tools/with_http_server.sh" "$ZUL_ROOT/scripts/wine-run.sh" "$test"
}

# zul_wine32_why: prints why the i686 build cannot run under 32-bit Wine here
# (one line), or nothing when it can.
zul_wine32_why() {
  bash "$ZUL_ROOT/scripts/wine32-ns.sh" --probe || true
}

# zul_wine32 COMMANDS: runs shell commands (with these functions at hand)
# inside scripts/wine32-ns.sh, where the clone keeps its path, so every path
# CTest and the build have recorded works there as it is.
zul_wine32() {
  env -u ZUL_KEEP_DISPLAY ZUL_IN_WINE32=1 bash "$ZUL_ROOT/scripts/wine32-ns.sh" \
    bash -c 'source "$0/scripts/env.sh" && eval "$1"' "$ZUL_ROOT" "$1"
}

# zul_test ARCH: the whole CTest suite of build/ARCH in parallel under Wine,
# each test program in a world of its own (tests/tools/test_world.py: a copy
# of one prefix booted here, its own wineserver, Xvfb display and HOME), then
# the demo window's screenshots in one more; the i686 suite under 32-bit Wine.
# The names of the tests that ran go to build/ARCH/tests-run.txt. Two runs
# of one build folder take turns (and take turns with its build, zul_build):
# each writes the folder's tests-run.txt and JUnit report.
zul_test() {
  local arch=$1
  if [ "$arch" = i686 ] && [ -z "${ZUL_IN_WINE32:-}" ]; then
    zul_wine32 "zul_test i686 $(printf '%q ' "${@:2}")"
    return
  fi
  [ -d "$ZUL_ROOT/build/$arch" ] || { echo "zul_test: $ZUL_ROOT/build/$arch is not built" >&2; return 1; }
  (
    if ! flock -n 9; then
      echo "zul_test: waiting for the other build or test run of build/$arch to end"
      flock 9
    fi
    template=$(mktemp -d /tmp/zul-template.XXXXXX)
    trap 'rm -rf "$template" "$template.boot.log" "$template.tmp"' EXIT
    export ZUL_ARTIFACTS_DIR="$(zul_artifacts_dir "$arch")"
    mkdir -p "$ZUL_ARTIFACTS_DIR" "$template.tmp"
    unset WINEPREFIX DISPLAY
    local status=0 dir="$ZUL_ROOT/build/$arch" started=$SECONDS
    # (its wineserver's socket folder goes to TMPDIR, removed with the template)
    TMPDIR="$template.tmp" zul_make_prefix_template "$template" 9>&- || exit 1
    export ZUL_PREFIX_TEMPLATE=$template
    echo "== tests $arch (prefix booted in $((SECONDS - started)) s)"
    rm -f "$dir/tests-run.txt" "$dir/ctest-junit.xml"
    # A build folder without tests is an error, not a pass.
    ctest --test-dir "$dir" -j"$(nproc)" --output-on-failure --timeout 600 --no-tests=error \
      --output-junit "$dir/ctest-junit.xml" "${@:2}" 9>&- || status=1
    # Every test that ran, passed or not (one that was not run has status "notrun").
    grep -o '<testcase name="[^"]*"[^>]*status="\(run\|fail\)"' "$dir/ctest-junit.xml" 2>/dev/null |
      sed 's/<testcase name="\([^"]*\)".*/\1/' | sort >"$dir/tests-run.txt" || true
    [ $# -eq 1 ] || exit "$status"  # a part of the suite: no screenshots
    echo "== demo screenshot $arch"
    python3 "$ZUL_ROOT/tests/tools/test_world.py" -- \
      "$ZUL_ROOT/scripts/screenshot-demo.sh" "$dir" "$ZUL_ARTIFACTS_DIR" 9>&- || status=1
    exit "$status"
  ) 9>"$ZUL_ROOT/build/$arch.lock"
}

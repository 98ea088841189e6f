# Sourced by the run and test scripts: builds the project and prepares a Wine
# prefix with a persistent server. Expects NIVALO_ROOT to be set.

# Every Windows program is started with the 64-bit Wine loader, which runs
# on every machine: Debian's `wine` picks the 32-bit loader whenever it is
# installed, even where the kernel cannot run it. The 64-bit loader starts
# the 32-bit one itself for a 32-bit program, where the machine allows it.
export WINELOADER=/usr/lib/wine/wine64
wine() { "$WINELOADER" "$@"; }

# True when this machine runs 32-bit code, and so the shipped 32-bit
# Nivalo.scr; some kernels boot with 32-bit emulation switched off.
nivalo_host_runs_32bit() { bash "$NIVALO_ROOT/tools/host_runs_32bit.sh"; }

# The one line that says the 32-bit Nivalo.scr could not be started here.
nivalo_no_32bit_notice() {
  echo "this machine runs no 32-bit code: the 32-bit Nivalo.scr was $1"
}

# The shipped Nivalo.scr this machine can run, in BUILD_DIR: the 32-bit one
# where 32-bit code runs, the 64-bit one elsewhere. Sets NIVALO_SAVER and
# NIVALO_SAVER_KIND ("32-bit" or "64-bit").
nivalo_pick_saver() {
  if nivalo_host_runs_32bit; then
    NIVALO_SAVER=$1/Nivalo.scr NIVALO_SAVER_KIND=32-bit
  else
    NIVALO_SAVER=$1/x64/Nivalo.scr NIVALO_SAVER_KIND=64-bit
  fi
}

# The tests and benchmarks are 64-bit programs unless NIVALO_TEST_ARCH=i686
# asks for 32-bit ones (only where the machine runs 32-bit code).
NIVALO_TEST_ARCH=${NIVALO_TEST_ARCH:-x86_64}

# nivalo_build BUILD_DIR [TARGET...]: everything, or only the targets named.
nivalo_build() {
  local build_dir=$1
  shift
  local toolchain=$NIVALO_ROOT/cmake/mingw-$NIVALO_TEST_ARCH-posix.cmake
  # A build folder configured for other compilers starts afresh.
  if [ -f "$build_dir/CMakeCache.txt" ] &&
     ! grep -qx "CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain" "$build_dir/CMakeCache.txt"; then
    rm -rf "$build_dir/CMakeCache.txt" "$build_dir/CMakeFiles"
  fi
  cmake -S "$NIVALO_ROOT" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build_dir" -j"$(nproc)" ${1:+--target "$@"} -- --no-print-directory >/dev/null
}

# Starts an Xvfb of the given size on a free display number and exports
# DISPLAY; the server ends with the script.
nivalo_start_xvfb() {
  local size=$1 n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
    NIVALO_XVFB_PID=$!
    export DISPLAY=":$n"
    # The display is ours only while our server lives: another script may
    # have taken the same number a moment earlier.
    for _ in $(seq 1 100); do
      kill -0 "$NIVALO_XVFB_PID" 2>/dev/null || break
      xdpyinfo >/dev/null 2>&1 && kill -0 "$NIVALO_XVFB_PID" 2>/dev/null && return 0
      sleep 0.1
    done
    kill "$NIVALO_XVFB_PID" 2>/dev/null || true
  done
  echo "could not start Xvfb" >&2
  return 1
}

# A fresh Wine prefix with its server kept running, booted before anything
# else runs in it, so that Wine's own services never hold the caller's pipes.
# Its windows are not managed: on an Xvfb screen there is no window manager,
# and Wine would wait 2 s for one each time a top-level window goes away.
nivalo_start_wine() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot -i </dev/null >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
  # A process that waits for ever keeps the prefix's desktop and services
  # running between tests: left alone they stop after a few seconds without
  # windows, and starting them again can take Wine ten seconds. It waits on
  # a pipe that this shell holds open, and goes with the server.
  rm -f "$WINEPREFIX/keep-awake"
  mkfifo "$WINEPREFIX/keep-awake"
  wine cmd /c pause <"$WINEPREFIX/keep-awake" >/dev/null 2>&1 &
  exec {NIVALO_KEEP_AWAKE_FD}>"$WINEPREFIX/keep-awake"
}

nivalo_stop() {
  if [ -n "${NIVALO_KEEP_AWAKE_FD:-}" ]; then
    exec {NIVALO_KEEP_AWAKE_FD}>&-
    unset NIVALO_KEEP_AWAKE_FD
  fi
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${NIVALO_XVFB_PID:-}" ]; then kill "$NIVALO_XVFB_PID" 2>/dev/null || true; fi
}

# One run of the saver on a virtual screen of the given size (WxH) with a
# fresh Wine prefix; the screen, the prefix and a saver started with
# nivalo_start_saver are all gone when the script ends.
nivalo_session() {
  NIVALO_SESSION_PREFIX=$(mktemp -d /tmp/nivalo-session.XXXXXX)
  trap nivalo_end_session EXIT
  nivalo_start_xvfb "$1x24"
  nivalo_start_wine "$NIVALO_SESSION_PREFIX"
}

# Starts the saver full screen in the background; NIVALO_SAVER_PID is the
# process that runs it. Wine starts a file that is no .exe through its own
# start program, as a process of its own that is no child of this shell, so
# that process is looked for by its command line within this prefix.
nivalo_start_saver() {
  wine "$1" /s </dev/null >/dev/null 2>&1 &
  local name p tries
  name=$(basename "$1")
  NIVALO_SAVER_PID=
  for tries in $(seq 300); do
    for p in $(pgrep -f -- "$name /s\$" || true); do
      if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
         ! tr '\0' ' ' <"/proc/$p/cmdline" | grep -q 'start\.exe'; then
        NIVALO_SAVER_PID=$p
        return 0
      fi
    done
    sleep 0.1
  done
  echo "the saver $1 did not start" >&2
  return 1
}

# Ends the saver started by nivalo_start_saver and waits until it is gone.
nivalo_stop_saver() {
  [ -n "${NIVALO_SAVER_PID:-}" ] || return 0
  kill "$NIVALO_SAVER_PID" 2>/dev/null || true
  while kill -0 "$NIVALO_SAVER_PID" 2>/dev/null; do sleep 0.1; done
  NIVALO_SAVER_PID=
}

nivalo_end_session() {
  nivalo_stop_saver
  nivalo_stop
  rm -rf "${NIVALO_SESSION_PREFIX:?}"
}

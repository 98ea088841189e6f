# Sourced by the run and test scripts: builds the project and prepares a Wine
# prefix with a persistent server. Expects NIVALO_ROOT to be set.

# nivalo_build BUILD_DIR [TARGET...]: everything, or only the targets named.
nivalo_build() {
  local build_dir=$1
  shift
  cmake -S "$NIVALO_ROOT" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$NIVALO_ROOT/cmake/mingw-i686-posix.cmake" \
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
    for _ in $(seq 1 100); do
      xdpyinfo >/dev/null 2>&1 && return 0
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
  mkfifo "$WINEPREFIX/keep-awake"
  wine cmd /c pause <"$WINEPREFIX/keep-awake" >/dev/null 2>&1 &
  exec {NIVALO_KEEP_AWAKE_FD}>"$WINEPREFIX/keep-awake"
}

nivalo_stop() {
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

# Starts the saver full screen in the background; NIVALO_SAVER_PID is its pid.
nivalo_start_saver() {
  wine "$1" /s </dev/null >/dev/null 2>&1 &
  NIVALO_SAVER_PID=$!
}

nivalo_end_session() {
  if [ -n "${NIVALO_SAVER_PID:-}" ]; then kill "$NIVALO_SAVER_PID" 2>/dev/null || true; fi
  nivalo_stop
  rm -rf "${NIVALO_SESSION_PREFIX:?}"
}

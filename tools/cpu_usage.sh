#!/usr/bin/env bash
# Runs the real saver (Nivalo.scr /s: the shipped 32-bit one where the
# machine runs 32-bit code, the 64-bit one elsewhere) on an Xvfb screen and
# reports how much
# CPU it costs: the saver's own Wine process, its wineserver and the X server
# together, from /proc/PID/stat over a measuring window. In the same run, on
# the same screen, it measures xsnow (Debian's package, installed here for the
# comparison only) and the X server's work for it:
#   the saver at its defaults (50 flakes, the sleigh, the trees) against
#   xsnow at its defaults; then 500 flakes of snow only against xsnow with
#   500 flakes of snow only.
#
#   tools/cpu_usage.sh [WxH] [seconds]
#
# Defaults: 1920x1080, 60 s per measurement.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

size=${1:-1920x1080}
seconds=${2:-60}
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
bash "$NIVALO_ROOT/tools/setup.sh" >/dev/null
if ! [ -x /usr/games/xsnow ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends xsnow >/dev/null
fi
nivalo_build "$build_dir" all benchmarks

nivalo_pick_saver "$build_dir"
nivalo_session "$size"
hz=$(getconf CLK_TCK)

# Clock ticks (user + system) used so far by a process.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

# The wineserver that serves this prefix (other prefixes may have their own).
server_pid=
for p in $(pgrep wineserver || true); do
  if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
     tr '\0' ' ' <"/proc/$p/cmdline" | grep -q -- '-p *$'; then
    server_pid=$p
  fi
done
if [ -z "$server_pid" ]; then echo "no wineserver found for $WINEPREFIX" >&2; exit 1; fi

# measure NAME PID...: percent of one core used by the processes and by the
# X server over the measuring window, after 10 s to settle.
measure() {
  local name=$1
  shift
  sleep 10
  local before=() after=() p total=0 t0 t1
  for p in "$@" "$NIVALO_XVFB_PID"; do before+=("$(ticks "$p")"); done
  t0=$(date +%s.%N)
  sleep "$seconds"
  for p in "$@" "$NIVALO_XVFB_PID"; do after+=("$(ticks "$p")"); done
  t1=$(date +%s.%N)
  local i own=0 x
  for i in "${!before[@]}"; do total=$(( total + ${after[$i]} - ${before[$i]} )); done
  x=$(( ${after[-1]} - ${before[-1]} ))
  own=$(( total - x ))
  awk -v n="$name" -v own="$own" -v x="$x" -v hz="$hz" -v t0="$t0" -v t1="$t1" 'BEGIN {
    el = t1 - t0
    printf "  %-36s %5.1f%% of a core (itself %.1f%%, X server %.1f%%) over %.0f s\n",
           n, 100 * (own + x) / hz / el, 100 * own / hz / el, 100 * x / hz / el, el }'
}

echo "CPU at $size, each measured for $seconds s after 10 s to settle; the $NIVALO_SAVER_KIND Nivalo.scr:"
wine "$build_dir/tools/bench_frames.exe" store-flakes 50 >/dev/null
nivalo_start_saver "$NIVALO_SAVER"
measure "Nivalo at its defaults (with wineserver)" "$NIVALO_SAVER_PID" "$server_pid"
nivalo_stop_saver

# measure_xsnow NAME [OPTION...]: xsnow with its defaults and the options
# given. A figure from an xsnow that ended early would mean nothing: then its
# own last words are shown instead.
measure_xsnow() {
  local name=$1 log=$NIVALO_SESSION_PREFIX/xsnow.log
  shift
  /usr/games/xsnow -nomenu -noconfig "$@" >"$log" 2>&1 &
  local pid=$!
  measure "$name" "$pid"
  if kill "$pid" 2>/dev/null; then
    wait "$pid" 2>/dev/null || true
  else
    echo "  $name: xsnow ended before the measuring did; its last lines:"
    tail -5 "$log" | sed 's/^/    /'
  fi
}

measure_xsnow "xsnow at its defaults"

wine "$build_dir/tools/bench_frames.exe" store-flakes 500 snow-only >/dev/null
nivalo_start_saver "$NIVALO_SAVER"
measure "Nivalo, 500 flakes of snow only" "$NIVALO_SAVER_PID" "$server_pid"
nivalo_stop_saver

measure_xsnow "xsnow, 500 flakes of snow only" -flakecountmax 500 -nosanta -notrees -nometeors \
  -moon 0 -stars 0 -aurora 0 -showbirds 0

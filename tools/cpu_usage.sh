#!/usr/bin/env bash
# Runs the real saver (Nivalo.scr /s) on an Xvfb screen and reports how much
# CPU it costs: the saver's own Wine process, its wineserver and the X server
# together, from /proc/PID/stat over a measuring window.
#
#   tools/cpu_usage.sh [WxH] [seconds] [flake count]
#
# Defaults: 1920x1080, 60 s, the stored defaults (no flake count stored).
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

size=${1:-1920x1080}
seconds=${2:-60}
flakes=${3:-}
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" all benchmarks

nivalo_session "$size"

if [ -n "$flakes" ]; then
  # The settings value is 1028 bytes; the flake count is the 32-bit integer
  # at offset 0x40. Store the defaults with that one field changed.
  wine "$build_dir/tools/bench_frames.exe" store-flakes "$flakes" >/dev/null
fi

# Clock ticks (user + system) used so far by a process.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

# The wineserver that serves this prefix (other prefixes may have their own).
# Debian runs it as wineserver64 (or wineserver32); "wineserver -w" waiters
# match too, but use no CPU.
server_pid=
for p in $(pgrep wineserver || true); do
  if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
     tr '\0' ' ' <"/proc/$p/cmdline" | grep -q -- '-p *$'; then
    server_pid=$p
  fi
done
if [ -z "$server_pid" ]; then echo "no wineserver found for $WINEPREFIX" >&2; exit 1; fi

nivalo_start_saver "$build_dir/Nivalo.scr"
sleep 10  # scene built, first gust timers armed, caches warm

hz=$(getconf CLK_TCK)
s0=$(ticks "$NIVALO_SAVER_PID"); w0=$(ticks "$server_pid"); x0=$(ticks "$NIVALO_XVFB_PID")
t0=$(date +%s.%N)
sleep "$seconds"
s1=$(ticks "$NIVALO_SAVER_PID"); w1=$(ticks "$server_pid"); x1=$(ticks "$NIVALO_XVFB_PID")
t1=$(date +%s.%N)

awk -v s="$((s1 - s0))" -v w="$((w1 - w0))" -v x="$((x1 - x0))" -v hz="$hz" \
    -v t0="$t0" -v t1="$t1" -v size="$size" -v flakes="${flakes:-defaults}" 'BEGIN {
  el = t1 - t0
  printf "CPU over %.1f s at %s, flakes %s (percent of one core):\n", el, size, flakes
  printf "  saver %.1f%%, wineserver %.1f%%, Xvfb %.1f%%, total %.1f%%\n",
         100 * s / hz / el, 100 * w / hz / el, 100 * x / hz / el, 100 * (s + w + x) / hz / el
}'
if ! kill -0 "$NIVALO_SAVER_PID" 2>/dev/null; then echo "the saver ended during the measurement" >&2; exit 1; fi

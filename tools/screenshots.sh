#!/usr/bin/env bash
# Runs the real saver (Nivalo.scr /s) on an Xvfb screen and takes
# screenshots of the whole screen at given seconds after the start. With
# the default timing the first gust starts 30 s in, rises for 6 s and falls
# for 4 s; the next one starts 30 s after that.
#
#   tools/screenshots.sh OUTDIR [WxH] [flake count] [seconds...]
#
# Defaults: 1024x768, 500 flakes, shots at 28 35 74 105 115 s.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

out=$(realpath -m "${1:?output directory}")
size=${2:-1024x768}
flakes=${3:-500}
shift $(( $# < 3 ? $# : 3 ))
times=("$@")
[ "${#times[@]}" -gt 0 ] || times=(28 35 74 105 115)
mkdir -p "$out"
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" all benchmarks

nivalo_pick_saver "$build_dir"
echo "screenshots: the $NIVALO_SAVER_KIND $NIVALO_SAVER"
nivalo_session "$size"
wine "$build_dir/tools/bench_frames.exe" store-flakes "$flakes" >/dev/null

nivalo_start_saver "$NIVALO_SAVER"
start=$(date +%s.%N)
for t in "${times[@]}"; do
  now=$(date +%s.%N)
  wait_for=$(awk -v s="$start" -v n="$now" -v t="$t" 'BEGIN { d = s + t - n; print (d > 0 ? d : 0) }')
  sleep "$wait_for"
  import -window root "$out/snow-${t}s.png"
  echo "shot at ${t}s: $out/snow-${t}s.png"
done

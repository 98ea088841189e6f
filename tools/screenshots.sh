#!/usr/bin/env bash
# Runs the real saver (Nivalo.scr /s) on an Xvfb screen and takes
# screenshots of the whole screen at given seconds after the start, with the
# default settings but for the flake count. With the default timing the
# first gust starts 30 s in, rises for 6 s and falls for 4 s; the next one
# starts 30 s after that.
#
#   tools/screenshots.sh OUTDIR [WxH] [flake count] [[NAME:]seconds...]
#
# Defaults: 1024x768, 500 flakes, shots at 28 35 74 105 115 s. A shot is
# written to OUTDIR/NAME.png, or OUTDIR/snow-Ns.png without a name. The
# README's shot: tools/screenshots.sh docs 1024x768 500 snow-calm:125
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
for shot in "${times[@]}"; do
  t=${shot##*:}
  name=snow-${t}s
  [ "$t" = "$shot" ] || name=${shot%:*}
  now=$(date +%s.%N)
  wait_for=$(awk -v s="$start" -v n="$now" -v t="$t" 'BEGIN { d = s + t - n; print (d > 0 ? d : 0) }')
  sleep "$wait_for"
  import -window root "$out/$name.png"
  echo "shot at ${t}s: $out/$name.png"
done

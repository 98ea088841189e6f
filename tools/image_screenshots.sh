#!/usr/bin/env bash
# Screenshots of pictures and masks: the real saver (Nivalo.scr /s) on
# 1024 x 768 Xvfb screens, two runs at a time, each in its own Wine prefix,
# shot with `import` at given seconds after the start (20 frames a second).
#
#   tools/image_screenshots.sh [OUTDIR]      (default: docs/)
#
# Runs: the stored defaults (built-in mask stretched) at 60 and 200 s; a
# user mask (house and trees, tools/make_samples.py) stretched, with 500 flakes, at 120 s; the
# sample picture centred with the built-in mask at 40 and 120 s; the picture
# tiled without a mask at 40 s.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

out=$(realpath -m "${1:-$NIVALO_ROOT/docs}")
mkdir -p "$out"
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" all benchmarks
work=$(mktemp -d /tmp/nivalo-imageshots.XXXXXX)
trap 'rm -rf "$work"' EXIT
python3 "$NIVALO_ROOT/tools/make_samples.py" "$work"
nivalo_pick_saver "$build_dir"
echo "screenshots: the $NIVALO_SAVER_KIND $NIVALO_SAVER"
picture="Z:$work/sample-picture.bmp"
mask="Z:$work/sample-mask.bmp"

# shoot NAME "STORE ARGS" SECONDS...: one run; shots go to OUTDIR/NAME-Ns.png
shoot() {
  local name=$1 store=$2
  shift 2
  (
    prefix="$work/prefix-$name"
    saver_pid=
    trap '[ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null; nivalo_stop' EXIT
    nivalo_start_xvfb 1024x768x24
    nivalo_start_wine "$prefix"
    # shellcheck disable=SC2086
    [ -z "$store" ] || wine "$build_dir/tools/bench_mask.exe" store $store >/dev/null
    wine "$NIVALO_SAVER" /s </dev/null >/dev/null 2>&1 &
    saver_pid=$!
    start=$(date +%s.%N)
    for t in "$@"; do
      now=$(date +%s.%N)
      sleep "$(awk -v s="$start" -v n="$now" -v t="$t" 'BEGIN { d = s + t - n; print (d > 0 ? d : 0) }')"
      import -window root "$out/$name-${t}s.png"
      echo "shot: $out/$name-${t}s.png"
    done
  )
}

# The second run of a pair starts a little later, so that the two do not
# pick the same free display.
shoot mask-default "" 60 200 &
sleep 5
shoot mask-user "mask=$mask layout=0 flakes=500" 120 &
wait
shoot picture-centred "picture=$picture layout=1" 40 120 &
sleep 5
shoot picture-tiled "picture=$picture mask= layout=2" 40 &
wait

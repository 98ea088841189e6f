#!/usr/bin/env bash
# Makes the animated picture of the large sleigh galloping across falling
# snow: the real saver on a small virtual screen, no mask, 150 flakes, the
# sleigh at 10 pixels a move, captured every 0.2 s while it crosses.
#
#   tools/sleigh_gif.sh [OUT.gif]      default docs/sleigh.gif
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

out=$(realpath -m "${1:-$NIVALO_ROOT/docs/sleigh.gif}")
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" all benchmarks
frames=$(mktemp -d /tmp/nivalo-gif.XXXXXX)

nivalo_pick_saver "$build_dir"
echo "gif: the $NIVALO_SAVER_KIND $NIVALO_SAVER"
nivalo_session 640x200
wine "$build_dir/tools/bench_mask.exe" store mask= flakes=150 sleigh-speed=10 >/dev/null
nivalo_start_saver "$NIVALO_SAVER"
sleep 2
for i in $(seq -w 0 89); do
  import -window root "$frames/$i.png"
  sleep 0.2
done
convert -delay 20 -loop 0 "$frames"/*.png -layers Optimize "$out"
rm -rf "$frames"
echo "gif: $out"

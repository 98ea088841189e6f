#!/usr/bin/env bash
# Builds the project and runs every benchmark program (build/tools/bench_*.exe)
# under Wine, first on an Xvfb screen of 1920 x 1080 x 24, then of
# 1024 x 768 x 24. Each program is given the screen size as its argument and
# prints its own figures. The programs are 64-bit builds unless
# NIVALO_TEST_ARCH=i686 (and another NIVALO_BUILD_DIR) asks for 32-bit ones.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

bash "$NIVALO_ROOT/tools/setup.sh" >/dev/null
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" all benchmarks

echo "benchmarks: the $NIVALO_TEST_ARCH build in $build_dir"
prefix=$(mktemp -d /tmp/nivalo-bench.XXXXXX)
trap 'nivalo_stop; rm -rf "$prefix"' EXIT
for size in 1920x1080 1024x768; do
  nivalo_start_xvfb "${size}x24"
  nivalo_start_wine "$prefix"
  for bench in "$build_dir"/tools/bench_*.exe; do
    [ -e "$bench" ] || continue
    echo "== $(basename "$bench" .exe) on $size"
    wine "$bench" "$size"
  done
  nivalo_stop
  unset NIVALO_XVFB_PID
done

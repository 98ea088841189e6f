#!/usr/bin/env bash
# The scene on two monitors of different heights after two minutes of snow,
# as a user with two monitors sees it: drawn by the real scene code on a
# memory surface as large as the two (tools/bench_monitors.cpp), since a
# virtual screen cannot stage monitors side by side.
#
#   tools/monitor_screenshot.sh [OUT.png]      default docs/monitors-two.png
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

out=$(realpath -m "${1:-$NIVALO_ROOT/docs/monitors-two.png}")
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" all benchmarks
work=$(mktemp -d /tmp/nivalo-monitors.XXXXXX)
nivalo_session 1024x768
trap 'nivalo_end_session; rm -rf "$work"' EXIT
python3 "$NIVALO_ROOT/tools/make_samples.py" "$work" >/dev/null
wine "$build_dir/tools/bench_monitors.exe" shot "Z:$work/monitors.bmp" "Z:$work/sample-picture.bmp"
convert "$work/monitors.bmp" "$out"
echo "screenshot: $out (the $NIVALO_TEST_ARCH build of the scene)"

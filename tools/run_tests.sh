#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test under 64-bit
# Wine on an Xvfb screen of 1024 x 768 x 24. The black-box tests start the
# 64-bit Nivalo.scr, and the shipped 32-bit one too where the machine runs
# 32-bit code; where it does not, they are not run, and this says so. Exits
# non-zero when any test fails.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

bash "$NIVALO_ROOT/tools/setup.sh"
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
echo "tests: building in $build_dir"
nivalo_build "$build_dir"

prefix=$(mktemp -d /tmp/nivalo-wine.XXXXXX)
trap 'nivalo_stop; rm -rf "$prefix"' EXIT
nivalo_start_xvfb 1024x768x24
nivalo_start_wine "$prefix"

cd "$build_dir"
status=0
ctest --output-on-failure --timeout 300 -j1 "$@" || status=$?
nivalo_host_runs_32bit || nivalo_no_32bit_notice "checked by reading it, not run"
exit "$status"

#!/usr/bin/env bash
# A longer run of the image tests' fuzz test: mutated BMP files through the
# loader (each read right before a page without access), the three layouts
# and the mask builders, with its time and memory bounds checked.
#
#   tools/fuzz.sh [files]       default 200000
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

bash "$NIVALO_ROOT/tools/setup.sh" >/dev/null
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" image_tests

prefix=$(mktemp -d /tmp/nivalo-fuzz.XXXXXX)
trap 'nivalo_stop; rm -rf "$prefix"' EXIT
nivalo_start_xvfb 1024x768x24
nivalo_start_wine "$prefix"
export NIVALO_FUZZ_FILES=${1:-200000}
start=$(date +%s)
wine "$build_dir/tests/images/image_tests.exe" --gtest_filter='Fuzz.*' --gtest_brief=1
echo "fuzz: $NIVALO_FUZZ_FILES files in $(( $(date +%s) - start )) s, the $NIVALO_TEST_ARCH build of the loader"

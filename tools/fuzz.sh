#!/usr/bin/env bash
# A longer run of the image tests' fuzz test: mutated BMP files through the
# loader (each read right before a page without access), the three layouts
# and the mask builders, with its memory bound checked; here each file must
# also be done within a second. Exits non-zero when either fails.
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
status=0
wine "$build_dir/tests/images/image_tests.exe" --gtest_filter='Fuzz.*' --gtest_brief=1 | tee "$prefix/fuzz.log" ||
  status=$?
echo "fuzz: $NIVALO_FUZZ_FILES files in $(( $(date +%s) - start )) s, the $NIVALO_TEST_ARCH build of the loader"
slowest=$(sed -n 's/.*; slowest \([0-9.]*\) ms;.*/\1/p' "$prefix/fuzz.log")
if [ -z "$slowest" ]; then
  echo "fuzz: the test printed no time"
  status=1
elif ! awk -v ms="$slowest" 'BEGIN { exit !(ms < 1000) }'; then
  echo "fuzz: the slowest file took $slowest ms, more than the second a file may take"
  status=1
fi
exit "$status"

#!/usr/bin/env bash
# Sets up the machine, builds the saver and starts it full screen under
# Wine: the shipped 32-bit Nivalo.scr where the machine runs 32-bit code,
# the 64-bit one elsewhere. On a machine with an X display it runs there
# until a key or the mouse ends it. Without one it runs on a virtual
# 1024 x 768 screen for a few seconds and saves a screenshot, whose path it
# prints.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

bash "$NIVALO_ROOT/tools/setup.sh"
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
echo "run: building in $build_dir"
nivalo_build "$build_dir"
nivalo_pick_saver "$build_dir"
[ "$NIVALO_SAVER_KIND" = 32-bit ] || nivalo_no_32bit_notice "built but not run; running the 64-bit one"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run: starting the $NIVALO_SAVER_KIND $NIVALO_SAVER /s on $DISPLAY (a key press or a mouse move ends it)"
  WINEDEBUG=-all exec "$WINELOADER" "$NIVALO_SAVER" /s
fi

seconds=${NIVALO_RUN_SECONDS:-20}
shot=${NIVALO_SCREENSHOT:-$build_dir/nivalo-screenshot.png}
nivalo_session 1024x768
echo "run: no display; running the $NIVALO_SAVER_KIND $NIVALO_SAVER for $seconds s on a virtual 1024 x 768 screen"
nivalo_start_saver "$NIVALO_SAVER"
sleep "$seconds"
import -window root "$shot"
echo "run: screenshot saved to $shot"

#!/usr/bin/env bash
# The README's picture of snow on the desktop: three of Wine's own programs
# open on an Xvfb screen of 1024 x 768 over a plain blue desktop, then the
# saver with snow on the desktop switched on, 500 flakes and no mask, and
# the screen some time later.
#
#   tools/desktop_screenshot.sh [OUT.png] [seconds]
#
# Defaults: docs/desktop-snow.png after 120 s.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

out=$(realpath -m "${1:-$NIVALO_ROOT/docs/desktop-snow.png}")
seconds=${2:-120}
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" all benchmarks

nivalo_pick_saver "$build_dir"
echo "desktop screenshot: the $NIVALO_SAVER_KIND $NIVALO_SAVER"
nivalo_session 1024x768
work=$NIVALO_SESSION_PREFIX/screenshot
mkdir -p "$work"
convert -size 1024x768 gradient:'#2b5c8a'-'#5a8cbc' "$work/desktop.png"
# ImageMagick lays the picture on the root window, and then exits with 1.
display -window root "$work/desktop.png" || true
printf 'Snow on the desktop\r\n\r\nThe saver shows the screen as it was when it\r\nstarted, and the snow settles on the top edges\r\nof the windows.\r\n' >"$work/note.txt"
wine notepad "$(wine winepath -w "$work/note.txt" 2>/dev/null)" </dev/null >/dev/null 2>&1 &
wine winemine </dev/null >/dev/null 2>&1 &
wine regedit </dev/null >/dev/null 2>&1 &
bench=$build_dir/tools/bench_desktop.exe
wine "$bench" arrange Notepad 90 330 420 260  RegEdit_RegEdit 470 130 480 330  WineMine 150 90 0 0
wine "$bench" store
sleep 2
nivalo_start_saver "$NIVALO_SAVER"
sleep "$seconds"
import -window root "$out"
echo "$out"

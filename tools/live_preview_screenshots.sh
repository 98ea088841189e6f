#!/usr/bin/env bash
# The settings dialog over its live preview, before and after one change, for
# the README: Nivalo.scr /c on a fresh Xvfb screen and Wine prefix, Preview
# pressed, the whole screen (1600 x 900) taken after 30 s of 50 flakes; then 500 flakes
# typed and a switch's picture clicked (a click reads typed numbers), and the
# screen taken again two seconds later.
#
#   tools/live_preview_screenshots.sh [OUTDIR]      default docs/
#
# Writes live-preview-50.png and live-preview-500.png.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" all dialog_driver
nivalo_pick_saver "$build_dir"
echo "screenshots: the $NIVALO_SAVER_KIND $NIVALO_SAVER"
out=$(realpath -m "${1:-$NIVALO_ROOT/docs}")
mkdir -p "$out"
eval "$(sed -n 's/^#define \(IDC_[A-Z_]*\) \([0-9]*\)$/\1=\2/p' "$NIVALO_ROOT/resources/resource.h")"
caption="Nivalo screen saver settings"
drive() { wine "$build_dir/tools/dialog_driver.exe" "$caption" "$@" </dev/null; }

nivalo_session 1600x900
wine "$NIVALO_SAVER" /c </dev/null >/dev/null 2>&1 &
drive press "$IDC_LIVE_PREVIEW"
sleep 30
import -window root "$out/live-preview-50.png"
drive type "$IDC_FLAKE_COUNT" 500 click "$IDC_SLEIGH_IN_WIND"
sleep 2
import -window root "$out/live-preview-500.png"
echo "$out/live-preview-50.png"
echo "$out/live-preview-500.png"

#!/usr/bin/env bash
# A screenshot of the setup program's first page for the README, on a fresh
# Xvfb screen and Wine prefix: the 32-bit setup that ships where this machine
# runs 32-bit code, the same script built for 64 bits elsewhere.
#
#   tools/setup_screenshot.sh [FILE]
#
# Writes FILE, docs/setup-first-page.png unless another is named.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

out=$(realpath -m "${1:-$NIVALO_ROOT/docs/setup-first-page.png}")
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" nivalo_setup nivalo_setup_amd64
version=$(sed -n 's/^project(Nivalo VERSION \([0-9][0-9.]*\).*/\1/p' "$NIVALO_ROOT/CMakeLists.txt")
if nivalo_host_runs_32bit; then
  setup=$build_dir/Nivalo-$version-setup.exe
else
  setup=$build_dir/setup-amd64/Nivalo-$version-setup.exe
fi
echo "screenshot: $setup"

nivalo_session 1024x768
wine "$setup" </dev/null >/dev/null 2>&1 &
page=$(timeout 60 xdotool search --sync --name "Nivalo $version Setup" | head -1)
sleep 1  # the page paints itself once it idles
import -window "$page" "$out"
wineserver -k >/dev/null 2>&1 || true
echo "$out"

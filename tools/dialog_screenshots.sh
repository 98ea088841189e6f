#!/usr/bin/env bash
# Screenshots of the real settings dialog (Nivalo.scr /c) for the README,
# each on a fresh Xvfb screen and Wine prefix: the dialog at 96 and at 192
# pixels per inch, the dialog at 96 and at 144 side by side (as on a laptop
# at 150% beside a screen at 100%), and the help pop-up that F1 on the flake
# count shows.
#
#   tools/dialog_screenshots.sh OUTDIR
#
# Writes settings-dialog.png, settings-dialog-2x.png,
# settings-dialog-96-144.png and help-popup.png.
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

out=$(realpath -m "${1:?output directory}")
mkdir -p "$out"
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir"
caption="Nivalo screen saver settings"
nivalo_pick_saver "$build_dir"
echo "screenshots: the $NIVALO_SAVER_KIND $NIVALO_SAVER"

# shot DPI SCREEN FILE [KEY]: the dialog's window, or with a key pressed
# first the whole screen.
shot() (
  nivalo_session "$2"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  wine "$NIVALO_SAVER" /c </dev/null >/dev/null 2>&1 &
  NIVALO_SAVER_PID=$!
  dialog=$(timeout 30 xdotool search --sync --name "$caption" | head -1)
  sleep 1  # the dialog paints itself once it idles
  if [ -n "${4:-}" ]; then
    xdotool key "$4"
    sleep 1
    import -window root "$3"
  else
    import -window "$dialog" "$3"
  fi
  echo "$3"
)

shot 96 1024x768 "$out/settings-dialog.png"
shot 192 1600x1200 "$out/settings-dialog-2x.png"
shot 144 1280x1024 "$out/settings-dialog-144.png"
convert "$out/settings-dialog.png" -size 16x1 xc:white "$out/settings-dialog-144.png" \
  -background white -gravity north +append "$out/settings-dialog-96-144.png"
rm "$out/settings-dialog-144.png"
echo "$out/settings-dialog-96-144.png"
shot 96 1024x768 "$out/help-popup.png" F1

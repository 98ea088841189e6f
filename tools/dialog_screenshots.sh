#!/usr/bin/env bash
# Screenshots of the real settings dialog (Nivalo.scr /c) for the README,
# each on a fresh Xvfb screen and Wine prefix: the dialog at 96 and at 192
# pixels per inch, the dialog at 96 and at 144 side by side (as on a laptop
# at 150% beside a screen at 100%), the help pop-up that F1 on the flake
# count shows, the same topic in the help viewer (with Wine reporting
# Windows XP) and the About box.
#
#   tools/dialog_screenshots.sh OUTDIR
#
# Writes settings-dialog.png, settings-dialog-2x.png,
# settings-dialog-96-144.png, help-popup.png, help-f1.png and about-box.png.
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

# shot DPI SCREEN FILE [F1 | viewer | about]: the dialog's window; with F1
# pressed first the whole screen, also with Wine reporting Windows XP
# (viewer); or the About box that its button opens.
shot() (
  nivalo_session "$2"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  if [ "${4:-}" = viewer ]; then
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$NIVALO_SAVER")" /v Version /d winxp /f \
      </dev/null >/dev/null 2>&1
  fi
  wine "$NIVALO_SAVER" /c </dev/null >/dev/null 2>&1 &
  NIVALO_SAVER_PID=$!
  dialog=$(timeout 30 xdotool search --sync --name "$caption" | head -1)
  sleep 1  # the dialog paints itself once it idles
  case ${4:-} in
    "") import -window "$dialog" "$3" ;;
    about)
      xdotool mousemove --window "$dialog" 62 509 click 1  # the About... button at 96 dpi
      about=$(timeout 30 xdotool search --sync --name "About Nivalo" | head -1)
      sleep 1
      import -window "$about" "$3"
      ;;
    *)
      xdotool key F1
      sleep 2
      import -window root -trim +repage "$3"
      ;;
  esac
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
shot 96 1024x768 "$out/help-f1.png" viewer
shot 96 1024x768 "$out/about-box.png" about

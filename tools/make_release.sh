#!/usr/bin/env bash
# Builds both shipped Nivalo.scr files and their help files and packs them,
# with the installation notes for Windows users, into
# BUILD/Nivalo-<version>.zip: the 32-bit build at the root, the 64-bit one
# in x64/. Beside it the build writes the setup program,
# BUILD/Nivalo-<version>-setup.exe, which holds both builds.
#   bash tools/make_release.sh
# BUILD is build/ unless NIVALO_BUILD_DIR names another; the version is the
# one in CMakeLists.txt's project().
set -euo pipefail
NIVALO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$NIVALO_ROOT/tools/wine_env.sh"

version=$(sed -n 's/^project(Nivalo VERSION \([0-9][0-9.]*\).*/\1/p' "$NIVALO_ROOT/CMakeLists.txt")
if [ -z "$version" ]; then
  echo "release: no version in CMakeLists.txt's project()" >&2
  exit 1
fi

bash "$NIVALO_ROOT/tools/setup.sh" >/dev/null
build_dir=${NIVALO_BUILD_DIR:-$NIVALO_ROOT/build}
nivalo_build "$build_dir" nivalo_release nivalo_release_help nivalo_release_x64 nivalo_release_x64_help \
  nivalo_setup

zip=$build_dir/Nivalo-$version.zip
python3 - "$zip" "$build_dir" "$NIVALO_ROOT/resources/release/INSTALL.txt" <<'PY'
import os
import sys
import time
import zipfile

out, build, notes = sys.argv[1:]


def entry(name, path):
    info = zipfile.ZipInfo(name, time.localtime(os.path.getmtime(path))[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    return info


with open(notes, "rb") as f:   # Windows line ends, whatever the checkout has
    text = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
partial = out + ".part"
with zipfile.ZipFile(partial, "w") as z:
    for name in ("Nivalo.scr", "Nivalohelp.hlp", "x64/Nivalo.scr", "x64/Nivalohelp.hlp"):
        path = os.path.join(build, name)
        with open(path, "rb") as f:
            z.writestr(entry(name, path), f.read())
    z.writestr(entry("INSTALL.txt", notes), text)
os.replace(partial, out)
PY
echo "release: $build_dir/Nivalo-$version-setup.exe (installs the Nivalo.scr that fits the system)"
echo "release: $zip (the 32-bit Nivalo.scr at its root, the 64-bit one in x64/)"

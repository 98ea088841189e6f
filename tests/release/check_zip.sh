#!/usr/bin/env bash
# Makes the release zip with tools/make_release.sh in the given build folder
# and checks what it holds: exactly the two Nivalo.scr files (the very files
# the build made: the 32-bit one at the root, the 64-bit one in x64/), the
# help file beside each, and INSTALL.txt with Windows line ends.
#   check_zip.sh SOURCE_DIR BUILD_DIR VERSION
set -euo pipefail
root=$1 build=$2 version=$3
zip=$build/Nivalo-$version.zip
rm -f "$zip"
NIVALO_BUILD_DIR=$build bash "$root/tools/make_release.sh" >/dev/null
if [ ! -f "$zip" ]; then
  echo "FAIL: no $zip" >&2
  exit 1
fi
python3 - "$zip" "$build" "$root/resources/release/INSTALL.txt" <<'PY'
import os
import sys
import zipfile

zip_path, build, notes = sys.argv[1:]
problems = []
with zipfile.ZipFile(zip_path) as z:  # reading an entry checks its CRC
    names = z.namelist()
    shipped = ["Nivalo.scr", "Nivalohelp.hlp", "x64/Nivalo.scr", "x64/Nivalohelp.hlp"]
    wanted = sorted(shipped + ["INSTALL.txt"])
    if sorted(names) != wanted or len(names) != len(set(names)):
        problems.append("holds %s, not %s" % (names, wanted))
    for name in shipped:
        with open(os.path.join(build, name), "rb") as f:
            built = f.read()
        if name not in names or z.read(name) != built:
            problems.append("%s differs from %s in the build folder" % (name, name))
    if "INSTALL.txt" in names:
        text = z.read("INSTALL.txt")
        lines = text.split(b"\r\n")
        if not text.endswith(b"\r\n") or any(b"\n" in l or b"\r" in l for l in lines):
            problems.append("INSTALL.txt has lines that do not end in CR LF")
        with open(notes, "rb") as f:
            source = f.read().replace(b"\r\n", b"\n")
        if text.replace(b"\r\n", b"\n") != source:
            problems.append("INSTALL.txt is not resources/release/INSTALL.txt")
        for word in (b"Nivalo.scr", b"Nivalohelp.hlp", b"x64", b"64-bit", b"Install", b"Settings", b"F1",
                     b"-setup.exe", b"/ALLUSERS", b"Nivalohelp.GID", b"ScreenSaverSettings"):
            if word not in text:
                problems.append("INSTALL.txt does not mention %s" % word.decode())
for p in problems:
    print("FAIL: " + p)
print("%s: %s" % (os.path.basename(zip_path), "%d problems" % len(problems) if problems else "ok"))
sys.exit(1 if problems else 0)
PY

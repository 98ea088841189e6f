#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the saver
# needs: the mingw-w64 cross compilers for 32 and 64 bits, Wine (its 32-bit
# part too, which installs even where the kernel cannot run it), Xvfb,
# GoogleTest sources, NSIS for the setup program and a few tools for looking
# at what the saver draws.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-i686 gcc-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xauth x11-utils xdotool imagemagick
  googletest
  python3
  nsis
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  updated=no
else
  updated=maybe
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ] || [ "$updated" = no ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
echo "setup: all packages present"

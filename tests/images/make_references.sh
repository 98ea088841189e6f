#!/usr/bin/env bash
# Decodes every file of the BMP test corpus with an independent decoder
# (ImageMagick) into raw 8-bit RGB, top-down, as the pixels the saver must
# paint. A file the decoder refuses gets no reference.
#   make_references.sh CONVERT SUITE_DIR OUT_DIR
set -u
convert=$1 suite=$2 out=$3
mkdir -p "$out"
for folder in g q b; do
  for f in "$suite/$folder"/*.bmp; do
    [ -e "$f" ] || continue
    name=$(basename "$f" .bmp)
    if "$convert" "$f" -depth 8 "rgb:$out/$folder-$name.rgb.part" 2>/dev/null; then
      mv "$out/$folder-$name.rgb.part" "$out/$folder-$name.rgb"
    else
      rm -f "$out/$folder-$name.rgb.part" "$out/$folder-$name.rgb"
    fi
  done
done
touch "$out/stamp"

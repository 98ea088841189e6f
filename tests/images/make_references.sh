#!/usr/bin/env bash
# Decodes the BMP corpus with ImageMagick into raw 8-bit RGB, top-down, one
# reference a file; a file it refuses gets none.   CONVERT SUITE_DIR OUT_DIR
set -u
convert=$1 suite=$2 out=$3
mkdir -p "$out"
for f in "$suite"/[gqb]/*.bmp; do
  ref=$out/$(basename "$(dirname "$f")")-$(basename "$f" .bmp).rgb
  "$convert" "$f" -depth 8 "rgb:$ref.part" 2>/dev/null && mv "$ref.part" "$ref" || rm -f "$ref.part" "$ref"
done
touch "$out/stamp"

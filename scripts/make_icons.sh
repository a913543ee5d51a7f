#!/usr/bin/env bash
# Draws the window icon's pictures from app/quadrilex.svg, as raw RGBA bytes that the program
# shows without an image reader (the reader's plug-in scan would cost its start-up time).
# Needs ImageMagick; run again after changing the SVG, and commit the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 32 48 64; do
  convert -background none -density 600 app/quadrilex.svg -resize "${size}x${size}" -depth 8 \
    "RGBA:app/icons/quadrilex-$size.rgba"
done

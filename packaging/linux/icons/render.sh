#!/bin/sh
# Renders the icon's PNG sizes from ovalith.svg (needs rsvg-convert, from
# librsvg2-bin).  The PNGs are kept in the repository so that building needs
# no renderer; run this after changing the SVG.
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" ovalith.svg -o "ovalith-$size.png"
done

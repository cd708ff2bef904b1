#!/bin/sh
# Renders the PNG sizes of the application icon from vamu-pelican.svg (run
# after changing the SVG; the PNGs are kept in the tree). Needs rsvg-convert.
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}"
    rsvg-convert -w "$size" -h "$size" vamu-pelican.svg -o "${size}x${size}/vamu-pelican.png"
done

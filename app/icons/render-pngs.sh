#!/usr/bin/env bash
# Renders the hand-drawn orvinel.svg into the PNG sizes that are committed next
# to it, so building and packaging need no SVG converter. Run it after editing
# the SVG (needs rsvg-convert from librsvg2-bin) and look at the 32 px result.
set -euo pipefail
cd "$(dirname "$0")"
for size in 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" orvinel.svg --output "orvinel-$size.png"
done
# The Windows icon: every size in one .ico (ImageMagick).
convert orvinel-256.png -define icon:auto-resize=256,128,64,48,32,16 orvinel.ico

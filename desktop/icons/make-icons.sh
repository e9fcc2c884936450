#!/usr/bin/env bash
# Renders the PNG icons from tessaly.svg with rsvg-convert (Debian package
# librsvg2-bin). Run it after changing the SVG and commit the PNGs with it:
# the build and the install only copy them.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --format png tessaly.svg -o "${size}x${size}/tessaly.png"
done

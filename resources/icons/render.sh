#!/usr/bin/env bash
# Renders ticker.svg into the PNG sizes the icon theme and the window icon use.
# Run it after changing the drawing; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128; do
  rsvg-convert --width "$size" --height "$size" ticker.svg --output "ticker-$size.png"
done

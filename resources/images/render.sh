#!/usr/bin/env bash
# Renders the drawings of the title pictures (title.svg) and of the window icon (icon.svg) at
# twice the size (192 dots per inch, a device pixel ratio of 2): normal@2x.png on its orange
# ground, downloading@2x.png in the dark blue of a download, icon16@2x.png and icon32@2x.png.
# The 1x pictures stay as they are; each drawing is first rendered at their own size and must
# match them, so that the two sizes show one design. Run it after changing a drawing; the PNGs
# are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render DRAWING ONE_X WIDTH HEIGHT LIMIT OUT: DRAWING at the size of ONE_X (WIDTH x HEIGHT)
# must differ from it by less than LIMIT (the root mean square difference of the colours, 0 to
# 1); then it is rendered at twice the size into OUT.
render() {
  local drawing=$1 onex=$2 width=$3 height=$4 limit=$5 out=$6 difference
  rsvg-convert --width "$width" --height "$height" "$drawing" --output "$work/1x.png"
  # compare exits with 1 when the pictures differ at all.
  difference=$(compare -metric RMSE "$work/1x.png" "$onex" null: 2>&1 || true)
  difference=$(sed 's/.*(\(.*\))/\1/' <<<"$difference")
  if ! awk -v d="$difference" -v l="$limit" 'BEGIN { exit !(d ~ /^[0-9.e-]+$/ && d + 0 < l) }'; then
    echo "render.sh: $drawing at 1x differs from $onex by $difference" >&2
    exit 1
  fi
  rsvg-convert --width $((2 * width)) --height $((2 * height)) "$drawing" --output "$out"
}

for entry in "normal|#ffb25e|#a84300" "downloading|#12306e|#8ec8ff"; do
  IFS='|' read -r name ground letters <<<"$entry"
  sed -e "s/#ffb25e/$ground/" -e "s/#a84300/$letters/" title.svg >"$work/$name.svg"
  render "$work/$name.svg" "$name.gif" 33 16 0.02 "$name@2x.png"
done
# The icons' lettering was drawn by a font's hinting: the shapes match less closely.
render icon.svg icon32.png 32 32 0.03 icon32@2x.png
render icon.svg icon16.png 16 16 0.03 icon16@2x.png

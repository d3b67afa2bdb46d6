#!/usr/bin/env bash
# Renders title.svg into the title pictures drawn at twice the size (192 dots per inch, a
# device pixel ratio of 2): normal@2x.png on its orange ground and downloading@2x.png in the
# dark blue of a download. normal.gif and downloading.gif stay as they are; the drawing is
# first rendered at their own size and must match them, so that the two sizes show one design.
# Run it after changing the drawing; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for entry in "normal|#ffb25e|#a84300" "downloading|#12306e|#8ec8ff"; do
  IFS='|' read -r name ground letters <<<"$entry"
  sed -e "s/#ffb25e/$ground/" -e "s/#a84300/$letters/" title.svg >"$work/$name.svg"
  rsvg-convert "$work/$name.svg" --output "$work/$name.png"
  # Root mean square difference of the colours, 0 to 1: the drawing at 1x is within 2 %.
  # compare exits with 1 when the pictures differ at all.
  difference=$(compare -metric RMSE "$work/$name.png" "$name.gif" null: 2>&1 || true)
  difference=$(sed 's/.*(\(.*\))/\1/' <<<"$difference")
  if ! awk -v d="$difference" 'BEGIN { exit !(d ~ /^[0-9.e-]+$/ && d + 0 < 0.02) }'; then
    echo "render.sh: title.svg at 1x differs from $name.gif by $difference" >&2
    exit 1
  fi
  rsvg-convert --width 66 --height 32 "$work/$name.svg" --output "$name@2x.png"
done

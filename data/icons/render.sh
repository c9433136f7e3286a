#!/bin/bash
# Re-render the hicolor PNG icons from org.quillordic.QuillorDic.svg.
# The PNGs are committed so that building and packaging need no SVG renderer;
# run this by hand (needs rsvg-convert from librsvg2-bin) after editing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
svg=org.quillordic.QuillorDic.svg
for size in 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert --width "$size" --height "$size" --output "$size/org.quillordic.QuillorDic.png" "$svg"
done

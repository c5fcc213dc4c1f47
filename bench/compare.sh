#!/usr/bin/env bash
# Times pixmeld-cli side by side with ImageMagick and libvips on the same photos in one run, and prints for
# each tool its median time, its ratio to a bare djpeg decode of the same file and its peak memory.
#
#   bench/compare.sh [ROUNDS]     (default 7)
#
# The photos: photo-like pictures (smooth colour fields with fine noise, quality 90, 4:2:0) of 12, 24 and
# 48 megapixels; a grainy camera-like photo of 24 megapixels made from a real photograph of Debian's
# mate-backgrounds package (enlarged, with sensor-like noise, quality 92, 4:2:0); and a progressive copy
# of it (jpegtran -progressive). Every tool shrinks to a longer edge of 960 and writes quality 80:
#   pixmeld-cli            decodes every pixel, area-averages, encodes
#   convert -filter box    ImageMagick's box filter, which also decodes every pixel
#   vips shrink            libvips' box shrink by the exact factor, every pixel decoded
#   vipsthumbnail -s 960   shrinks while decoding (DCT scaling), so it never sees most pixels
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${1:-7}
scripts/install-deps --bench
make --no-print-directory build >/dev/null

CONVERT=/usr/bin/convert  # the real ImageMagick, whatever else PATH holds
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

photos=()
for size in 4000x3000 6000x4000 8000x6000; do
  width=${size%x*}
  height=${size#*x}
  photos+=("$work/photo-$size.jpg")
  "$CONVERT" -size "$((width / 8))x$((height / 8))" -seed 7 plasma:fractal -blur 0x2 \
    -resize "${width}x${height}!" -attenuate 0.4 +noise Gaussian -quality 90 -sampling-factor 2x2 "${photos[-1]}"
done
"$CONVERT" /usr/share/backgrounds/mate/nature/Garden.jpg -resize '6000x4000^' -gravity center -extent 6000x4000 \
  -seed 3 -attenuate 0.6 +noise Gaussian -quality 92 -sampling-factor 2x2 "$work/camera-6000x4000.jpg"
jpegtran -progressive -copy all -outfile "$work/camera-progressive-6000x4000.jpg" "$work/camera-6000x4000.jpg"
photos+=("$work/camera-6000x4000.jpg" "$work/camera-progressive-6000x4000.jpg")

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
python3 bench/compare.py "$rounds" "${photos[@]}" -- \
  "djpeg (decode only)=djpeg -outfile /dev/null {photo}" \
  "pixmeld-cli=build/pixmeld-cli --max-edge 960 --output {out} {photo}" \
  "convert -filter box=$CONVERT {photo} -filter box -resize 960x960 -quality 80 {out}/im.jpg" \
  "vips shrink=vips shrink {photo} {out}/vips.jpg[Q=80] {factor} {factor}" \
  "vipsthumbnail -s 960=vipsthumbnail {photo} -s 960 -o {out}/thumb.jpg[Q=80]"

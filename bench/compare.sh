#!/usr/bin/env bash
# Times pixmeld-cli side by side with ImageMagick and libvips on the same photos in one run, and prints each
# time with its ratio to a bare djpeg decode of the same file.
#
#   bench/compare.sh [SIZE...]     e.g. bench/compare.sh 4000x3000 6000x4000 8000x6000 (the default)
#
# Every tool shrinks to a longer edge of 960 and writes quality 80:
#   pixmeld-cli            decodes every pixel, area-averages, encodes
#   convert -filter box    ImageMagick's box filter, which also decodes every pixel
#   vips shrink            libvips' box shrink by the exact factor, every pixel decoded
#   vipsthumbnail -s 960   shrinks while decoding (DCT scaling), so it never sees most pixels
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps --bench
make --no-print-directory build >/dev/null

CONVERT=/usr/bin/convert  # the real ImageMagick, whatever else PATH holds
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(4000x3000 6000x4000 8000x6000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
for size in "${sizes[@]}"; do
  width=${size%x*}
  height=${size#*x}
  photo="$work/photo-$size.jpg"
  # A photo-like picture: smooth colour fields with fine noise, quality 90, 4:2:0.
  "$CONVERT" -size "$((width / 8))x$((height / 8))" -seed 7 plasma:fractal -blur 0x2 \
    -resize "${width}x${height}!" -attenuate 0.4 +noise Gaussian -quality 90 -sampling-factor 2x2 "$photo"
  factor=$(python3 -c "print(max($width, $height) / 960)")
  out="$work/out"
  mkdir -p "$out"

  hyperfine --style none --warmup 1 --runs 7 --export-json "$work/$size.json" \
    -n "djpeg (decode only)" "djpeg -outfile /dev/null '$photo'" \
    -n "pixmeld-cli" "build/pixmeld-cli --max-edge 960 --output '$out' '$photo'" \
    -n "convert -filter box" "$CONVERT '$photo' -filter box -resize 960x960 -quality 80 '$out/im.jpg'" \
    -n "vips shrink" "vips shrink '$photo' '$out/vips.jpg[Q=80]' $factor $factor" \
    -n "vipsthumbnail -s 960" "vipsthumbnail '$photo' -s 960 -o '$out/thumb.jpg[Q=80]'" >/dev/null

  python3 - "$work/$size.json" "$size" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
base = results[0]["median"]
print(f"\n{sys.argv[2]} ({int(sys.argv[2].split('x')[0]) * int(sys.argv[2].split('x')[1]) / 1e6:.0f} MP), median of 7 runs")
for r in results:
    print(f"  {r['command']:<24} {r['median'] * 1000:8.1f} ms  {r['median'] / base:5.2f} x djpeg")
PY
  peak_kib=$(/usr/bin/time -f %M build/pixmeld-cli --max-edge 960 --output "$out" "$photo" 2>&1 >/dev/null | tail -1)
  echo "  pixmeld-cli peak memory: $((peak_kib / 1024)) MiB"
done

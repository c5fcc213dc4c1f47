#!/usr/bin/env bash
# Times a bare djpeg decode of the benchmark's 24 MP picture saved as a quality-90 JPEG, the yardstick the
# resampler is held to (it should take well under half of it).
# Usage: bench/decode_compare.sh BUILD_DIR   (an optimised build that has bench/resample_bench)
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/resample_bench" --write_ppm="$work/picture.ppm"
cjpeg -quality 90 -outfile "$work/picture.jpg" "$work/picture.ppm"
djpeg -outfile /dev/null "$work/picture.jpg"  # warm the cache
best=""
for run in 1 2 3 4 5; do
  start=$(date +%s%N)
  djpeg -outfile /dev/null "$work/picture.jpg"
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "djpeg run $run: $ms ms"
  if [[ -z "$best" || $ms -lt $best ]]; then best=$ms; fi
done
echo "djpeg 6000x4000 quality 90: best of 5 = $best ms"

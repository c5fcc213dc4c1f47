#!/usr/bin/env bash
# The Windows build writes the bytes the Linux build writes. Both programs shrink the same photos in one
# folder, and every output file, the set of files written and the report on standard error must be the
# same. The photos: the fuzzing seeds (CMYK, grayscale, arithmetic, progressive, restarts, orientations,
# colour profiles), photos made with cjpeg in 4:2:0, 4:2:2 and 4:4:4, progressive, grayscale and with
# restarts, a CMYK one, ones turned by their EXIF orientation, and damaged ones made from them: cut short
# at several points, and with bytes of their coded data overwritten, which decodes to wild coefficients
# that overflow where the plain and the SIMD inverse DCTs part ways. A set in which no photo would tell a
# plain decoder from a SIMD one fails the test itself.
#
#   same_bytes_as_linux.sh LINUX_CLI WINDOWS_CLI WORK_DIR SEEDS_DIR [RUNNER...]
# RUNNER runs a Windows program (scripts/wine-run PREFIX under Linux).
set -euo pipefail
linux_cli=$1 windows_cli=$2 work=$3 seeds=$4
shift 4
runner=("$@")
convert=/usr/bin/convert  # ImageMagick itself, whatever else PATH holds

rm -rf "$work"
mkdir -p "$work/photos"
cd "$work"

# Sound photos.
cp "$seeds"/*.jpg photos/
MAGICK_THREAD_LIMIT=1 "$convert" -size 96x72 -seed 11 plasma:fractal -resize 800x600\! -attenuate 0.5 +noise Gaussian source.ppm
# name           cjpeg options
variants=(
  "420-q10       -quality 10"
  "420-q75       -quality 75"
  "422-q30       -quality 30 -sample 2x1"
  "444-q20       -quality 20 -sample 1x1"
  "progressive   -quality 25 -progressive"
  "gray          -quality 15 -grayscale"
  "restarts      -quality 40 -restart 3"
  "arithmetic    -quality 30 -arithmetic"
)
for v in "${variants[@]}"; do
  read -r name options <<<"$v"
  # shellcheck disable=SC2086  # the options are words
  cjpeg $options -outfile "photos/$name.jpg" source.ppm 2>/dev/null  # low qualities: a caution
done
"$convert" source.ppm -colorspace CMYK -quality 30 photos/cmyk-q30.jpg
# An EXIF segment before the JFIF one that says how the photo is turned: right, upside down, left.
for orientation in 3 6 8; do
  {
    printf '\xff\xd8\xff\xe1\x00\x22Exif\x00\x00II*\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00'
    printf "\\x00\\x00\\x0$orientation\\x00\\x00\\x00\\x00\\x00\\x00\\x00"
    tail -c +3 photos/420-q10.jpg
  } >"photos/turned-$orientation.jpg"
done

# Damaged photos, from each photo made above: cut short, and coded data overwritten.
RANDOM=19
for photo in photos/[0-9a-z]*-q*.jpg photos/progressive.jpg photos/gray.jpg photos/restarts.jpg \
  photos/arithmetic.jpg photos/turned-6.jpg; do
  name=$(basename "$photo" .jpg)
  size=$(stat -c %s "$photo")
  # The coded data starts after the first scan header.
  data=$(LC_ALL=C grep -obUaP '\xff\xda' "$photo" | head -1 | cut -d: -f1)
  data=$((data + 20))
  for percent in 35 70 99; do
    head -c $((data + (size - data) * percent / 100)) "$photo" >"photos/$name-cut-$percent.jpg"
  done
  for n in 1 2 3 4 5 6; do
    damaged=photos/$name-corrupt-$n.jpg
    cp "$photo" "$damaged"
    for ((k = 0; k < n * 2; k++)); do
      # RANDOM in this shell, never in a subshell, which would seed it anew; never 0xFF, no markers.
      offset=$((data + (RANDOM * 32768 + RANDOM) % (size - data - 2)))
      first=$((RANDOM % 255)) second=$((RANDOM % 255))
      printf "$(printf '\\x%02x\\x%02x' $first $second)" |
        dd of="$damaged" bs=1 seek="$offset" conv=notrunc status=none
    done
  done
done

# The set must hold photos that the plain and the SIMD decoders turn into different pixels, or it could
# not tell a Windows build without SIMD from one with it.
differ=0
for photo in photos/*-corrupt-*.jpg; do
  if ! cmp -s <(djpeg "$photo" 2>/dev/null) <(JSIMD_FORCENONE=1 djpeg "$photo" 2>/dev/null); then
    differ=$((differ + 1))
  fi
done
count=$(find photos -name '*.jpg' | wc -l)
echo "$count photos, $(find photos -name '*-cut-*' -o -name '*-corrupt-*' | wc -l) of them damaged;" \
  "$differ decode to other pixels without SIMD"
if [[ $differ -eq 0 ]]; then
  echo "FAIL: no damaged photo tells the plain inverse DCT from the SIMD one" >&2
  exit 1
fi

# Both programs, twice: at full size, where every decoded pixel reaches the output, and shrunk to a
# dozen pixels, which scales the small seeds too. Paths are relative, so the reports name the same files.
run() {  # run NAME MAX_EDGE PROGRAM... : outputs in NAME/, the report in NAME.txt with the exit status
  local name=$1 max_edge=$2
  shift 2
  mkdir -p "$name"
  local status=0
  "$@" -j 1 -m "$max_edge" -o "$name" photos/*.jpg 2>"$name.err" || status=$?
  { tr -d '\r' <"$name.err"; echo "exit status $status"; } >"$name.txt"
}
failed=0
for max_edge in 65500 12; do
  run "linux-$max_edge" "$max_edge" "$linux_cli"
  run "windows-$max_edge" "$max_edge" "${runner[@]}" "$windows_cli"
  linux=linux-$max_edge windows=windows-$max_edge
  if ! diff -u "$linux.txt" "$windows.txt"; then
    echo "FAIL: the reports differ at -m $max_edge (above: - Linux, + Windows)" >&2
    failed=1
  fi
  if ! diff <(ls "$linux") <(ls "$windows") >/dev/null; then
    echo "FAIL: other files written at -m $max_edge:" >&2
    diff <(ls "$linux") <(ls "$windows") | sed 's/^/  /' >&2 || true
    failed=1
  fi
  for output in "$linux"/*.jpg; do
    name=$(basename "$output")
    if [[ -f "$windows/$name" ]] && ! cmp -s "$output" "$windows/$name"; then
      echo "FAIL: $name at -m $max_edge: other bytes on Windows" >&2
      failed=1
    fi
  done
  echo "-m $max_edge: $(ls "$linux" | wc -l) photos written by each; Linux says: $(tail -2 "$linux.txt" | head -1)"
done
exit $failed

#!/bin/bash
# Render Pixmeld's artwork from the SVG sources in this directory.
#
#   res/art/render.sh [OUTDIR]
#   res/art/render.sh --scale SCALE OUTDIR
#
# OUTDIR defaults to this directory (res/art), i.e. the committed results are
# overwritten in place.  check.sh renders into a scratch directory instead and
# compares, to prove the committed files are current and reproducible.
#
# With --scale, only the pictures of the window are rendered, SCALE times as
# large, for screens denser than 96 DPI (the build makes them at 1.5 and 2):
# logo.bmp, banner.bmp and icon.bmp (the 32 px icon of the About box, on white),
# each of the 96 DPI size times SCALE, rounded.  They are built, not committed.
#
# Needs Debian 12 packages: librsvg2-bin (rsvg-convert), imagemagick (convert),
# icoutils (icotool), fonts-dejavu-core (DejaVu Sans, found through fontconfig).
#
# Results:
#   logo.bmp          110 x 110, 24 bpp BI_RGB, bottom-up, no colour table
#   banner.bmp        758 x 113, same format
#   pixmeld.ico       16, 32 and 48 px images, 32 bpp with alpha
#   pixmeld-16.png    hicolor theme icons, 8-bit RGBA
#   pixmeld-32.png
#   pixmeld-48.png
#   pixmeld-128.png
#   pixmeld.svg       hicolor theme scalable icon (a copy of icon.svg)
#
# Every step is deterministic: no timestamps or other metadata go into the
# files, so rendering twice gives byte-identical results.

set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scale=
if [ "${1:-}" = "--scale" ]; then
    scale=$2
    shift 2
fi
out=${1:-$here}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Fixed locale: keeps rsvg's language matching and ImageMagick's number
# formatting out of the picture.
export LC_ALL=C

tools="rsvg-convert convert fc-match"
[ -n "$scale" ] || tools="$tools icotool"
for tool in $tools; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "render.sh: '$tool' not found;" \
             "apt-get install --no-install-recommends librsvg2-bin imagemagick icoutils fontconfig" >&2
        exit 1
    fi
done

# rsvg-convert picks fonts through fontconfig and silently falls back to
# whatever it finds, which would make the text depend on the machine.
for style in Book Bold; do
    file=$(fc-match -f '%{file}' "DejaVu Sans:style=$style")
    case "$file" in
        */DejaVuSans.ttf | */DejaVuSans-Bold.ttf) ;;
        *)
            echo "render.sh: DejaVu Sans $style not available (fontconfig gives '$file');" \
                 "apt-get install --no-install-recommends fonts-dejavu-core" >&2
            exit 1
            ;;
    esac
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# svg_to_png SVG SIZE_W SIZE_H PNG: render at an exact pixel size.
svg_to_png() {
    rsvg-convert --width "$2" --height "$3" --output "$4" "$here/$1"
}

# Strip everything but pixels from a PNG and store it as 8-bit RGBA.
png_clean() {
    convert "$1" -strip -define png:exclude-chunks=date,time "PNG32:$2"
}

# Flatten onto white and write an uncompressed 24-bit Windows 3 BMP
# (BITMAPINFOHEADER, BI_RGB, positive height = bottom-up, no palette).
png_to_bmp() {
    convert "$1" -background white -alpha remove -alpha off \
        -strip -type TrueColor -compress None "BMP3:$2"
}

if [ -n "$scale" ]; then
    # scaled N: N times SCALE, rounded half up.
    scaled() { awk -v n="$1" -v s="$scale" 'BEGIN { printf "%d", n * s + 0.5 }'; }
    svg_to_png logo.svg "$(scaled 110)" "$(scaled 110)" "$tmp/logo.png"
    png_to_bmp "$tmp/logo.png" "$out/logo.bmp"
    svg_to_png banner.svg "$(scaled 758)" "$(scaled 113)" "$tmp/banner.png"
    png_to_bmp "$tmp/banner.png" "$out/banner.bmp"
    svg_to_png icon.svg "$(scaled 32)" "$(scaled 32)" "$tmp/icon.png"
    png_to_bmp "$tmp/icon.png" "$out/icon.bmp"
    echo "render.sh: wrote logo.bmp banner.bmp icon.bmp at scale $scale to $out"
    exit 0
fi

# Logo and banner.
svg_to_png logo.svg 110 110 "$tmp/logo.png"
png_to_bmp "$tmp/logo.png" "$out/logo.bmp"

svg_to_png banner.svg 758 113 "$tmp/banner.png"
png_to_bmp "$tmp/banner.png" "$out/banner.bmp"

# Icons.  16 px has its own simplified drawing.
svg_to_png icon-16.svg 16 16 "$tmp/icon-16.png"
for size in 32 48 128; do
    svg_to_png icon.svg "$size" "$size" "$tmp/icon-$size.png"
done
for size in 16 32 48 128; do
    png_clean "$tmp/icon-$size.png" "$out/pixmeld-$size.png"
done

cp "$here/icon.svg" "$out/pixmeld.svg"

# Windows icon: three 32 bpp (BGRA + AND mask) images, smallest first.
rm -f "$out/pixmeld.ico"
icotool --create --bit-depth=32 --output="$out/pixmeld.ico" \
    "$out/pixmeld-16.png" "$out/pixmeld-32.png" "$out/pixmeld-48.png"

echo "render.sh: wrote logo.bmp banner.bmp pixmeld.ico pixmeld-{16,32,48,128}.png pixmeld.svg to $out"

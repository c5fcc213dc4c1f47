#!/bin/bash
# Render Pixmeld's artwork from the SVG sources in this directory.
#
#   res/art/render.sh [OUTDIR]
#
# OUTDIR defaults to this directory (res/art), i.e. the committed results are
# overwritten in place.  check.sh renders into a scratch directory instead and
# compares, to prove the committed files are current and reproducible.
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
out=${1:-$here}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Fixed locale: keeps rsvg's language matching and ImageMagick's number
# formatting out of the picture.
export LC_ALL=C

for tool in rsvg-convert convert icotool fc-match; do
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

#!/bin/bash
# Check Pixmeld's rendered artwork.
#
#   res/art/check.sh [--no-render] [DIR]
#
# DIR defaults to this directory.  Checks:
#   - logo.bmp / banner.bmp: exact size, 24 bpp BI_RGB, bottom-up, no colour
#     table, sane file layout, and a few pixels where the picture must have them;
#   - pixmeld.ico: exactly three 32 bpp images 16, 32, 48 with real alpha
#     (transparent corners, opaque centre);
#   - pixmeld-{16,32,48,128}.png: 8-bit RGBA, only IHDR/IDAT/IEND chunks (no
#     timestamps), transparent corners, opaque centre;
#   - pixmeld.svg is icon.svg; logo.svg and banner.svg draw the same arrow;
#   - the directory stays well under 1 MiB;
#   - unless --no-render: render.sh, run into a scratch directory, reproduces
#     every committed file byte for byte (so they are current and reproducible).
#
# Needs python3 (standard library only); the re-render also needs what
# render.sh needs.

set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
render=1
if [ "${1:-}" = "--no-render" ]; then
    render=0
    shift
fi
dir=${1:-$here}

status=0
python3 - "$dir" <<'PY' || status=1
import os
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

d = sys.argv[1]
failures = []


def fail(msg):
    failures.append(msg)


def read(name):
    with open(os.path.join(d, name), "rb") as f:
        return f.read()


# ---------------------------------------------------------------- BMP

def check_bmp(name, want_w, want_h):
    """Return a pixel getter (x, y from the top-left) -> (r, g, b), or None."""
    try:
        data = read(name)
    except OSError as e:
        fail("%s: %s" % (name, e))
        return None
    if len(data) < 54 or data[:2] != b"BM":
        fail("%s: not a BMP file" % name)
        return None
    bf_size, _r1, _r2, off_bits = struct.unpack_from("<IHHI", data, 2)
    (bi_size, w, h, planes, bpp, compression, size_image,
     _xppm, _yppm, clr_used, _clr_important) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    ok = True

    def need(cond, msg):
        nonlocal ok
        if not cond:
            fail("%s: %s" % (name, msg))
            ok = False

    need(bi_size == 40, "header size %d, want 40 (BITMAPINFOHEADER)" % bi_size)
    need(w == want_w, "width %d, want %d" % (w, want_w))
    need(h == want_h, "height %d, want %d (positive = bottom-up)" % (h, want_h))
    need(planes == 1, "planes %d, want 1" % planes)
    need(bpp == 24, "%d bits per pixel, want 24" % bpp)
    need(compression == 0, "compression %d, want 0 (BI_RGB)" % compression)
    need(clr_used == 0, "biClrUsed %d, want 0 (no colour table)" % clr_used)
    need(off_bits == 54, "pixel data at %d, want 54 (no colour table)" % off_bits)
    need(bf_size == len(data), "bfSize %d but file has %d bytes" % (bf_size, len(data)))
    stride = (want_w * 3 + 3) // 4 * 4
    need(len(data) == 54 + stride * want_h,
         "file has %d bytes, want %d for %dx%d" % (len(data), 54 + stride * want_h, want_w, want_h))
    need(size_image in (0, stride * want_h),
         "biSizeImage %d, want %d" % (size_image, stride * want_h))
    if not ok:
        return None

    def px(x, y):
        row = want_h - 1 - y              # bottom-up
        i = 54 + row * stride + x * 3
        b, g, r = data[i:i + 3]
        return r, g, b
    return px


def is_white(p):
    return min(p) >= 245


def is_black(p):
    return max(p) <= 10


def is_blue(p):
    r, g, b = p
    return b >= 150 and b - r >= 60


def is_grey(p):
    return max(p) - min(p) <= 12 and 30 <= p[0] <= 200


def region_has(px, x0, y0, x1, y1, pred):
    return any(pred(px(x, y)) for y in range(y0, y1) for x in range(x0, x1))


px = check_bmp("logo.bmp", 110, 110)
if px:
    for x, y in ((0, 0), (109, 0), (0, 109), (109, 109)):
        if not is_white(px(x, y)):
            fail("logo.bmp: corner (%d,%d) is %s, want white" % (x, y, px(x, y)))
    if not region_has(px, 40, 45, 70, 65, is_blue):
        fail("logo.bmp: no blue lettering in the centre")
    colourful = sum(1 for y in range(110) for x in range(110)
                    if max(px(x, y)) - min(px(x, y)) >= 40)
    if colourful < 1500:
        fail("logo.bmp: only %d coloured pixels, the arrows are missing" % colourful)

px = check_bmp("banner.bmp", 758, 113)
if px:
    for x, y in ((0, 0), (757, 0), (400, 50), (757, 95)):
        if not is_black(px(x, y)):
            fail("banner.bmp: (%d,%d) is %s, want black ground" % (x, y, px(x, y)))
    if not is_white(px(16, 15)):
        fail("banner.bmp: (16,15) is %s, want the white logo tile" % (px(16, 15),))
    if not region_has(px, 30, 30, 80, 75, is_blue):
        fail("banner.bmp: no blue lettering in the logo tile")
    if not region_has(px, 115, 20, 300, 36, is_blue):
        fail("banner.bmp: maker name (blue capitals) missing")
    if not region_has(px, 115, 45, 340, 85, is_white):
        fail("banner.bmp: product name (white) missing")
    for x in (0, 379, 757):
        if not is_blue(px(x, 105)):
            fail("banner.bmp: (%d,105) is %s, want the blue band" % (x, px(x, 105)))
        if not is_grey(px(x, 111)):
            fail("banner.bmp: (%d,111) is %s, want the grey shadow" % (x, px(x, 111)))


# ---------------------------------------------------------------- PNG

def decode_png(name, data):
    """Return (width, height, rgba rows) for an 8-bit RGBA PNG, or None."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("%s: not a PNG" % name)
        return None
    pos, chunks, idat = 8, [], b""
    ihdr = None
    while pos + 8 <= len(data):
        n, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + n]
        crc, = struct.unpack_from(">I", data, pos + 8 + n)
        if zlib.crc32(kind + body) != crc:
            fail("%s: bad CRC in %s chunk" % (name, kind.decode("latin-1")))
            return None
        chunks.append(kind)
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    extra = [c.decode("latin-1") for c in chunks if c not in (b"IHDR", b"IDAT", b"IEND")]
    if extra:
        fail("%s: extra chunks %s (metadata makes renders differ)" % (name, ", ".join(extra)))
    if not ihdr or chunks[-1:] != [b"IEND"]:
        fail("%s: truncated PNG" % name)
        return None
    w, h, depth, ctype, _comp, _filt, interlace = ihdr
    if (depth, ctype, interlace) != (8, 6, 0):
        fail("%s: depth %d colour type %d interlace %d, want 8-bit RGBA (6) non-interlaced"
             % (name, depth, ctype, interlace))
        return None
    raw = zlib.decompress(idat)
    stride = w * 4
    rows, prev = [], bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 255
            elif f != 0:
                fail("%s: bad filter type %d" % (name, f))
                return None
        rows.append(bytes(line))
        prev = line
    return w, h, rows


def check_alpha(name, size, alpha):
    """alpha(x, y) from the top-left: corners clear, centre and edge middles opaque."""
    last = size - 1
    for x, y in ((0, 0), (last, 0), (0, last), (last, last)):
        if alpha(x, y) != 0:
            fail("%s: corner (%d,%d) alpha %d, want 0 (transparent outside the tile)"
                 % (name, x, y, alpha(x, y)))
    for x, y in ((size // 2, size // 2), (size // 2, 0), (0, size // 2)):
        if alpha(x, y) != 255:
            fail("%s: (%d,%d) alpha %d, want 255 (opaque tile)" % (name, x, y, alpha(x, y)))


for size in (16, 32, 48, 128):
    name = "pixmeld-%d.png" % size
    try:
        data = read(name)
    except OSError as e:
        fail("%s: %s" % (name, e))
        continue
    png = decode_png(name, data)
    if not png:
        continue
    w, h, rows = png
    if (w, h) != (size, size):
        fail("%s: %dx%d, want %dx%d" % (name, w, h, size, size))
        continue
    check_alpha(name, size, lambda x, y: rows[y][x * 4 + 3])


# ---------------------------------------------------------------- ICO

def check_ico():
    name = "pixmeld.ico"
    try:
        data = read(name)
    except OSError as e:
        fail("%s: %s" % (name, e))
        return
    if len(data) < 6:
        fail("%s: too short" % name)
        return
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        fail("%s: not an icon file (reserved %d, type %d)" % (name, reserved, kind))
        return
    if count != 3:
        fail("%s: %d images, want 3" % (name, count))
    end = 6 + 16 * count
    for i in range(min(count, 3)):
        want = (16, 32, 48)[i]
        w, h, colours, _res, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        tag = "%s image %d" % (name, i + 1)
        if (w, h) != (want, want):
            fail("%s: %dx%d, want %dx%d" % (tag, w, h, want, want))
            continue
        if bpp != 32 or colours != 0 or planes not in (0, 1):
            fail("%s: directory says %d bpp, %d colours, %d planes; want 32, 0, 1"
                 % (tag, bpp, colours, planes))
        if offset < end or offset + size > len(data):
            fail("%s: data at %d+%d lies outside the file" % (tag, offset, size))
            continue
        end = offset + size
        img = data[offset:offset + size]
        if img[:8] == b"\x89PNG\r\n\x1a\n":
            png = decode_png(tag, img)
            if png:
                pw, ph, rows = png
                if (pw, ph) != (want, want):
                    fail("%s: embedded PNG is %dx%d" % (tag, pw, ph))
                else:
                    check_alpha(tag, want, lambda x, y: rows[y][x * 4 + 3])
            continue
        bi_size, bw, bh, bplanes, bbpp, bcomp = struct.unpack_from("<IiiHHI", img, 0)
        if (bi_size, bw, bh, bplanes, bbpp, bcomp) != (40, want, 2 * want, 1, 32, 0):
            fail("%s: bitmap header %s, want (40, %d, %d, 1, 32, 0)"
                 % (tag, (bi_size, bw, bh, bplanes, bbpp, bcomp), want, 2 * want))
            continue
        mask_stride = (want + 31) // 32 * 4
        if size != 40 + want * want * 4 + mask_stride * want:
            fail("%s: %d bytes, want %d (BGRA + AND mask)"
                 % (tag, size, 40 + want * want * 4 + mask_stride * want))
            continue
        check_alpha(tag, want,
                    lambda x, y: img[40 + ((want - 1 - y) * want + x) * 4 + 3])


check_ico()


# ---------------------------------------------------------------- sources

def arrow_path(name):
    try:
        root = ET.parse(os.path.join(d, name)).getroot()
    except (OSError, ET.ParseError) as e:
        fail("%s: %s" % (name, e))
        return None
    for el in root.iter("{http://www.w3.org/2000/svg}path"):
        if el.get("id") == "arrow":
            return el.get("d")
    fail("%s: no path with id 'arrow'" % name)
    return None


if os.path.exists(os.path.join(d, "logo.svg")):
    a, b = arrow_path("logo.svg"), arrow_path("banner.svg")
    if a and b and a != b:
        fail("banner.svg: its arrow differs from logo.svg's; copy the path across")
    try:
        if read("pixmeld.svg") != read("icon.svg"):
            fail("pixmeld.svg differs from icon.svg; run render.sh")
    except OSError as e:
        fail(str(e))

total = sum(os.path.getsize(os.path.join(d, f)) for f in os.listdir(d)
            if os.path.isfile(os.path.join(d, f)))
if total > 512 * 1024:
    fail("%s holds %d bytes; keep the artwork well under 1 MiB" % (d, total))

for f in failures:
    print("FAIL " + f)
if failures:
    sys.exit(1)
print("ok   formats, sizes and pixels (%d bytes in all)" % total)
PY

if [ "$render" = 1 ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    if ! "$here/render.sh" "$scratch" >/dev/null; then
        echo "FAIL render.sh failed (use --no-render to check the files only)"
        status=1
    else
        stale=0
        for f in logo.bmp banner.bmp pixmeld.ico pixmeld-16.png pixmeld-32.png \
                 pixmeld-48.png pixmeld-128.png pixmeld.svg; do
            if ! cmp -s "$scratch/$f" "$dir/$f"; then
                echo "FAIL $f differs from a fresh render; run res/art/render.sh"
                stale=1
            fi
        done
        if [ "$stale" = 0 ]; then
            echo "ok   fresh render matches byte for byte"
        else
            status=1
        fi
    fi
fi

exit "$status"

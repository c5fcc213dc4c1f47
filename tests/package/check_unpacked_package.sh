#!/usr/bin/env bash
# Uses the package as unpacked into a throw-away root (dpkg -x): pixmeld-cli from there reports its
# version and shrinks a photo, the metainfo, desktop entry and icons pass appstreamcli as an installed
# tree, the compressed manual pages render, and every library the programs link comes from a package
# that Depends names.
#
#   check_unpacked_package.sh ROOT DEB VERSION WORK_DIR
set -euo pipefail
root=$1
deb=$2
version=$3
work=$4
failed=0
fail() { echo "FAIL $*"; failed=1; }
rm -rf "$work"
mkdir -p "$work"

cli=$root/usr/bin/pixmeld-cli
reported=$("$cli" --version) || fail "pixmeld-cli --version failed"
[[ $reported == "pixmeld-cli $version" ]] || fail "pixmeld-cli --version says '$reported'"

# A 16 x 8 photo made here, shrunk to an edge of 8: 8 x 4 pixels.
{ printf 'P6\n16 8\n255\n'; head -c $((16 * 8 * 3)) /dev/zero | tr '\0' '\200'; } >"$work/photo.ppm"
cjpeg -quality 90 -outfile "$work/photo.jpg" "$work/photo.ppm"
status=0
"$cli" --max-edge 8 --output "$work/out" "$work/photo.jpg" || status=$?
[[ $status -eq 0 ]] || fail "pixmeld-cli ended with status $status"
size=$(djpeg -pnm "$work/out/photo.jpg" 2>/dev/null | head -c 20 | sed -n 2p) || true
[[ $size == "8 4" ]] || fail "the shrunk photo is '$size' pixels, expected '8 4'"

appstreamcli validate-tree --no-net "$root" >"$work/validate-tree.txt" 2>&1 ||
  { cat "$work/validate-tree.txt"; fail "appstreamcli validate-tree rejects the installed files"; }
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/pixmeld.desktop")
[[ -x $root/usr/bin/${exec_line%% *} ]] || fail "the desktop entry runs '$exec_line', which the package lacks"

for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >"$work/page.txt") ||
    fail "man cannot show $page"
  [[ -z $warnings ]] || fail "man warns about $page: $warnings"
  grep -q "^NAME" "$work/page.txt" || fail "$page renders without a NAME section"
done

# Each library a program links (DT_NEEDED) belongs to a package named in Depends.
depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/^ +//; s/ +$//' | sed '/^$/d')
for program in "$root"/usr/bin/*; do
  for library in $(readelf -d "$program" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]/\1/p'); do
    # "libc6:amd64: /usr/lib/x86_64-linux-gnu/libc.so.6", or "a:amd64, b:amd64: PATH" for a shared path.
    owners=$(dpkg -S "*/$library" 2>/dev/null | grep -v '^diversion' | sed -E 's/: \/.*$//' | tr ',' '\n' |
      sed -E 's/^ +//; s/:.*$//' | sed '/^$/d' | sort -u) || true
    [[ -n $owners ]] || { fail "no installed package holds $library, which $(basename "$program") links"; continue; }
    grep -qxFf <(echo "$owners") <<<"$depends" ||
      fail "$(basename "$program") links $library from $(echo $owners), which Depends does not name"
  done
done

[[ $failed -eq 0 ]] || exit 1
echo "ok   the unpacked package runs pixmeld-cli $version, passes appstreamcli and declares its libraries"

#!/usr/bin/env bash
# Checks what the Debian package declares and holds, as dpkg-deb reads it: the control fields, the
# dependencies, every file a user needs, and that everything lies under /usr, belongs to root and has the
# modes a package's files should have.
#
#   check_package.sh DEB VERSION
set -euo pipefail
deb=$1
version=$2
failed=0
fail() { echo "FAIL $*"; failed=1; }

field() { dpkg-deb -f "$deb" "$1"; }
expect_field() {
  local actual
  actual=$(field "$1")
  [[ $actual == "$2" ]] || fail "$1 is '$actual', expected '$2'"
}
expect_field Package pixmeld
expect_field Version "$version"
expect_field Architecture "$(dpkg --print-architecture)"
expect_field Maintainer "Meldworks <pixmeld@example.org>"
expect_field Section graphics
# A synopsis line and an extended description under it.
[[ $(field Description | wc -l) -ge 2 ]] || fail "the description has no extended text"
long_lines=$(field Description | awk 'length > 80') || true
[[ -z $long_lines ]] || fail "description lines longer than 80 columns: $long_lines"

# Depends: "a (>= 1), b | c, d" becomes one name a line.
depends=$(field Depends | tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/^ +//; s/ +$//' | sed '/^$/d' | sort -u)
for package in libwxgtk3.2-1 libjpeg62-turbo xdg-utils libstdc++6 libc6 libgcc-s1; do
  grep -qxF "$package" <<<"$depends" || fail "Depends lacks $package: $(field Depends)"
done

# Lines of `dpkg-deb -c`: "MODE OWNER/GROUP SIZE DATE TIME ./PATH".
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/pixmeld usr/bin/pixmeld-cli \
    usr/share/applications/pixmeld.desktop \
    usr/share/icons/hicolor/16x16/apps/pixmeld.png usr/share/icons/hicolor/32x32/apps/pixmeld.png \
    usr/share/icons/hicolor/48x48/apps/pixmeld.png usr/share/icons/hicolor/128x128/apps/pixmeld.png \
    usr/share/icons/hicolor/scalable/apps/pixmeld.svg \
    usr/share/metainfo/org.example.pixmeld.metainfo.xml \
    usr/share/man/man1/pixmeld-cli.1.gz usr/share/man/man1/pixmeld.1.gz \
    usr/share/doc/pixmeld/copyright; do
  grep -qE "^-\S+ \S+ +[0-9]+ \S+ \S+ \./$path\$" <<<"$contents" || fail "the package has no file /$path"
done
while read -r mode owner _ _ _ path _; do
  [[ $owner == root/root ]] || fail "$path belongs to $owner"
  case $path in
    ./ | ./usr/ | ./usr/*) ;;
    *) fail "$path lies outside /usr" ;;
  esac
  case $path in
    ./usr/local/*) fail "$path lies under /usr/local" ;;
  esac
  if [[ $mode == d* ]]; then
    [[ $mode == drwxr-xr-x ]] || fail "folder $path has mode $mode"
  elif [[ $path == ./usr/bin/* ]]; then
    [[ $mode == -rwxr-xr-x ]] || fail "program $path has mode $mode"
  else
    [[ $mode == -rw-r--r-- ]] || fail "file $path has mode $mode"
  fi
done <<<"$contents"

[[ $failed -eq 0 ]] || exit 1
echo "ok   $(basename "$deb"): fields, Depends ($(field Depends)) and $(wc -l <<<"$contents") entries"

#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, the way `make package` does but into a folder
# of its own, and unpacks it into OUT_DIR/root as dpkg would install it, for the tests that follow.
#
#   build_package.sh CPACK_CONFIG OUT_DIR DEB_NAME
set -euo pipefail
config=$1
out=$2
deb_name=$3

rm -rf "$out"
mkdir -p "$out"
cpack --config "$config" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; echo "FAIL cpack"; exit 1; }
[[ -f $out/$deb_name ]] || { ls "$out"; echo "FAIL cpack made no $deb_name"; exit 1; }
rm -rf "$out/_CPack_Packages"  # CPack's staging copy
dpkg -x "$out/$deb_name" "$out/root"
echo "ok   built $deb_name and unpacked it into $out/root"

#!/usr/bin/env bash
# Two photos whose names differ only in letter case, a/Photo.jpg (2000x1500) and b/photo.JPG (40x20), written
# by `pixmeld-cli -o DEST` into a vfat file system, where both names are one file. Checks that the run
# exits with 0 and counts both as written, and that DEST then holds that one file and nothing else (no
# temporary file): the later photo in queue order (b/, though named first) under either name, as on a
# case-sensitive disk when both have the same name. Which name remains is the file system's choice (the
# kernel's vfat keeps the name already there). Run with -j1 as root, then again as user 65534 over that
# result, then with -j2, where the big photo would still be under way when the small one is done if the two
# were not kept in order.
# The image is mounted in a mount namespace of the test's own, which vanishes with it: with the kernel's
# vfat, or FUSE's fusefat (Debian's fusefat) where the kernel has none, as in many containers.
#
#   case_insensitive_folder.sh PIXMELD_CLI WORK_DIR
# Exits with 77 (skipped), saying why, where it cannot mount a vfat image.
set -euo pipefail
cli=$(realpath "$1") work=$(realpath -m "$2")
export PATH=$PATH:/usr/sbin:/sbin
skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

if [[ -z ${PIXMELD_OWN_MOUNTS:-} ]]; then
  [[ $(id -u) == 0 ]] || skip "mounting a file system image needs root"
  command -v mkfs.vfat >/dev/null || skip "mkfs.vfat is missing (Debian's dosfstools)"
  unshare --mount true 2>/dev/null || skip "no mount namespace of its own here (unshare --mount is refused)"
  PIXMELD_OWN_MOUNTS=1 exec unshare --mount --propagation private "$0" "$@"
fi

rm -rf "$work" && mkdir -p "$work/a" "$work/b" "$work/vfat" && cd "$work"
gray() { { printf 'P5\n%d %d\n255\n' "$1" "$2" && head -c $(($1 * $2)) /dev/zero; } | cjpeg; }
gray 2000 1500 >a/Photo.jpg && gray 40 20 >b/photo.JPG
truncate -s 2M vfat.img && mkfs.vfat vfat.img >/dev/null
if mount -o loop,uid=65534,gid=65534 vfat.img vfat 2>mount.log; then
  trap 'umount vfat' EXIT
elif command -v fusefat >/dev/null && fusefat -o rw+,allow_other,uid=65534,gid=65534 vfat.img vfat >/dev/null \
  2>>mount.log; then
  trap 'fusermount -u vfat' EXIT
else
  skip "a vfat image cannot be mounted here, and fusefat is missing or failed too: $(cat mount.log)"
fi
echo "vfat mounted: $(findmnt -n -o SOURCE,FSTYPE vfat)"

# write NAME JOBS [RUNNER...]: the two photos into vfat/out, the later one in queue order named first.
write() {
  local name=$1 jobs=$2 status=0 listing size
  shift 2
  "$@" "$cli" -j"$jobs" -o vfat/out b/photo.JPG a/Photo.jpg 2>log || status=$?
  [[ $status == 0 ]] || fail "$name: pixmeld-cli exited with $status, not 0: $(cat log)"
  grep -q '^2 written, 0 failed, 0 damaged' log || fail "$name: not both photos written: $(cat log)"
  listing=$(ls -A vfat/out)
  [[ ${listing,,} == photo.jpg ]] || fail "$name: the folder holds [$listing], not one photo.jpg in any case"
  size=$(djpeg "vfat/out/$listing" | sed -n 2p)
  [[ $size == "40 20" ]] || fail "$name: vfat/out/$listing is $size, not b/photo.JPG's 40 20 (the later one)"
  echo "passed: $name (the file is named $listing)"
}

write "as root, into a new folder" 1
write "as user 65534, over that file" 1 setpriv --reuid=65534 --regid=65534 --clear-groups
write "two photos at once" 2

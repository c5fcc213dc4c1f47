#!/usr/bin/env bash
# Checks the AppStream metainfo file: appstreamcli accepts it without a warning, even a pedantic one
# (offline), it names the media type that the program opens, and its newest release, the first one listed,
# is this version, so that a release does not go out described as the last.
#
#   check_metainfo.sh METAINFO VERSION
set -euo pipefail
metainfo=$1
version=$2

appstreamcli validate --pedantic --no-net "$metainfo" || { echo "FAIL appstreamcli rejects $metainfo"; exit 1; }
grep -q '<mediatype>image/jpeg</mediatype>' "$metainfo" || { echo "FAIL $metainfo names no image/jpeg"; exit 1; }
newest=$(grep -oE '<release [^>]*version="[^"]+"' "$metainfo" | head -n 1 | sed -E 's/.*version="([^"]+)"/\1/')
[[ $newest == "$version" ]] || { echo "FAIL the newest release in $metainfo is '$newest', not $version"; exit 1; }
echo "ok   $metainfo is valid and its newest release is $version"

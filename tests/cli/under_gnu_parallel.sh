#!/usr/bin/env bash
# The README's batch under GNU parallel, run as it is written there on two job slots of this machine:
#   find photos -iname '*.jpg' -print0 | parallel -0 -X -j2 pixmeld-cli -j1 -o out
# Checks that the photos (names with a space and with non-Latin letters, one in a subfolder) are shared
# between two runs, that each photo is written exactly once, under its own name, as a JPEG that djpeg reads
# without a warning, that no temporary file is left, and that parallel's exit status is the number of runs
# that failed: 0, 1 with one unreadable photo among the sound ones, 2 with two unreadable photos alone.
#
#   under_gnu_parallel.sh PIXMELD_CLI WORK_DIR SEEDS_DIR
# Exits with 77 (skipped) when `parallel` is missing.
set -euo pipefail
cli=$(realpath "$1") work=$2 seeds=$(realpath "$3")
command -v parallel >/dev/null || { echo "skipped: GNU parallel is not installed (Debian's parallel)"; exit 77; }

fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work/home" && cd "$work"
PATH=$(dirname "$cli"):$PATH  # pixmeld-cli by its name, as the README runs it
export HOME=$work/home  # parallel's own files stay here

# batch NAME EXPECTED_STATUS SOUND_PHOTO... [-- UNREADABLE_PHOTO...]: the README's line over these photos.
# A SOUND_PHOTO is PATH=SEED: photos/PATH is a copy of SEEDS_DIR/SEED.
batch() {
  local name=$1 expected=$2 sound=() unreadable=() status=0 photo
  shift 2
  while (($#)) && [[ $1 != -- ]]; do sound+=("$1") && shift; done
  (($#)) && shift && unreadable=("$@")
  rm -rf photos out && mkdir -p photos/2023
  for photo in "${sound[@]}"; do cp "$seeds/${photo#*=}" "photos/${photo%%=*}"; done
  for photo in "${unreadable[@]}"; do echo "not a photo" >"photos/$photo"; done
  find photos -iname '*.jpg' -print0 | parallel --will-cite -0 -X -j2 pixmeld-cli -j1 -o out 2>log || status=$?
  [[ $status == "$expected" ]] || fail "$name: parallel exited with $status, not $expected; its output: $(cat log)"
  [[ $(grep -c ' written, ' log) == 2 ]] || fail "$name: not two runs of pixmeld-cli: $(cat log)"
  local written
  written=$(awk '/ written, / { sum += $1 } END { print sum + 0 }' log)
  [[ $written == "${#sound[@]}" ]] || fail "$name: $written photos written in all, not ${#sound[@]}: $(cat log)"
  local expected_names=() photo
  for photo in "${sound[@]}"; do expected_names+=("$(basename "${photo%%=*}")"); done
  [[ $(ls -A out | sort) == "$(printf '%s\n' "${expected_names[@]}" | sort)" ]] ||
    fail "$name: the destination holds [$(ls -A out | tr '\n' ' ')], not one file per sound photo"
  for photo in "${expected_names[@]}"; do
    djpeg "out/$photo" >/dev/null || fail "$name: out/$photo is not a JPEG that djpeg reads cleanly"
  done
  echo "passed: $name"
}

sound=("one.jpg=baseline-420.jpg" "two words.jpg=progressive.jpg" "Überlingen Ελλάδα.JPG=gray.jpg"
       "2023/turned.jpg=exif-orientation-6-little-endian.jpg" "cmyk.Jpg=cmyk.jpg" "zz.jpg=strip-wide.jpg")
batch "sound photos: every one written once, exit status 0" 0 "${sound[@]}"
batch "one unreadable photo: one run failed, exit status 1" 1 "${sound[@]}" -- "broken.jpg"
batch "an unreadable photo in each run: exit status 2" 2 -- "a-broken.jpg" "b-broken.jpg"

#!/usr/bin/env bash
# Times the window's batch side by side with `pixmeld-cli -j 1` on the same photos, in alternating rounds on
# a virtual display, checks that both write the same bytes, and prints each round, the medians and the
# ratios.
#
#   bench/window_vs_cli.sh [ROUNDS]     (default 11)
#
# The window is the program's own (build/bench/window_batch): the photos are dropped on it, Start is clicked
# with the pointer, and its time runs until it opens the destination folder at the end of the batch. The
# command line's time is its whole run. Both shrink to 960 pixels; with -j 1 the command line works on one
# photo at a time, as the window does, each photo decoding on one core while the other scales and encodes.
#
# The photos are camera-like: a real photograph of Debian's mate-backgrounds package enlarged and cut to
# size, with sensor-like noise of a different seed each, quality 92, 4:2:0. Twenty of 24 megapixels, where
# the photo's own work should be nearly all the window's time, and sixty of 2 megapixels, which take less
# than the timer's interval: there the window's pace of one photo per 100 ms tick is the floor.
set -euo pipefail
export LC_ALL=C  # times with a decimal point, whatever the user's locale
cd "$(dirname "$0")/.."
rounds=${1:-11}

if [[ -z ${PIXMELD_BENCH_DISPLAY:-} ]]; then
  scripts/install-deps --bench
  make --no-print-directory build >/dev/null
  exec env PIXMELD_BENCH_DISPLAY=1 GSETTINGS_BACKEND=memory \
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$rounds"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
garden=/usr/share/backgrounds/mate/nature/Garden.jpg

# make_photos NAME COUNT WIDTHxHEIGHT: COUNT photos in $work/NAME, two at a time.
make_photos() {
  mkdir "$work/$1"
  seq -w 1 "$2" | xargs -P 2 -I{} convert "$garden" -resize "$3^" -gravity center -extent "$3" -seed {} \
    -attenuate 0.6 +noise Gaussian -quality 92 -sampling-factor 2x2 "$work/$1/photo-{}.jpg"
}

# seconds COMMAND...: runs COMMAND and prints its wall time in seconds.
seconds() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }'
}

# run TOOL PHOTOS: one batch; prints its time.
run() {
  case $1 in
    window) build/bench/window_batch "$work/window-out" "$2"/*.jpg ;;
    cli) seconds build/pixmeld-cli -j 1 -m 960 -o "$work/cli-out" "$2"/*.jpg ;;
  esac
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# bench NAME COUNT: the rounds over the photos of $work/NAME, the window first in every other one, after
# one untimed round (the photos are in the page cache from then on); each run writes into an empty folder.
# Besides the medians, the median of the rounds' own ratios: the two runs of a round are next to each
# other in time, so a load that comes and goes between rounds moves both.
bench() {
  local photos=$work/$1 count=$2 r tool order
  local -A t=()
  local window_times=() cli_times=() ratios=()
  echo
  echo "$count photos of $1, rounds (window, pixmeld-cli, load average):"
  for ((r = 0; r <= rounds; ++r)); do
    rm -rf "$work/window-out" "$work/cli-out"
    mkdir "$work/window-out" "$work/cli-out"
    order=(window cli)
    ((r % 2)) && order=(cli window)
    for tool in "${order[@]}"; do t[$tool]=$(run "$tool" "$photos"); done
    if [[ $(find "$work/window-out" -name '*.jpg' | wc -l) != "$count" ]] ||
      ! diff -r -q "$work/window-out" "$work/cli-out" >/dev/null; then
      echo "window_vs_cli: the window and pixmeld-cli wrote different files for $1" >&2
      exit 1
    fi
    ((r == 0)) && continue
    window_times+=("${t[window]}")
    cli_times+=("${t[cli]}")
    ratios+=("$(awk -v w="${t[window]}" -v c="${t[cli]}" 'BEGIN { print w / c }')")
    printf '  %6.2f s  %6.2f s  %s\n' "${t[window]}" "${t[cli]}" "$(cut -d' ' -f1 /proc/loadavg)"
  done
  awk -v w="$(printf '%s\n' "${window_times[@]}" | median)" -v c="$(printf '%s\n' "${cli_times[@]}" | median)" \
    -v ratio="$(printf '%s\n' "${ratios[@]}" | median)" -v n="$count" -v rounds="$rounds" 'BEGIN {
    printf "median of %d alternating rounds, outputs identical:\n", rounds
    printf "  %-40s %6.2f s\n", "window (Start to the folder opening)", w
    printf "  %-40s %6.2f s\n", "pixmeld-cli -j 1", c
    printf "  %-40s %6.2f x\n", "window / pixmeld-cli, round by round", ratio
    printf "  %-40s %6.2f x\n", "window / pixmeld-cli, of the medians", w / c
    printf "  %-40s %6.2f x of %.1f s\n", "window / its pace (one photo a tick)", w / (n * 0.1), n * 0.1
  }'
}

make_photos 24MP 20 6000x4000
make_photos 2MP 60 1728x1152
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
bench 24MP 20
bench 2MP 60
echo
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# Times the Windows build under Wine against the Linux build on the same photos in one run: ten camera-like
# 24 MP photos (bench/camera_ppm, cjpeg quality 92, 4:2:0), all ten in one run of each program with -j 1,
# the programs taking turns round by round so that a busy machine slows them alike. It prints each one's
# median wall time and CPU time (user + system; under Wine with the Wine server's share), and the ratios:
#   pixmeld-cli          the whole step, shrinking to 960 (two threads: one decodes ahead)
#   decode_only          the same decode alone (JpegReader), nothing else: what Wine itself costs is the
#                        ratio of the two builds here, the floor for pixmeld-cli's ratio
#   Wine start-up        pixmeld-cli.exe --version under the same running Wine server; it is subtracted
#                        from the Windows programs' wall times before the ratios are taken
#
#   bench/windows_vs_linux.sh [ROUNDS]     (default 7)
#
# Builds both (make build, make windows) unless LINUX_BUILD and WINDOWS_BUILD name finished builds.
# ALSO=OTHER.exe adds another pixmeld-cli.exe to the rounds, to compare builds that differ in one change.
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${1:-7}
linux=${LINUX_BUILD:-}
windows=${WINDOWS_BUILD:-}
if [[ -z "$linux" ]]; then
  make --no-print-directory build >/dev/null
  linux=build
fi
if [[ -z "$windows" ]]; then
  make --no-print-directory windows >/dev/null
  windows=build-windows
fi
cmake --build "$linux" --target camera_ppm decode_only >/dev/null
cmake --build "$windows" --target decode_only >/dev/null
linux=$(cd "$linux" && pwd)
windows=$(cd "$windows" && pwd)

work=$(mktemp -d)
export WINEPREFIX=$windows/wine-prefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

echo "Making ten 6000x4000 photos..."
photos=()
for seed in $(seq 1 10); do
  photos+=("$work/camera-$seed.jpg")
  "$linux/bench/camera_ppm" 6000 4000 "$seed" | cjpeg -quality 92 -outfile "${photos[-1]}"
done

# One Wine server for the whole run, started before the first timing, as a user's session keeps one; in
# the foreground (of a background job), so that its CPU time can be read.
scripts/wine-run "$WINEPREFIX" cmd /c exit 0  # makes the prefix the first time
wineserver -w
wineserver -f -p &
server=$!
sleep 1
[[ -r /proc/$server/stat ]] || { echo "the Wine server did not start" >&2; exit 1; }
server_ticks() { awk '{ print $14 + $15 }' "/proc/$server/stat"; }
ticks_per_second=$(getconf CLK_TCK)

names=("pixmeld-cli linux" "pixmeld-cli windows" "decode_only linux" "decode_only windows" "Wine start-up")
commands=(
  "$linux/pixmeld-cli -j 1 -o $work/out-linux ${photos[*]}"
  "wine $windows/pixmeld-cli.exe -j 1 -o $work/out-windows ${photos[*]}"
  "$linux/bench/decode_only ${photos[*]}"
  "wine $windows/bench/decode_only.exe ${photos[*]}"
  "wine $windows/pixmeld-cli.exe --version"
)
if [[ -n "${ALSO:-}" ]]; then
  names+=("$(basename "$ALSO")")
  commands+=("wine $(realpath "$ALSO") -j 1 -o $work/out-also ${photos[*]}")
fi
declare -A wall cpu
# One run: "wall cpu" in seconds; the Wine server's CPU time counts for the program that made it work.
run_once() {
  local before after
  before=$(server_ticks)
  /usr/bin/time -f "%e %U %S" -o "$work/time" sh -c "exec $1" >/dev/null 2>&1 || {
    echo "failed: $1" >&2
    exit 1
  }
  after=$(server_ticks)
  awk -v server=$(((after - before))) -v hz="$ticks_per_second" \
    '{ printf "%.3f %.3f\n", $1, $2 + $3 + server / hz }' "$work/time"
}
for i in "${!commands[@]}"; do run_once "${commands[$i]}" >/dev/null; done  # warm the page cache and Wine
for ((r = 0; r < rounds; r++)); do
  for ((k = 0; k < ${#commands[@]}; k++)); do
    i=$(((k + r) % ${#commands[@]}))
    read -r w c < <(run_once "${commands[$i]}")
    wall[$i]+="$w "
    cpu[$i]+="$c "
  done
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Ten 24 MP photos, median of $rounds alternating rounds:"
declare -a wall_median cpu_median
for i in "${!names[@]}"; do
  wall_median[$i]=$(median <<<"${wall[$i]}")
  cpu_median[$i]=$(median <<<"${cpu[$i]}")
  printf "  %-22s wall %6.3f s   cpu %6.3f s\n" "${names[$i]}" "${wall_median[$i]}" "${cpu_median[$i]}"
done
awk -v cl="${wall_median[0]}" -v cw="${wall_median[1]}" -v dl="${wall_median[2]}" -v dw="${wall_median[3]}" \
  -v s="${wall_median[4]}" -v ccl="${cpu_median[0]}" -v ccw="${cpu_median[1]}" \
  -v cdl="${cpu_median[2]}" -v cdw="${cpu_median[3]}" 'BEGIN {
    printf "Windows / Linux, Wine start-up (%.3f s) subtracted:\n", s
    printf "  pixmeld-cli   wall %.2f x   cpu %.2f x\n", (cw - s) / cl, ccw / ccl
    printf "  decode_only   wall %.2f x   cpu %.2f x   (the Wine floor)\n", (dw - s) / dl, cdw / cdl
    printf "  pixmeld-cli against the floor: wall %.2f x\n", ((cw - s) / cl) / ((dw - s) / dl)
  }'
if [[ -n "${ALSO:-}" ]]; then
  awk -v a="${wall_median[5]}" -v ca="${cpu_median[5]}" -v cl="${wall_median[0]}" -v ccl="${cpu_median[0]}" \
    -v s="${wall_median[4]}" -v name="${names[5]}" \
    'BEGIN { printf "  %-13s wall %.2f x   cpu %.2f x\n", name, (a - s) / cl, ca / ccl }'
fi

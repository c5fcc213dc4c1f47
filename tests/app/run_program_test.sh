#!/usr/bin/env bash
# Runs the installed-to-be program on a virtual display as a user would: its window carries the class that
# the desktop entry names, and Esc ends the program with status 0. Its command line names, as a file
# manager passes them, a photo (gone before the run), another file and two folders: Enter starts the run of
# the one photo, whose error box ("Error", dismissed with Enter) comes once, and the run ends by opening the
# destination folder (in a stand-in for the desktop's opener); the window stays open.
#
#   run_program_test.sh PROGRAM DESKTOP_ENTRY
set -euo pipefail

if [[ ${1:-} != --inside-display ]]; then
  exec env GSETTINGS_BACKEND=memory xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$0" --inside-display "$@"
fi
program=$2
entry=$3

class=$(sed -n 's/^StartupWMClass=//p' "$entry")
[[ -n $class ]] || { echo "FAIL $entry names no StartupWMClass"; exit 1; }

work=$(mktemp -d)
mkdir -p "$work/dir" "$work/x.jpg" "$work/bin"
touch "$work/b.png"
printf '#!/bin/sh\necho "$1" >> "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
PATH="$work/bin:$PATH" "$program" "$work/Zoë 写真.JPG" "$work/b.png" "$work/dir/" "$work/x.jpg" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

# xdotool matches the class as a pattern: anchor it.
window=$(timeout 20 xdotool search --sync --onlyvisible --class "^${class}\$" | head -n 1) || true
[[ -n $window ]] || { echo "FAIL no window of class $class"; exit 1; }
[[ $(xdotool getwindowname "$window") == Pixmeld ]] || { echo "FAIL the window is not titled Pixmeld"; exit 1; }

# Keys go to the window under the pointer.
xdotool mousemove --window "$window" 100 200
xdotool key Return
box=$(timeout 20 xdotool search --sync --onlyvisible --name '^Error$' | head -n 1) || true
kill -0 "$pid" 2>/dev/null || { echo "FAIL Enter at start-up ended the program"; exit 1; }
[[ -n $box ]] || { echo "FAIL no error box for the photo that is gone"; exit 1; }
xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
for _ in $(seq 50); do
  [[ -s $work/opened ]] && break
  sleep 0.1
done
[[ -z $(xdotool search --onlyvisible --name '^Error$') ]] || { echo "FAIL a second error box"; exit 1; }
[[ $(wc -l < "$work/opened") -eq 1 ]] 2>/dev/null || { echo "FAIL the one photo was not run alone"; exit 1; }

xdotool key Escape
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL Esc did not end the program"
  exit 1
fi
status=0
wait "$pid" || status=$?
trap 'rm -rf "$work"' EXIT
[[ $status -eq 0 ]] || { echo "FAIL the program ended with status $status"; exit 1; }
echo "ok   window class $class; the one photo of its command line run, its box shown once; Esc ends the program with status 0"

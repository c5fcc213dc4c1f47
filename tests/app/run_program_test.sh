#!/usr/bin/env bash
# Runs the installed-to-be program on a virtual display as a user would: its window carries the class
# that the desktop entry names, Enter at start-up leaves it open, and Esc ends the program with status 0.
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

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# xdotool matches the class as a pattern: anchor it.
window=$(timeout 20 xdotool search --sync --onlyvisible --class "^${class}\$" | head -n 1) || true
[[ -n $window ]] || { echo "FAIL no window of class $class"; exit 1; }
[[ $(xdotool getwindowname "$window") == Pixmeld ]] || { echo "FAIL the window is not titled Pixmeld"; exit 1; }

# Keys go to the window under the pointer.
xdotool mousemove --window "$window" 100 200
xdotool key Return
sleep 0.5
kill -0 "$pid" 2>/dev/null || { echo "FAIL Enter at start-up ended the program"; exit 1; }

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
trap - EXIT
[[ $status -eq 0 ]] || { echo "FAIL the program ended with status $status"; exit 1; }
echo "ok   window class $class; Enter keeps the window; Esc ends the program with status 0"

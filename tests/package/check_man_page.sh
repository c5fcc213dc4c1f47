#!/usr/bin/env bash
# Checks a manual page: groff renders it without a single warning, its title line names this version,
# and, given the program it documents, its OPTIONS section lists exactly the options that the program's
# --help lists, with the same numbers (ranges and defaults), so that neither drifts from the other.
#
#   check_man_page.sh PAGE VERSION [PROGRAM]
set -euo pipefail
page=$1
version=$2
program=${3:-}
failed=0
fail() { echo "FAIL $page: $*"; failed=1; }

# -ww: every warning; -z: no output, only the diagnostics; -t: tables, as man(1) would run them.
warnings=$(groff -man -ww -z -t "$page" 2>&1) || fail "groff failed"
[[ -z $warnings ]] || fail "groff warns:"$'\n'"$warnings"

# .TH NAME SECTION DATE SOURCE MANUAL, the source being "Pixmeld VERSION".
th=$(grep -m1 '^\.TH ' "$page") || true
[[ $th == *"\"Pixmeld $version\""* ]] || fail "the .TH line does not name Pixmeld $version: $th"

if [[ -n $program ]]; then
  help=$("$program" --help)
  # The options in --help: the lines that start with "  -", such as "  -m, --max-edge N  ... 960)".
  help_lines=$(grep -E '^ +-' <<<"$help") || true
  [[ -n $help_lines ]] || fail "$program --help lists no options"
  # The options in the page: the tag lines of its OPTIONS section (the line after each .TP), with roff's
  # "\-" read as "-" and fonts dropped. A lone "--" (end of options) is not an option of --help.
  options_section=$(awk '/^\.SH /{inside = ($2 == "OPTIONS")} inside' "$page" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g')
  man_tags=$(awk 'tag {print; tag = 0} /^\.TP/{tag = 1}' <<<"$options_section")

  names() { grep -oE '(^|[ ,"])--?[A-Za-z][A-Za-z-]*' | sed -E 's/^[ ,"]//' | sort -u; }
  help_names=$(names <<<"$help_lines")
  man_names=$(names <<<"$man_tags")
  missing=$(comm -23 <(echo "$help_names") <(echo "$man_names"))
  extra=$(comm -13 <(echo "$help_names") <(echo "$man_names"))
  [[ -z $missing ]] || fail "options in --help but not in the page: $(echo $missing)"
  [[ -z $extra ]] || fail "options in the page but not in --help: $(echo $extra)"

  # Every number that --help gives for an option (a range, a default) appears in the page's OPTIONS.
  for number in $(grep -oE '\b[0-9]+\b' <<<"$help_lines" | sort -u); do
    grep -qE "(^|[^0-9])$number([^0-9]|$)" <<<"$options_section" ||
      fail "--help says $number, the page's OPTIONS do not"
  done
fi

[[ $failed -eq 0 ]] || exit 1
echo "ok   $page renders cleanly${program:+ and lists the options of $(basename "$program") --help}"

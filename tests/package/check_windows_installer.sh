#!/usr/bin/env bash
# The MSI package as a user of a fresh Windows meets it, under Wine in a prefix of its own: installed
# silently, it puts both programs into Program Files\Pixmeld, a shortcut into the Start menu and one into
# the user's Send To folder, registers for the whole machine with an entry in Apps & features, and its
# pixmeld-cli.exe shrinks a photo; a later version installed over it leaves one installation, of the later
# version, and the earlier one cannot go back over it; removing it leaves nothing behind.
#
#   check_windows_installer.sh WINE_RUN PREFIX MSI VERSION LATER_MSI LATER_VERSION PHOTO
set -euo pipefail
wine_run=$1 prefix=$2 msi=$3 version=$4 later_msi=$5 later_version=$6 photo=$7
failed=0
fail() { echo "FAIL $*"; failed=1; }

export WINEPREFIX=$prefix WINEDEBUG=-all
unset DISPLAY  # nothing here shows a window
wineserver -k 2>/dev/null || true
rm -rf "$prefix" "$prefix.lock"
trap 'wineserver -k 2>/dev/null || true' EXIT

win() { "$wine_run" "$prefix" "$@" | tr -d '\r'; }
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }  # a path of this system as Windows sees it
unix_path() {                                         # C:\a\b\ as a path of this system
  local p=${1//\\//}
  p=${p%/}
  echo "$prefix/drive_c/${p#[Cc]:/}"
}

# Wine's first start makes the prefix; what drive C holds before any install, to compare at the end.
appdata=$(win cmd /c echo %APPDATA%)
sendto=$(unix_path "$appdata")/Microsoft/Windows/SendTo
# Windows fills Send To with shortcuts of its own (Wine leaves it empty): removing Pixmeld's must leave
# them, and the folder, in place.
mkdir -p "$sendto"
: >"$sendto/Desktop (create shortcut).DeskLink"
snapshot() { (cd "$prefix/drive_c" && find . -path ./windows -prune -o -path './users/*/Temp' -prune -o -print | sort); }
before=$(snapshot)

log=$prefix/drive_c/msiexec.log
# msiexec ACTION PACKAGE: silently, with a full log; stops the test when it fails.
msiexec() {
  if ! "$wine_run" "$prefix" msiexec "$1" "$(windows_path "$2")" /qn /l*v 'C:\msiexec.log'; then
    echo "FAIL msiexec $1 $(basename "$2") failed; the end of its log:"
    tail -n 30 "$log" | tr -d '\r'
    exit 1
  fi
}
property() { tr -d '\r' <"$log" | sed -n "s/^Property(S): $1 = //p" | tail -n 1; }

# One line "key|DisplayVersion|Publisher|URLInfoAbout" per Apps & features entry named Pixmeld.
entries() {
  win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | awk -F '    ' '
    function flush() { if (v["DisplayName"] == "Pixmeld")
                         print key "|" v["DisplayVersion"] "|" v["Publisher"] "|" v["URLInfoAbout"] }
    /^HKEY_/ { flush(); key = $0; split("", v); next }
    NF >= 3 { v[$2] = $4 }
    END { flush() }'
}
# The product icon of each package named Pixmeld that Windows Installer knows for the whole machine.
machine_products() {
  win reg query 'HKLM\Software\Classes\Installer\Products' /s | awk -F '    ' '
    /^HKEY_/ { if (name == "Pixmeld") print icon; name = icon = ""; next }
    $2 == "ProductName" { name = $4 }
    $2 == "ProductIcon" { icon = $4 }
    END { if (name == "Pixmeld") print icon }'
}

# check_installed VERSION: one installation of VERSION, complete.
check_installed() {
  local v=$1 dir menu entry icon
  dir=$(property INSTALLDIR)
  [[ $dir == 'C:\Program Files\Pixmeld\' ]] || fail "$v: installed into '$dir', not C:\\Program Files\\Pixmeld\\"
  dir=$(unix_path "$dir")
  [[ $(ls "$dir" 2>&1 | tr '\n' ' ') == "pixmeld-cli.exe pixmeld.exe " ]] ||
    fail "$v: the program folder holds: $(ls "$dir" 2>&1 | tr '\n' ' ')"
  [[ $(property ALLUSERS) == 1 ]] || fail "$v: not installed for all users (ALLUSERS '$(property ALLUSERS)')"
  menu=$(unix_path "$(property ProgramMenuFolder)")
  for shortcut in "$menu/Pixmeld.lnk" "$sendto/Pixmeld.lnk"; do
    if [[ ! -f $shortcut ]]; then
      fail "$v: no shortcut $shortcut"
    elif ! grep -aqF 'C:\Program Files\Pixmeld\pixmeld.exe' "$shortcut"; then  # the target's local path
      fail "$v: $shortcut does not lead to C:\\Program Files\\Pixmeld\\pixmeld.exe"
    fi
  done
  entry=$(entries)
  [[ $(grep -c . <<<"$entry") == 1 ]] || fail "$v: Apps & features has $(grep -c . <<<"$entry") entries: $entry"
  [[ ${entry#*|} == "$v|Meldworks|https://pixmeld.example.org" ]] ||
    fail "$v: Apps & features shows version|publisher|address '${entry#*|}'"
  icon=$(machine_products)
  if [[ $(grep -c . <<<"$icon") != 1 ]]; then
    fail "$v: $(grep -c . <<<"$icon") packages registered for the whole machine"
  elif [[ $(head -c 4 "$(unix_path "$icon")" 2>/dev/null | od -An -tx1 | tr -d ' ') != 00000100 ]]; then
    fail "$v: the product icon '$icon' is no icon file"
  fi
}

msiexec /i "$msi"
check_installed "$version"

# The installed command-line program shrinks a photo.
win 'C:\Program Files\Pixmeld\pixmeld-cli.exe' -o 'C:\shrunk' "$(windows_path "$photo")" >/dev/null ||
  fail "the installed pixmeld-cli.exe failed on $photo"
output=$prefix/drive_c/shrunk/$(basename "$photo")
[[ $(head -c 3 "$output" 2>/dev/null | od -An -tx1 | tr -d ' ') == ffd8ff ]] ||
  fail "the installed pixmeld-cli.exe wrote no JPEG file $output"
rm -rf "$prefix/drive_c/shrunk"

msiexec /i "$later_msi"
check_installed "$later_version"

# An earlier version refuses to install over a later one, and leaves it as it was.
if "$wine_run" "$prefix" msiexec /i "$(windows_path "$msi")" /qn; then fail "$version installs over $later_version"; fi
wineserver -w  # the installer service has ended, its rollback with it
kept=$(entries)
[[ $(cut -d '|' -f 2 <<<"$kept") == "$later_version" ]] || fail "after $version was refused: '$kept'"

msiexec /x "$later_msi"
rm -f "$log"
after=$(snapshot)
[[ $after == "$before" ]] || fail "removing leaves on drive C: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]')"
[[ -z $(entries) ]] || fail "removing leaves the Apps & features entry: $(entries)"
[[ -z $(machine_products) ]] || fail "removing leaves the package registered"
[[ -z $(find "$prefix/drive_c/windows/Installer" -iname 'pixmeld*' 2>/dev/null) ]] ||
  fail "removing leaves $(find "$prefix/drive_c/windows/Installer" -iname 'pixmeld*')"
for root in HKLM HKCU; do
  ! win reg query "$root\\Software\\Pixmeld" >/dev/null 2>&1 || fail "removing leaves $root\\Software\\Pixmeld"
done

if [[ $failed == 0 ]]; then
  rm -rf "$prefix"  # a failure keeps it for a look
  echo "ok: $version installed, $later_version over it, removed"
fi
exit "$failed"

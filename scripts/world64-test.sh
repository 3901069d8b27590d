#!/usr/bin/env bash
# The example's whole life in the 64-bit world, where the module runs as a 32-bit program: a 64-bit
# Wine prefix (made sure of: syswow64 and Program Files (x86) exist), the example installed silently
# with every item kind, found by Wine's uninstaller --list, removed silently with the command of its
# entry, and nothing of it left. Files go to Program Files (x86) and syswow64, registry items and the
# uninstall entry to the 32-bit view.
# Usage: world64-test.sh KELPACK MODULE PROJECT OUT
#        world64-test.sh --after SOURCE   (run by wine-run.sh after the install, in its prefix)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

fail() { echo "world64-test: $*" >&2; exit 1; }

# What the installation leaves that the uninstallation must take away: "name|path" lines.
traces() {
  local c=$WINEPREFIX/drive_c
  echo "install folder|$c/Program Files (x86)/Hello"
  echo "helper library|$c/windows/syswow64/hellohlp.dll"
  echo "program menu folder|$c/users/$USER/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kelpack Examples"
  echo "desktop shortcut|$c/users/$USER/Desktop/Hello.LNK"
}

if [ "$1" = --after ]; then
  source=$2
  export USER=${USER:-$(id -un)}
  c=$WINEPREFIX/drive_c
  [ -d "$c/windows/syswow64" ] && [ -d "$c/Program Files (x86)" ] || fail "the prefix is not a 64-bit one"
  cmp "$c/Program Files (x86)/Hello/hello.txt" "$source/hello.txt"
  cmp "$c/Program Files (x86)/Hello/docs/guide.txt" "$source/docs/guide.txt"
  [ -f "$c/windows/syswow64/hellohlp.dll" ] || fail "the helper library is not in syswow64"
  [ ! -e "$c/windows/system32/hellohlp.dll" ] || fail "the helper library went to the 64-bit system32"
  grep -q 'Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Hello\]' "$WINEPREFIX/system.reg" ||
    fail "no uninstall entry in the 32-bit view"
  grep -q 'Wow6432Node\\\\Kelpack Examples\\\\Hello\]' "$WINEPREFIX/system.reg" ||
    fail "the machine's registry items are not in the 32-bit view"
  missing=$(traces | while IFS='|' read -r name path; do [ -e "$path" ] || echo "$name"; done)
  [ -z "$missing" ] || fail "not installed: $missing"
  source "$here/wine-env.sh"
  xvfb-run -a -s "$KP_XVFB_ARGS" bash -c '
    set -euo pipefail
    wine uninstaller --list | tr -d "\r" | grep -q "|||Hello (Kelpack example)$" ||
      { echo "world64-test: uninstaller --list does not show the example" >&2; exit 1; }
    quiet=$(wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hello" \
      /v QuietUninstallString /reg:32 | tr -d "\r" | sed -n "s/.*REG_SZ *//p")
    echo "world64-test: $quiet"
    # The command as a caller starts it: a program in quotes, then its switches.
    program=$(sed -n "s/^\"\([^\"]*\)\" .*/\1/p" <<<"$quiet")
    info=$(sed -n "s/.* \/U=\"\(.*\)\"\$/\1/p" <<<"$quiet")
    code=0
    wine "$program" /S "/U=$info" || code=$?
    wineserver -w
    [ $code = 0 ] || { echo "world64-test: the uninstallation exited with $code" >&2; exit 1; }'
  left=$(traces | while IFS='|' read -r name path; do [ ! -e "$path" ] || echo "$name"; done)
  [ -z "$left" ] || fail "left after the uninstallation: $left"
  ! grep -qi "kelpack" "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" "$WINEPREFIX/drive_c/windows/win.ini" ||
    fail "registry or win.ini entries are left: $(grep -il kelpack "$WINEPREFIX"/*.reg "$WINEPREFIX/drive_c/windows/win.ini")"
  echo "world64-test: installed and uninstalled in the 64-bit world, nothing left"
  exit 0
fi

kelpack=$1 module=$2 project=$3 out=$4
rm -rf "$out"
mkdir -p "$out"
"$kelpack" build "$project" -o "$out/HELLO.EXE" --module "$module" --quiet
KP_WINEARCH=win64 KP_AFTER_RUN="$0 --after $(dirname "$project")/app" "$here/wine-run.sh" "$out/HELLO.EXE" /S

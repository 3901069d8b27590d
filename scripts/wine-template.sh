#!/usr/bin/env bash
# Makes the template Wine prefix that every test program copies: initialised once per build tree.
# Usage: wine-template.sh PREFIX
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
kp_skip_without_wine32
template=$1
# The template is remade whenever the scripts that define it change.
stamp=$(cat "$here/wine-template.sh" "$here/wine-env.sh" | sha1sum | cut -d' ' -f1)
[ "$(cat "$template/.kp-ready" 2>/dev/null)" = "$stamp" ] && exit 0

rm -rf "$template"
mkdir -p "$template"
export WINEPREFIX=$template
echo "wine-template: initialising $template"
xvfb-run -a -s "$KP_XVFB_ARGS" bash -c '
  wineboot --init
  # No crash dialog; window frames drawn by Wine itself, since the virtual display has no window manager.
  wine reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /t REG_SZ /d N /f
  # Drive F: is a floppy drive (a folder of the prefix), for the tests of removable install drives.
  mkdir -p "$WINEPREFIX/drive_f" && ln -sfn ../drive_f "$WINEPREFIX/dosdevices/f:"
  wine reg add "HKLM\\Software\\Wine\\Drives" /v f: /t REG_SZ /d floppy /f
  wineserver -w' >/dev/null
# A fresh prefix links the user's Desktop, Documents and the like to $HOME; they become folders of the
# prefix, so that no test (shortcuts on the desktop among them) writes outside it.
for link in "$template"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
done
# Debian keeps Wine's own fonts where Wine does not look for them; without Marlett the caption buttons
# show letters, and without Tahoma dialogs fall back to another face.
cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/"
echo "$stamp" >"$template/.kp-ready"
echo "wine-template: ready"

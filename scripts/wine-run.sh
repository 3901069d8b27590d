#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh prefix copied from the template, in a virtual X display
# (or on the user's display when KP_USE_DISPLAY=1 and DISPLAY is set). Screenshots the program saved as
# BMP under KP_SCREENSHOTS_DIR are turned into PNG. Exits with the program's exit code.
# KP_AFTER_RUN: a command run with WINEPREFIX set once the program succeeded and the Wine server has
# written the prefix back (its registry files), before the prefix goes; its failure fails the run.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

if [ "${KP_WINE_INNER:-}" = 1 ]; then
  # Inside the display: the server quits as soon as the last process is gone, so `wineserver -w` is quick.
  wineserver -p0
  wine "$@"
  rc=$?
  wineserver -w
  exit $rc
fi

kp_skip_without_wine32
program=$1
shift
wine_dir=${KP_WINE_DIR:-$here/../build/win32/wine}
template=$wine_dir/template
"$here/wine-template.sh" "$template" >&2 || exit 1

prefix=$wine_dir/run/$(basename "$program" .exe)-$$
rm -rf "$prefix"
mkdir -p "$wine_dir/run"
cp -a "$template" "$prefix"
export WINEPREFIX=$prefix KP_WINE_INNER=1

screenshots=${KP_SCREENSHOTS_DIR:-$here/../build/screenshots}
mkdir -p "$screenshots"
screenshots=$(cd "$screenshots" && pwd)
export KP_SCREENSHOTS_DIR=$screenshots

if [ "${KP_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  "$0" "$program" "$@"
else
  xvfb-run -a -s "$KP_XVFB_ARGS" "$0" "$program" "$@"
fi
rc=$?

for bmp in "$screenshots"/*.bmp; do
  [ -e "$bmp" ] || continue
  /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
if [ $rc = 0 ] && [ -n "${KP_AFTER_RUN:-}" ]; then
  WINEPREFIX=$prefix $KP_AFTER_RUN || rc=1
fi
[ "${KP_KEEP_PREFIX:-0}" = 1 ] || rm -rf "$prefix"
exit $rc

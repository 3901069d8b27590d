#!/usr/bin/env bash
# The restart test: in a fresh prefix, "PROBE arrange" schedules a file replacement for the next
# restart; the Wine session is then ended and started again, which Wine treats as a system start
# (pending renames and WININIT.INI are processed), and "PROBE check" looks at the result.
# Usage: wine-restart-test.sh PROBE.exe nt|95
# KP_ARRANGE and KP_CHECK replace the two halves' arguments ("arrange", "check"); an end-to-end test
# program takes its halves by test name.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
kp_skip_without_wine32
probe=$1 family=$2

wine_dir=${KP_WINE_DIR:-$here/../build/win32/wine}
"$here/wine-template.sh" "$wine_dir/template" >&2 || exit 1
export WINEPREFIX=$wine_dir/run/restart-$family-$$
rm -rf "$WINEPREFIX"
mkdir -p "$wine_dir/run"
cp -a "$wine_dir/template" "$WINEPREFIX"
# Without Debian's wine64 a prefix asked to be 64-bit quietly is a 32-bit one.
if [ "$WINEARCH" = win64 ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
  echo "wine-restart-test: the prefix is not a 64-bit one (is wine64 installed?)" >&2
  rm -rf "$WINEPREFIX"
  exit 1
fi
export KP_FAMILY=$family KP_PROBE=$probe KP_ARRANGE=${KP_ARRANGE:-arrange} KP_CHECK=${KP_CHECK:-check}

xvfb-run -a -s "$KP_XVFB_ARGS" bash -c '
  set -u
  if [ "$KP_FAMILY" = 95 ]; then
    # Read at process start: every program from now on sees Windows 98.
    wine reg add "HKCU\\Software\\Wine" /v Version /t REG_SZ /d win98 /f >/dev/null
  fi
  wine "$KP_PROBE" $KP_ARRANGE || exit 1
  wineserver -k
  wineserver -w
  wine "$KP_PROBE" $KP_CHECK
  rc=$?
  wineserver -k
  wineserver -w
  exit $rc'
rc=$?
# A Wine program started just as the session was killed can be left waiting for the server that is
# gone, holding our caller's output open: nothing of the prefix may outlive the test.
prefix=$WINEPREFIX
unset WINEPREFIX
for p in /proc/[0-9]*; do
  grep -qz "^WINEPREFIX=$prefix\$" "$p/environ" 2>/dev/null && kill -9 "${p#/proc/}" 2>/dev/null
done
[ "${KP_KEEP_PREFIX:-0}" = 1 ] || rm -rf "$prefix"
exit $rc

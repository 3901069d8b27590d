#!/usr/bin/env bash
# Checks the shipped module: exactly the module size, a 32-bit GUI image for subsystem 4.0, and
# imports only from system DLLs the loader takes from its known DLLs, never from the folder the
# package was started in.
# Usage: check-module.sh MODULE MODULE_SIZE OBJDUMP
set -uo pipefail
module=$1 limit=$2 objdump=$3
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll msvcrt.dll"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

size=$(stat -c %s "$module")
[ "$size" -eq "$limit" ] || fail "size is $size bytes, not $limit"

headers=$("$objdump" -p "$module")
grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit Windows image"
grep -qE '^Subsystem\s+00000002' <<<"$headers" || fail "not a GUI subsystem image"
grep -qE '^MajorSubsystemVersion\s+4$' <<<"$headers" || fail "subsystem version is not 4.0"
grep -qE '^MinorSubsystemVersion\s+0$' <<<"$headers" || fail "subsystem version is not 4.0"

dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || fail "no import table found"
for dll in $dlls; do
  grep -qw -- "$dll" <<<"$allowed" || fail "imports $dll, which is not a known system DLL"
done
echo "imports: $(echo $dlls)"

[ "$failures" -eq 0 ] || exit 1
echo "module image: $size bytes, all checks passed"

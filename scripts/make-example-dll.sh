#!/usr/bin/env bash
# Builds the example package's helper library (examples/hello/misc/hellohlp.dll) from
# examples/hello/helper/. The result is committed; run this again only to change the library.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
helper=$here/examples/hello/helper
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
i686-w64-mingw32-windres "$helper/hellohlp.rc" -O coff -o "$work/hellohlp.res"
# No C runtime: the library needs none, and it stays a few kilobytes.
i686-w64-mingw32-gcc -Os -s -shared -nostdlib -Wl,-e,_DllMain@12 -Wl,--no-insert-timestamp \
  -o "$here/examples/hello/misc/hellohlp.dll" "$helper/hellohlp.c" "$work/hellohlp.res" -lkernel32

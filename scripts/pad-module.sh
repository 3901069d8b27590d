#!/usr/bin/env bash
# Pads the linked module image with zero bytes to exactly the module size; fails when it is larger. The
# linker's PE checksum counts the image's length; the padding adds no words, so the padded file's
# checksum is the linker's with the file's length in place of the image's (signing tools check it).
# Usage: pad-module.sh IMAGE OUTPUT MODULE_SIZE
set -euo pipefail
image=$1 output=$2 limit=$3
size=$(stat -c %s "$image")
printf 'KPinst27.exe: image %d bytes of %d (%d%%, %d bytes free)\n' \
  "$size" "$limit" $((size * 100 / limit)) $((limit - size))
if [ "$size" -gt "$limit" ]; then
  echo "KPinst27.exe: the image is larger than the module size" >&2
  rm -f "$output"
  exit 1
fi
cp "$image" "$output.tmp"
truncate -s "$limit" "$output.tmp"
header=$(od -An -tu4 -j60 -N4 "$output.tmp" | tr -d ' ')
at=$((header + 88))
old=$(od -An -tu4 -j$at -N4 "$output.tmp" | tr -d ' ')
if [ "$old" -ne 0 ]; then
  new=$((old - size + limit))
  printf "$(printf '\\x%02x' $((new & 255)) $((new >> 8 & 255)) $((new >> 16 & 255)) $((new >> 24 & 255)))" |
    dd of="$output.tmp" bs=1 seek=$at conv=notrunc status=none
fi
mv "$output.tmp" "$output"

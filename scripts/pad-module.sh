#!/usr/bin/env bash
# Pads the linked module image with zero bytes to exactly the module size; fails when it is larger.
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
mv "$output.tmp" "$output"

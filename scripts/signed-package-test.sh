#!/usr/bin/env bash
# A package signed as vendors sign theirs: the example built by kelpack with the real module, signed by
# osslsigncode with a throw-away certificate made here. The signature must verify, kelpack verify and
# list must accept the package and name the signature, and the signed package must install silently
# under Wine with its files in place, leaving as the module copy the unsigned module, byte for byte.
# Usage: signed-package-test.sh KELPACK MODULE PROJECT OUT
#        signed-package-test.sh --installed SOURCE MODULE   (run by wine-run.sh after the install)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "$1" = --installed ]; then
  installed="$WINEPREFIX/drive_c/Signed"
  cmp "$installed/docs/guide.txt" "$2/docs/guide.txt"
  cmp "$installed/hello.txt" "$2/hello.txt"
  cmp "$WINEPREFIX/drive_c/windows/KPinst27.exe" "$3"
  echo "signed-package-test: the signed package installed its files"
  exit 0
fi

kelpack=$1 module=$2 project=$3 out=$4
rm -rf "$out"
mkdir -p "$out"
"$kelpack" build "$project" -o "$out/HELLO.EXE" --module "$module" --quiet
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kelpack test signer" \
  -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
osslsigncode sign -certs "$out/cert.pem" -key "$out/key.pem" -n "Hello" \
  -in "$out/HELLO.EXE" -out "$out/SIGNED.EXE" >/dev/null
osslsigncode verify -CAfile "$out/cert.pem" -in "$out/SIGNED.EXE" >"$out/osslsigncode-verify.log" ||
  { cat "$out/osslsigncode-verify.log"; exit 1; }
for command in verify list; do
  "$kelpack" "$command" "$out/SIGNED.EXE" | tee "$out/$command.log" | head -3
  grep -q "followed by an Authenticode signature" "$out/$command.log" ||
    { echo "signed-package-test: kelpack $command does not name the signature"; exit 1; }
done
source=$(dirname "$project")/app
KP_AFTER_RUN="$0 --installed $source $module" "$here/wine-run.sh" "$out/SIGNED.EXE" /S '/D=C:\Signed'

#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with. Safe to run again: when every
# package is present it only checks and returns. Works as root or through sudo. Packages named as
# arguments are installed too (the benchmarks' peer).
# Usage: setup.sh [PACKAGE...]
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  g++-mingw-w64-i686 mingw-w64-tools libz-mingw-w64-dev
  zlib1g-dev libgtest-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  wine wine32:i386 xvfb xauth fonts-wine
  imagemagick locales fonts-nanum
  osslsigncode openssl wine64
  "$@"
)

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
needs_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=1

if [ ${#missing[@]} -gt 0 ] || [ $needs_i386 -eq 1 ]; then
  echo "setup: installing ${missing[*]:-(i386 architecture)}"
  [ $needs_i386 -eq 1 ] && "${sudo[@]}" dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi

# A kernel without IA-32 emulation cannot start Wine's 32-bit loader; the runs under Wine then go to a
# virtual machine (scripts/wine-vm.sh), which these build and start.
if ! wine --version >/dev/null 2>&1; then
  vm_missing=()
  for p in qemu-system-x86 debootstrap; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || vm_missing+=("$p")
  done
  if [ ${#vm_missing[@]} -gt 0 ]; then
    echo "setup: Wine cannot start here; installing ${vm_missing[*]} for its virtual machine"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      "${vm_missing[@]}" </dev/null
  fi
fi

# The Korean runs need a generated ko_KR.UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  echo "setup: generating ko_KR.UTF-8"
  "${sudo[@]}" sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen >/dev/null
fi
echo "setup: all packages present"

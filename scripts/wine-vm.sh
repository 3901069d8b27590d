#!/usr/bin/env bash
# Runs a command of this checkout inside a small Debian virtual machine whose kernel runs 32-bit
# programs, for hosts whose own kernel does not (IA-32 emulation off), where Wine cannot start. The
# machine is emulated by QEMU (no KVM needed); it sees the checkout at the same path, as a copy on its
# own disk, and the files the command leaves in build/screenshots and build/*/Testing come back.
#
# Usage: wine-vm.sh image          make the machine's disk image (once; again when this script changes)
#        wine-vm.sh run COMMAND    run COMMAND (a bash command line) at the checkout's top; its exit code
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
vm=$repo/build/vm
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

# What the machine holds: Wine with its 32-bit part and what the Windows tests run beside it.
packages=(wine wine32:i386 xvfb xauth fonts-wine imagemagick locales fonts-nanum cmake
  binutils-mingw-w64-i686 procps kmod e2fsprogs osslsigncode openssl wine64)

# PID 1 of the machine: mounts, the job, its exit code on the console, power off.
init_script() {
  cat <<'EOF'
#!/bin/bash
mount -t proc proc /proc 2>/dev/null; mount -t sysfs sys /sys 2>/dev/null
mount -t devtmpfs dev /dev 2>/dev/null; mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts; mount -t tmpfs tmpfs /dev/shm; mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run; hostname kpvm
export HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8
modprobe 9pnet_virtio; modprobe 9p; mkdir -p /host /scratch
mount -t 9p -o trans=virtio,version=9p2000.L,msize=1048576 host /host
mkfs.ext4 -q -F /dev/vdb && mount -o noatime /dev/vdb /scratch
bash /host/build/vm/job.sh </dev/null >/host/build/vm/job.out 2>&1
echo $? >/host/build/vm/job.rc
sync; echo o >/proc/sysrq-trigger; sleep 10
EOF
}

stamp() { sha1sum "$here/wine-vm.sh" | cut -d' ' -f1; }

make_image() {
  [ "$(cat "$vm/image.stamp" 2>/dev/null)" = "$(stamp)" ] && return 0
  echo "wine-vm: building the test machine's disk image in $vm (a few minutes, once)"
  local root=$vm/root
  "${sudo[@]}" rm -rf "$root" "$vm/root.img" "$vm/image.stamp"
  mkdir -p "$vm"
  "${sudo[@]}" debootstrap --variant=minbase --include=linux-image-amd64,udev,kmod bookworm "$root" \
    http://deb.debian.org/debian >"$vm/debootstrap.log" 2>&1 ||
    { tail -20 "$vm/debootstrap.log"; exit 1; }
  "${sudo[@]}" chroot "$root" bash -c "
    set -e
    dpkg --add-architecture i386
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends ${packages[*]}
    sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    locale-gen
    apt-get clean" >"$vm/packages.log" 2>&1 || { tail -20 "$vm/packages.log"; exit 1; }
  init_script | "${sudo[@]}" tee "$root/kp-init" >/dev/null
  "${sudo[@]}" chmod 755 "$root/kp-init"
  "${sudo[@]}" cp "$root"/boot/vmlinuz-* "$vm/vmlinuz"
  "${sudo[@]}" cp "$root"/boot/initrd.img-* "$vm/initrd.img"
  "${sudo[@]}" mkfs.ext4 -q -F -d "$root" "$vm/root.img" 6G
  "${sudo[@]}" rm -rf "$root"
  "${sudo[@]}" chown "$(id -u):$(id -g)" "$vm"/*
  stamp >"$vm/image.stamp"
}

run_job() {
  make_image
  # The job: the checkout copied to the same path on the machine's own disk (Wine's prefixes live on
  # it, and programs are mapped from it), the command, then what it made for the host to read.
  cat >"$vm/job.sh" <<EOF
set -o pipefail
mkdir -p /scratch/checkout "$repo"
mount --bind /scratch/checkout "$repo"
cd /host && tar --exclude=./build/vm --exclude=./build/win32/wine -cf - . | tar -C "$repo" -xf -
cd "$repo"
bash -c $(printf '%q' "$*")
rc=\$?
for folder in build/screenshots build/*/Testing; do
  [ -d "\$folder" ] && mkdir -p "/host/\$folder" && cp -r "\$folder/." "/host/\$folder/"
done
exit \$rc
EOF
  rm -f "$vm/job.rc" "$vm/scratch.img"
  : >"$vm/job.out"
  truncate -s 40G "$vm/scratch.img"
  # Software emulation of a plain 64-bit CPU: "max" exposes features whose emulation breaks Wine's
  # return to 32-bit code. The console goes to a log; the job's output is followed as it comes.
  qemu-system-x86_64 -machine q35 -cpu qemu64,+ssse3,+sse4.1,+sse4.2,+popcnt -smp "$(nproc)" \
    -m "${KP_VM_MEMORY:-12G}" -accel tcg,thread=multi -display none -serial "file:$vm/console.log" \
    -no-reboot -kernel "$vm/vmlinuz" -initrd "$vm/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 init=/kp-init quiet panic=1" \
    -drive "file=$vm/root.img,format=raw,if=virtio,cache=unsafe,snapshot=on" \
    -drive "file=$vm/scratch.img,format=raw,if=virtio,cache=unsafe" \
    -virtfs "local,path=$repo,mount_tag=host,security_model=none,id=host" &
  local qemu=$!
  tail -n +1 -f --pid=$qemu "$vm/job.out"
  wait $qemu || true
  rm -f "$vm/scratch.img"
  if [ ! -s "$vm/job.rc" ]; then
    echo "wine-vm: the machine stopped before the job ended; its console:" >&2
    tail -30 "$vm/console.log" >&2
    return 1
  fi
  return "$(cat "$vm/job.rc")"
}

case "${1:-}" in
  image) make_image ;;
  run) shift; run_job "$@" ;;
  *) sed -n '2,9p' "$0" >&2; exit 2 ;;
esac

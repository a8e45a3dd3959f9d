#!/usr/bin/env bash
# Builds the initramfs of the guest that runs the command line on a real
# Linux kernel (tests/kernel/): busybox, the kernel modules of the drives
# and of LIO with their dependencies, a static `bitset`, the static TCMU
# handler that serves the simulated drive, the guest's scripts, and sg_raw
# when sg3-utils is installed.
#
#   kernel-initramfs.sh OUTPUT BITSET HANDLER [PLAN]
#
# Prints the kernel image to boot it with. Uses the newest Debian kernel
# installed under /boot.
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 OUTPUT BITSET HANDLER [PLAN]" >&2; exit 2; }
output=$(realpath -m "$1") bitset=$2 handler=$3 plan=${4:-}
here=$(cd "$(dirname "$0")/.." && pwd)/tests/kernel
kernel=$(ls /boot/vmlinuz-* 2>/dev/null | sort -V | tail -n 1)
[ -n "$kernel" ] || { echo "no kernel image in /boot (linux-image-amd64)" >&2; exit 77; }
version=${kernel#/boot/vmlinuz-}
modules=(sg sr_mod virtio_pci virtio_scsi ata_piix target_core_user tcm_loop)
for module in "${modules[@]}"; do
  modprobe -S "$version" --show-depends "$module" >/dev/null 2>&1 ||
    { echo "no module $module for kernel $version" >&2; exit 77; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
chmod 0755 "$root"
mkdir -p "$root"/{bin,dev,etc,proc,sys,tmp,run,lib/modules}
cp /bin/busybox "$root/bin/busybox"
for applet in $(/bin/busybox --list); do
  [ -e "$root/bin/$applet" ] || ln -s busybox "$root/bin/$applet"
done
cp "$bitset" "$root/bin/bitset"
cp "$handler" "$root/bin/tcmu-handler"
# sg_raw, to send a drive any command by hand, with the libraries it needs.
if [ -x /usr/bin/sg_raw ]; then
  mkdir -p "$root/lib64" "$root/lib/x86_64-linux-gnu"
  cp /usr/bin/sg_raw "$root/bin/sg_raw"
  for library in $(ldd /usr/bin/sg_raw | grep -o '/lib[^ ]*'); do
    cp -L "$library" "$root$library"
  done
fi
for script in drive-nodes drive-control run-plan; do cp "$here/$script" "$root/bin/"; done
cp "$here/init" "$root/init"

# Each module once, after the modules it needs.
for module in "${modules[@]}"; do
  modprobe -S "$version" --show-depends "$module" | awk '$1 == "insmod" { print $2 }'
done | awk '!seen[$0]++' | while read -r file; do
  cp "$file" "$root/lib/modules/"
  echo "${file##*/}" >>"$root/etc/modules"
done

cat >"$root/etc/passwd" <<'USERS'
root:x:0:0:root:/root:/bin/sh
member:x:1000:1000:in group cdrom:/tmp:/bin/sh
outsider:x:1001:1001:not in group cdrom:/tmp:/bin/sh
USERS
cat >"$root/etc/group" <<'GROUPS'
root:x:0:
cdrom:x:24:member
member:x:1000:
outsider:x:1001:
GROUPS
echo 5 >"$root/etc/drive-count"  # QEMU's four CDs and the simulated drive
if [ -n "$plan" ]; then cp "$plan" "$root/etc/plan"; else : >"$root/etc/plan"; fi
(cd "$root" && find . | cpio -o -H newc --quiet) | gzip -1 >"$output"
echo "$kernel"

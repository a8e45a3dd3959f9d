#!/usr/bin/env bash
# Boots Debian's kernel under QEMU (TCG) with the drives of the kernel
# journey: the simulated drive served through LIO's TCMU backstore, three
# virtio-scsi CDs (one with a CD-sized disc, one with a DVD-sized one, which
# QEMU makes a DVD-ROM, one without a disc) and an IDE (ATAPI) CD.
#
#   scripts/kernel-shell.sh                     a root shell in the guest here
#   scripts/kernel-shell.sh --plan PLAN --out DIR
#       runs the plan (tests/kernel/run-plan) and powers off; DIR then holds
#       results, console and trace (QEMU's ATAPI packets and the commands its
#       SCSI CDs refused to parse)
#
# Takes the static builds of the cli preset (build/cli/bitset_static,
# build/cli/tcmu_handler) unless BITSET and TCMU_HANDLER name others.
# Exits 77 when QEMU or the kernel is not installed.
set -euo pipefail
plan= out=
while [ $# -gt 0 ]; do
  case "$1" in
    --plan) plan=$(realpath "$2"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    *) echo "usage: $0 [--plan PLAN --out DIR]" >&2; exit 2 ;;
  esac
done
source=$(cd "$(dirname "$0")/.." && pwd)
bitset=$(realpath -m "${BITSET:-$source/build/cli/bitset_static}")
handler=$(realpath -m "${TCMU_HANDLER:-$source/build/cli/tcmu_handler}")
cd "$source"

for tool in qemu-system-x86_64 cpio modprobe; do
  command -v "$tool" >/dev/null || { echo "kernel guest: $tool is not installed" >&2; exit 77; }
done
[ -x /bin/busybox ] || { echo "kernel guest: busybox-static is not installed" >&2; exit 77; }
for file in "$bitset" "$handler"; do
  [ -x "$file" ] || { echo "kernel guest: $file is not built (cmake --build --preset cli)" >&2; exit 2; }
done

work=${out:-$(mktemp -d)}
mkdir -p "$work"
[ -n "$out" ] || trap 'rm -rf "$work"' EXIT
kernel=$(scripts/kernel-initramfs.sh "$work/initrd.gz" "$bitset" "$handler" "$plan")
truncate -s 1M "$work/disc.iso"
# Larger than a CD holds (737,280,000 bytes): a DVD to QEMU. Sparse, it
# takes no room.
truncate -s 4700000256 "$work/dvd.iso"

# TCG: this machine's /dev/kvm cannot run a guest. A 32-bit process in the
# guest needs pku and smap off under TCG.
qemu=(qemu-system-x86_64 -machine pc,accel=tcg -cpu max,pku=off,smap=off -m 256 -smp 1
  -nodefaults -no-user-config -display none -no-reboot
  -kernel "$kernel" -initrd "$work/initrd.gz"
  -device virtio-scsi-pci,id=scsi
  -drive if=none,id=disc,media=cdrom,format=raw,readonly=on,file="$work/disc.iso"
  -device scsi-cd,bus=scsi.0,scsi-id=0,drive=disc
  -drive if=none,id=empty,media=cdrom -device scsi-cd,bus=scsi.0,scsi-id=1,drive=empty
  -drive if=none,id=dvd,media=cdrom,format=raw,readonly=on,file="$work/dvd.iso"
  -device scsi-cd,bus=scsi.0,scsi-id=2,drive=dvd
  -drive if=none,id=atapi,media=cdrom -device ide-cd,bus=ide.1,drive=atapi)
if [ -z "$plan" ]; then
  exec "${qemu[@]}" -serial mon:stdio -serial null \
    -append "console=ttyS0 quiet panic=-1 bitset.shell"
fi
rm -f "$work/results" "$work/console" "$work/trace"
# The guest powers off after the plan; the time-out ends a guest that hangs.
timeout 170 "${qemu[@]}" -serial "file:$work/console" -serial "file:$work/results" \
  -append "console=ttyS0 quiet panic=-1" \
  -trace ide_atapi_cmd_packet -trace scsi_req_parsed -trace scsi_req_parse_bad -D "$work/trace"

#!/usr/bin/env bash
# Runs the command line against the simulated QSI writer (BX03) with a disc
# in it: no drive and no root needed.
#
#   scripts/try-cli.sh list
#   scripts/try-cli.sh show @writer
#   scripts/try-cli.sh set @writer --plus-r dvd-rom --yes
#   scripts/try-cli.sh --disc dvd+r:blank -v show @writer
#   scripts/try-cli.sh --disc dvd+rw:dvd-rom disc @writer
#
#   --disc DISC       the disc in the writer (default dvd+r:dvd-rom: a DVD+R
#                     written as DVD-ROM; none, cd, dvd-rom, dvd+r:blank,
#                     dvd+rw:dvd+rw... see sim/SimulatedDisc.h)
#   --config "..."    changes the writer (the fields of sim/DriveModel.h)
#   --reset           forgets the writer's settings kept from earlier runs
#
# @writer stands for its node, build/try/dev/sg0 (its sr node is sr0). The
# writer's settings are kept between runs, so a `set` shows in the next
# `show`. Builds bitset and the SG_IO simulation library of the host build
# first. The nodes link to /dev/null, a character device anyone may open:
# the simulation library answers SG_IO for it, in this process only.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
disc="dvd+r:dvd-rom" config="" reset=0
while [ $# -gt 0 ]; do
  case "$1" in
    --disc) disc=${2:?--disc needs a disc such as dvd+r:blank}; shift 2 ;;
    --config) config=";${2:?--config needs drive settings}"; shift 2 ;;
    --reset) reset=1; shift ;;
    -h | --help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) break ;;
  esac
done

build="$root/build/host"
if [ ! -f "$build/build.ninja" ]; then cmake --preset host >/dev/null; fi
cmake --build --preset host --target bitset sgio_preload >/dev/null

try="$root/build/try"
dev="$try/dev" sys="$try/sys"
rm -rf "$dev" "$sys"
mkdir -p "$dev"
[ "$reset" = 0 ] || rm -f "$try/state"
# The kernel's shape: one SCSI device holding both nodes, each linked back.
device="$sys/devices/pci0000:00/host1/1:0:0:0"
for node in sg0 sr0; do
  ln -s /dev/null "$dev/$node"
  kind=$([ "$node" = sg0 ] && echo scsi_generic || echo block)
  mkdir -p "$device/$kind/$node" "$sys/class/$kind"
  ln -s ../../../1:0:0:0 "$device/$kind/$node/device"
  ln -s "../../devices/pci0000:00/host1/1:0:0:0/$kind/$node" "$sys/class/$kind/$node"
done
echo 5 >"$device/type"

arguments=()
for argument in "$@"; do arguments+=("${argument//@writer/$dev/sg0}"); done
writer="vendor=QSI;product=DVDRW SDW-082;revision=BX03;disc=$disc$config"
echo "simulated writer: $writer" >&2
status=0
env LD_PRELOAD="$build/libbitset-sgio-sim.so" ASAN_OPTIONS=verify_asan_link_order=0 \
  BITSET_SIM_DRIVES="$dev/sg0=$writer" BITSET_SIM_STATE="$try/state" \
  BITSET_SIM_LOG="$try/commands.log" BITSET_DEV_DIR="$dev" BITSET_SYS_DIR="$sys" \
  "$build/bitset" "${arguments[@]}" || status=$?
echo "commands the writer received: $try/commands.log" >&2
exit "$status"

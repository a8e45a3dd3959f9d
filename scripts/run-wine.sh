#!/usr/bin/env bash
# Starts the x86_64 Bitset.exe under Wine in a fresh prefix (build/wine/run).
#
#   scripts/run-wine.sh                  a simulated QSI writer (BX03) as D:
#   scripts/run-wine.sh --drive /dev/sr0 the real drive behind /dev/sr0 as D:
#   scripts/run-wine.sh --aspi           the simulated writer on an ASPI bus
#                                        (0:1:0), Windows 98 reported
#   --config "settings=0x01;..."         changes the simulated writer (the
#                                        fields of sim/DriveModel.h)
#
# Without a DISPLAY the window goes to a private Xvfb; a screenshot is saved
# after start-up. help.chm goes beside the exe, so that the Help button opens
# it; as Wine's viewer shows its pages blank, the script names the same pages
# as plain HTML. ./run.sh builds Bitset.exe first; the simulation library of
# the host build is built here.
#
# From the environment (the Wine journeys set them): BITSET_WIN64_DIR, the
# build whose Bitset.exe and help.chm run; BITSET_RUN_DIR, the folder of the
# prefix and logs; BITSET_SGIO_PRELOAD, a simulation library already built.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"

drive=""
aspi=0
config="vendor=QSI;product=DVDRW SDW-082;revision=BX03;vendor-commands=1;settings=0x00"
while [ $# -gt 0 ]; do
  case "$1" in
    --drive) drive=${2:?--drive needs a device such as /dev/sr0}; shift 2 ;;
    --aspi) aspi=1; shift ;;
    --config) config="$config;${2:?--config needs drive settings}"; shift 2 ;;
    -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
if [ -n "$drive" ] && [ "$aspi" = 1 ]; then
  echo "--drive and --aspi exclude each other" >&2
  exit 2
fi

win64_dir="${BITSET_WIN64_DIR:-$root/build/win64}"
exe="$win64_dir/Bitset.exe"
help_file="$win64_dir/help.chm"
aspi_dll="$win64_dir/sim/wnaspi32.dll"
preload="${BITSET_SGIO_PRELOAD:-$root/build/host/libbitset-sgio-sim.so}"
for file in "$exe" "$help_file"; do
  [ -f "$file" ] || { echo "$file is missing: run ./scripts/build.sh win64" >&2; exit 1; }
done
if [ "$aspi" = 1 ] && [ ! -f "$aspi_dll" ]; then
  echo "$aspi_dll is missing: run ./scripts/build.sh win64" >&2
  exit 1
fi
if [ -z "$drive" ] && [ "$aspi" = 0 ] && [ -z "${BITSET_SGIO_PRELOAD:-}" ]; then
  cmake --preset host >/dev/null
  cmake --build --preset host --target sgio_preload >/dev/null
fi

run_dir="${BITSET_RUN_DIR:-$root/build/wine/run}"
prefix="$run_dir/prefix"
log="$run_dir/drive-commands.log"
screenshot="$root/build/screenshots/run.png"
rm -rf "$run_dir"
mkdir -p "$run_dir" "$(dirname "$screenshot")"

prefix_args=()
version="NT family (Wine's default), SCSI pass-through"
if [ -n "$drive" ]; then
  [ -e "$drive" ] || { echo "$drive does not exist" >&2; exit 1; }
  if [ ! -r "$drive" ] || [ ! -w "$drive" ]; then
    echo "warning: $drive needs read and write access for SCSI pass-through" >&2
  fi
  case "$drive" in
    /dev/sr*)
      if [ "$(id -u)" != 0 ]; then
        echo "note: through $drive the kernel passes the drive's vendor commands for root only;" >&2
        echo "      use its /dev/sg* node (see /sys/class/scsi_generic/*/device/block) or run as root" >&2
      fi ;;
  esac
  prefix_args+=(--cdrom "d:$drive")
  device="$drive"
elif [ "$aspi" = 1 ]; then
  prefix_args+=(--version win98)
  version="Windows 98, ASPI"
  device="simulated WNASPI32.DLL, adapter 0 target 1 lun 0"
else
  device="$run_dir/sr0"
  : >"$device"
  prefix_args+=(--cdrom "d:$device")
fi
"$root/scripts/wine-prefix.sh" "$prefix" "${prefix_args[@]}"
program_dir="$prefix/drive_c/bitset"
mkdir -p "$program_dir"
cp "$exe" "$help_file" "$program_dir/"
[ "$aspi" = 0 ] || cp "$aspi_dll" "$program_dir/"

export WINEPREFIX="$prefix"
XVFB_PID=""
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb "$run_dir/xvfb.log" || exit 1
  private_display=1
else
  private_display=0
fi

app_env=(BITSET_SIM_LOG="$log")
if [ -z "$drive" ] && [ "$aspi" = 0 ]; then
  app_env+=(LD_PRELOAD="$preload" BITSET_SIM_DRIVES="$device=$config")
elif [ "$aspi" = 1 ]; then
  app_env+=(BITSET_SIM_ASPI="0:1:0=$config" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$BITSET_NATIVE_ASPI_OVERRIDE")
fi

cat <<EOF
Bitset.exe under Wine
  program      $program_dir/Bitset.exe (C:\\bitset\\Bitset.exe)
  prefix       $prefix
  drive        $device
  system       $version
  display      $DISPLAY$([ "$private_display" = 1 ] && echo " (private Xvfb)")
  help         C:\\bitset\\help.chm (Help button); Wine shows its pages blank, read them
               in a browser: $root/help/booktype.htm
               (installed by the Debian package: /usr/share/doc/bitset/html/booktype.htm)
EOF
if [ -z "$drive" ]; then
  echo "  drive config $config"
  echo "  commands     $log (every command the simulated drive received)"
fi

cd "$program_dir"
env "${app_env[@]}" "$WINE64" 'C:\bitset\Bitset.exe' >"$run_dir/bitset.out" 2>&1 &
app_pid=$!
if [ "$private_display" = 1 ]; then
  # Let the window come up, then show what it looks like.
  sleep 4
  if import -window root "$screenshot" 2>/dev/null; then
    echo "  screenshot   $screenshot"
  fi
  echo "  look         import -display $DISPLAY -window root shot.png"
fi
echo "Waiting for Bitset.exe to end (Ctrl-C ends it)..."
status=0
wait "$app_pid" || status=$?
echo "Bitset.exe ended with exit code $status; its output: $run_dir/bitset.out"
exit "$status"

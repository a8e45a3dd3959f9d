#!/usr/bin/env bash
# The Wine environment of every run of Bitset.exe on this machine, in one
# place: the Wine programs, the debug channels, the DLL overrides and the
# private X server. wine-prefix.sh and run-wine.sh source this file; the
# Wine journeys (tests/wine/journeys.py) run it, and it prints the settings
# as NAME=VALUE lines.
#
# Each setting may be given from outside (WINEDEBUG=warn+all ./run.sh...).

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
WINEDEBUG=${WINEDEBUG:--all}
# No .NET or Gecko installers, no desktop menu entries.
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
# Added to WINEDLLOVERRIDES when the simulated WNASPI32.DLL beside the
# program must be loaded instead of Wine's builtin one.
BITSET_NATIVE_ASPI_OVERRIDE="wnaspi32=n"
# The private X server: a screen as large as the prefix's virtual desktop.
BITSET_XVFB_ARGS="-screen 0 800x600x24 -nolisten tcp"
export WINE64 WINESERVER WINEDEBUG WINEDLLOVERRIDES

# Starts Xvfb on a free display, its output in LOG, and exports DISPLAY;
# its process id goes to XVFB_PID.
start_xvfb() {
  local log=$1 display_fd display_number
  exec {display_fd}<> <(:)
  # shellcheck disable=SC2086 # the arguments are words
  Xvfb -displayfd "$display_fd" $BITSET_XVFB_ARGS >"$log" 2>&1 &
  XVFB_PID=$!
  read -r -t 10 -u "$display_fd" display_number ||
    { echo "Xvfb did not start: see $log" >&2; return 1; }
  export DISPLAY=":$display_number"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  for name in WINE64 WINESERVER WINEDEBUG WINEDLLOVERRIDES BITSET_NATIVE_ASPI_OVERRIDE \
    BITSET_XVFB_ARGS; do
    echo "$name=${!name}"
  done
fi

#!/usr/bin/env bash
# Installs what is missing, builds Bitset.exe and starts it: under Wine on
# Linux, with a simulated drive unless a real one is asked for.
#
#   ./run.sh                 simulated QSI writer as drive D:
#   ./run.sh --drive /dev/sr0  the real drive behind /dev/sr0 as drive D:
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh win64
exec ./scripts/run-wine.sh "$@"

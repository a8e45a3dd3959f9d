#!/usr/bin/env bash
# Configures and builds the three builds: host (unit tests), win64 and win32.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in "$@"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

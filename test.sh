#!/usr/bin/env bash
# Installs what is missing, builds all targets and the release package, and
# runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh host win64 win32 cli
./scripts/package.sh
./scripts/package-deb.sh
ctest --preset host
# The command line on a real Linux kernel under QEMU (skipped without QEMU).
ctest --preset kernel
# The fuzz targets, briefly: a fixed number of runs each from their corpus.
./scripts/build.sh fuzz
ctest --preset fuzz
# The sizes of both executables (the release build must stay within 256 KiB).
python3 tests/exe/check_exe.py sizes build/win32/Bitset.exe build/win64/Bitset.exe

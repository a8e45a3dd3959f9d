#!/usr/bin/env bash
# Makes the release package for Windows users from the 32-bit release build:
#
#   build/dist/bitset-VERSION-win32.zip         Bitset.exe, help.chm, README.txt
#   build/dist/bitset-VERSION-win32.zip.sha256  its SHA-256, as sha256sum writes it
#
# VERSION is the program's own, as project() in CMakeLists.txt writes it.
# README.txt comes from release/README.txt with Windows line ends. Builds the
# win32 preset first.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/build.sh win32
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
[ -n "$version" ] || { echo "no project version in build/win32/CMakeCache.txt" >&2; exit 1; }

name="bitset-$version-win32"
dist=build/dist
stage="$dist/$name"
rm -rf "$stage" "$dist/$name.zip" "$dist/$name.zip.sha256"
mkdir -p "$stage"
cp build/win32/Bitset.exe build/win32/help.chm "$stage/"
sed 's/\r*$/\r/' release/README.txt >"$stage/README.txt"

# The same commit gives the same zip: its files dated by the commit, in a
# fixed order.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
python3 - "$stage" "$dist/$name.zip" "$stamp" <<'PY'
import os, sys, time, zipfile
stage, out, stamp = sys.argv[1:]
date = time.gmtime(int(stamp))[:6]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
    for name in ("Bitset.exe", "help.chm", "README.txt"):
        info = zipfile.ZipInfo(name, date_time=date)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        with open(os.path.join(stage, name), "rb") as source:
            archive.writestr(info, source.read())
PY
(cd "$dist" && sha256sum "$name.zip" >"$name.zip.sha256")
rm -rf "$stage"
echo "$dist/$name.zip"

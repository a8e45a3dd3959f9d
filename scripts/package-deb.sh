#!/usr/bin/env bash
# Makes the Debian package of the command line from its release build:
#
#   build/dist/bitset_VERSION-1_amd64.deb   bitset, its manual page and bash
#                                           completion, the help pages as HTML
#
# VERSION is the program's own, as project() in CMakeLists.txt writes it;
# cmake/Package.cmake says what goes where. Builds the cli preset first.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh cli
(cd build/cli && cpack -G DEB >/dev/null)
ls build/dist/bitset_*.deb

#!/usr/bin/env bash
# Runs the fuzz targets for as long as one likes.
#
#   scripts/fuzz.sh [-t SECONDS] [-j JOBS] [--merge] [TARGET...]
#
# Builds the fuzz preset, then runs each target (all of them when none is
# named: InquiryRecord, PassThroughSense, AspiStatus, DriveStrings,
# Settings) for SECONDS (default 60) from its checked-in corpus in
# tests/fuzz/corpus/. New inputs collect in build/fuzz/fuzz-found/TARGET;
# an input that breaks a property is saved there as a crash- file. With
# --merge the inputs that reach new code are folded into the checked-in
# corpus afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=60
jobs=1
merge=0
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    -t) seconds="$2"; shift 2 ;;
    -j) jobs="$2"; shift 2 ;;
    --merge) merge=1; shift ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done

./scripts/install-deps.sh
./scripts/build.sh fuzz >/dev/null
if [ ${#targets[@]} -eq 0 ]; then
  for source in tests/fuzz/*Fuzzer.cpp; do
    name=$(basename "$source" Fuzzer.cpp)
    targets+=("$name")
  done
fi

status=0
for name in "${targets[@]}"; do
  found="build/fuzz/fuzz-found/$name"
  mkdir -p "$found"
  echo "== $name: $seconds s"
  parallel=()
  [ "$jobs" -gt 1 ] && parallel=(-jobs="$jobs" -workers="$jobs")
  # Run in the build folder: parallel jobs leave their fuzz-N.log files there.
  if ! (cd build/fuzz && "./fuzz_$name" -max_total_time="$seconds" -max_len=512 "${parallel[@]}" \
      -print_final_stats=1 -artifact_prefix="fuzz-found/$name-" \
      "fuzz-found/$name" "$root/tests/fuzz/corpus/$name" 2>&1) |
      grep -E '^(#|stat::|property broken|==[0-9]+==ERROR|SUMMARY|Test unit written)'; then
    :
  fi
  if ls build/fuzz/fuzz-found/"$name"-crash-* >/dev/null 2>&1; then
    echo "!! $name: inputs that break it are in build/fuzz/fuzz-found/"
    status=1
  fi
  if [ "$merge" -eq 1 ]; then
    "build/fuzz/fuzz_$name" -merge=1 -max_len=512 "tests/fuzz/corpus/$name" "$found" >/dev/null 2>&1
  fi
done
exit $status

#!/bin/sh
# A short capture range of the whole program under valgrind's memcheck: every load step, the
# first frames of the first scene, the offline sound layer and the PNG/WAV writers.
# Usage: valgrind_capture.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
command -v valgrind >/dev/null 2>&1 || { echo "SKIP: valgrind not installed"; exit 77; }
[ -f "$build/morvane.dat" ] && [ -f "$build/morvane-short.xm" ] || { echo "SKIP: no stand-in data"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/morvane.dat" "$work/morvane.dat"
cp "$build/morvane-short.xm" "$work/morvane.xm"
valgrind --tool=memcheck --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite \
  --track-origins=no --quiet \
  "$build/tools/capture/morvane-capture" --quiet --data "$work" --out "$work/out" --native --to 0.1
status=$?
[ $status = 0 ] || { echo "FAIL: exit status $status under memcheck"; exit 1; }
[ -f "$work/out/frame_000005.png" ] || { echo "FAIL: frames missing"; exit 1; }
echo "memcheck clean"

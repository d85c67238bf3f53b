#!/bin/sh
# CPU use of the live player while it plays: the whole show's data in a 640 x 480 window under
# Xvfb (SDL's dummy video driver when Xvfb is missing), sound through SDL's disk audio driver in
# real time. Prints the share of one core used between 5 s and 5 + SECONDS s after the start.
# Usage: bench/player/cpu_use.sh BUILD_DIR [SECONDS] [player options...]
set -eu
build=$(cd "$1" && pwd)
seconds=${2:-20}
[ $# -ge 2 ] && shift 2 || shift $#
work=$(mktemp -d)
xvfb=""
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
if command -v Xvfb >/dev/null 2>&1; then
  export DISPLAY=":$((150 + $$ % 50))"
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  unset SDL_VIDEODRIVER
else
  export SDL_VIDEODRIVER=dummy
fi
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw"
"$build/main/morvane" --window --data "$build" "$@" 2>"$work/player.log" &
player=$!
ticks() { awk '{print $14 + $15}' "/proc/$player/stat"; }
sleep 5
before=$(ticks)
sleep "$seconds"
after=$(ticks)
kill -TERM $player
wait $player || true
hz=$(getconf CLK_TCK)
echo "player CPU use over $seconds s of playing: $(( (after - before) * 100 / (hz * seconds) ))% of one core"

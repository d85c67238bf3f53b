#!/bin/sh
# The live player's sound, as SDL's disk audio driver records it, against the capture tool's
# WAV, sample for sample: the first 20 s of a normal start (no underrun gap, no lost or doubled
# buffer) and 5 s after a --start, which must continue from exactly the frame the offline run
# reached. Usage: sound_path_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
[ -f "$build/morvane.dat" ] && [ -f "$build/morvane.xm" ] || { echo "SKIP: no stand-in data"; exit 77; }
work=$(mktemp -d)
pids=""
trap 'for p in $pids; do kill -9 $p 2>/dev/null; done; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

bytes_per_second=176400  # 44100 Hz, 16-bit stereo
seconds=20
start=12
after_start=5

# Byte offset of the first stereo frame at or after byte $2 that is not silent.
first_sound() {  # file, byte offset
  [ -f "$1" ] || return 1
  line=$(tail -c +$(($2 + 1)) "$1" | od -An -v -tx1 -w4 | grep -n -v -m1 '^ 00 00 00 00$' | cut -d: -f1)
  [ -n "$line" ] && echo $(($2 + (line - 1) * 4))
}
size_of() { stat -c %s "$1" 2>/dev/null || echo 0; }

# Plays live into $1.raw until $2 seconds of sound follow its first sound; the pid in $!.
play_live() {  # name, seconds, player options...
  name=$1 want=$(($2 * bytes_per_second))
  shift 2
  (
    cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/$name.raw" \
      exec "$build/main/morvane" --window --data "$build" "$@" 2>"$work/$name.log"
  ) &
  player=$!
  pids="$pids $player"
  lead=""
  for i in $(seq 1200); do
    kill -0 $player 2>/dev/null || break
    [ -z "$lead" ] && lead=$(first_sound "$work/$name.raw" 0)
    [ -n "$lead" ] && [ "$(size_of "$work/$name.raw")" -ge $((lead + want)) ] && break
    sleep 0.1
  done
  kill -TERM $player 2>/dev/null
  wait $player
  echo $? >"$work/$name.status"
}

# The reference: the capture tool's audio of the first 21 s (small native frames, no video).
"$build/tools/capture/morvane-capture" --data "$build" --out "$work/capture" --native --to 21 --quiet \
  >/dev/null 2>"$work/capture.log" || fail "capture failed: $(cat "$work/capture.log")"
wav="$work/capture/audio.wav"

play_live normal $seconds &
normal=$!
play_live started $after_start --start $start &
started=$!
wait $normal $started

# Quit by signal ends the show as Escape does: exit status 1, no error.
for run in normal started; do
  [ "$(cat "$work/$run.status")" = 1 ] || fail "$run run exit status $(cat "$work/$run.status"): $(cat "$work/$run.log")"
  grep -q "Error" "$work/$run.log" && fail "$run run reported an error: $(cat "$work/$run.log")"
done

compare() {  # name, seconds, reference byte offset
  live_at=$(first_sound "$work/$1.raw" 0) || { fail "$1: no sound recorded"; return; }
  ref_at=$(first_sound "$wav" $3) || { fail "$1: the capture is silent"; return; }
  length=$(($2 * bytes_per_second))
  [ "$(size_of "$work/$1.raw")" -ge $((live_at + length)) ] || { fail "$1: only $(size_of "$work/$1.raw") bytes recorded"; return; }
  difference=$(cmp -n $length -i "$live_at:$ref_at" "$work/$1.raw" "$wav" 2>&1) ||
    fail "$1: live sound differs from the capture: $difference"
}
compare normal $seconds 44
compare started $after_start $((44 + start * bytes_per_second))
grep -q "started live at $start.000 s" "$work/started.log" || fail "no live start at $start s: $(cat "$work/started.log")"

[ $failures = 0 ] && echo "sound path test passed"
exit $failures

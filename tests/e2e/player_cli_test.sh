#!/bin/sh
# The player's command line and start-up refusals, without a window: --help/--version, exit
# status 2 for bad options, the window message and status 1 when no display can be reached,
# and error messages that name the --data path. Usage: player_cli_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
player="$build/main/morvane"
[ -f "$build/morvane.dat" ] || { echo "SKIP: no stand-in data"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect() {  # status, text expected in the output, player arguments...
  want=$1 text=$2
  shift 2
  timeout 60 "$player" "$@" >"$work/out" 2>&1
  got=$?
  [ "$got" = "$want" ] || fail "morvane $*: exit status $got, expected $want: $(cat "$work/out")"
  grep -qF -- "$text" "$work/out" || fail "morvane $*: no '$text' in: $(cat "$work/out")"
}

expect 0 "--scene N" --help
expect 0 "morvane 1." --version
expect 2 "unknown option '--loud'" --loud
expect 2 "from 1 to 7" --scene 9
expect 2 "needs a value" --window --data

# No display at all: refused at once, not played unseen (with and without options).
export SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER
for options in "" "--fullscreen" "--window --start 5"; do
  env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$player" $options --data "$build" >"$work/out" 2>&1
  status=$?
  [ $status = 1 ] || fail "no display ($options): exit status $status"
  grep -q "Could not create window" "$work/out" || fail "no display ($options): no window message: $(cat "$work/out")"
done

# Asked for explicitly, the dummy driver plays; messages name the --data path.
export SDL_VIDEODRIVER=dummy
mkdir "$work/half"
cp "$build/morvane.dat" "$work/half/"
expect 1 "$work/half/morvane.xm: File not found" --window --data "$work/half"
expect 1 "Could not load the file" --window --data "$work/none"
grep -q "from $work/none/morvane.dat" "$work/out" || fail "the data file's path is not named: $(cat "$work/out")"
# Without --data, an empty working directory keeps the usual message.
"$player" --window >"$work/out" 2>&1
grep -q "from morvane.dat" "$work/out" || fail "working-directory message changed: $(cat "$work/out")"
# A start point past the end of the show.
cp "$build/morvane-short.xm" "$work/half/morvane.xm"
expect 2 "ends before the start point" --window --data "$work/half" --start 600

[ $failures = 0 ] && echo "player command line test passed"
exit $failures

#!/bin/sh
# The real player in a real X window (Xvfb): the question answered from the keyboard, the
# doubled frame between black borders, Escape, full screen letterboxing, and the error box for
# a damaged data file; the question answered on the command line, Alt+Enter to full screen and
# back, Space to pause. Usage: window_test.sh BUILD_DIR [openbox] (openbox: under that window
# manager, else under none)
set -u
build=$(cd "$1" && pwd)
manager=${2:-}
if [ -n "$manager" ]; then command -v "$manager" >/dev/null 2>&1 || { echo "SKIP: $manager not installed"; exit 77; }; fi
for tool in Xvfb xdotool xwininfo import convert; do
  command -v $tool >/dev/null 2>&1 || { echo "SKIP: $tool not installed"; exit 77; }
done
[ -f "$build/morvane.dat" ] && [ -f "$build/morvane-short.xm" ] || { echo "SKIP: no stand-in data"; exit 77; }

work=$(mktemp -d)
display_number=$(( 90 + $$ % 100 ))
export DISPLAY=":$display_number"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
player=""
cleanup() {
  [ -n "$player" ] && kill -9 "$player" 2>/dev/null
  [ -n "$wm" ] && kill $wm 2>/dev/null
  kill $xvfb 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for i in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
wm=""
if [ -n "$manager" ]; then
  "$manager" >"$work/wm.log" 2>&1 &
  wm=$!
  sleep 1
fi
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Top-level windows with exactly this title, newest last (SDL's message boxes carry no class,
# which xdotool's search needs; xwininfo lists them anyway).
find_windows() {  # title
  xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}'
}

wait_window() {  # title, seconds, id to ignore -> window id on stdout
  for i in $(seq $(( $2 * 10 ))); do
    id=$(find_windows "$1" | grep -v "^${3:-none}\$" | tail -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Focus the window and type the key through XTEST, as a user would.
press() {  # window id, key
  timeout 5 xdotool windowfocus "$1" >/dev/null 2>&1
  timeout 5 xdotool key "$2"
}

# Mean brightness (0..255) and brightest value of a rectangle of a screenshot.
mean_of() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:int(255*mean)]' info:; }
max_of() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:int(255*maxima)]' info:; }

start_player() {  # data dir, player options...
  dir=$1
  shift
  (cd "$dir" && exec "$build/main/morvane" "$@" >"$dir/stdout.log" 2>"$dir/stderr.log") &
  player=$!
}

finish_player() {  # seconds to wait -> exit status in $status
  for i in $(seq $(( $1 * 10 ))); do
    kill -0 "$player" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$player" 2>/dev/null
  wait "$player"
  status=$?
  player=""
}

title="Quillfen - Morvane(win32)"
mkdir -p "$work/good" "$work/bad"
cp "$build/morvane.dat" "$work/good/morvane.dat"
cp "$build/morvane-short.xm" "$work/good/morvane.xm"

# 1. Windowed: No from the keyboard (Escape picks the box's No button).
start_player "$work/good"
question=$(wait_window "$title" 20) || fail "no full-screen question appeared"
[ -n "$question" ] && press "$question" Escape
window=$(wait_window "$title" 20 "$question") || fail "no player window"
if [ -n "$window" ]; then
  sleep 2
  import -window "$window" "$work/windowed.png"
  size=$(identify -format '%wx%h' "$work/windowed.png")
  [ "$size" = "640x480" ] || fail "window client is $size, not 640x480"
  top=$(max_of "$work/windowed.png" 640x40+0+0)
  bottom=$(max_of "$work/windowed.png" 640x40+0+440)
  middle=$(max_of "$work/windowed.png" 640x400+0+40)
  [ "$top" = 0 ] && [ "$bottom" = 0 ] || fail "borders not black (brightest top $top, bottom $bottom)"
  [ "$middle" -gt 0 ] || fail "no picture between the borders"
  press "$window" Escape
fi
finish_player 10
[ "$status" = 1 ] || fail "windowed run exit status $status, expected 1"
[ -s "$work/good/stderr.log" ] && grep -q "Error!" "$work/good/stderr.log" && fail "error reported: $(cat "$work/good/stderr.log")"

# 2. Full screen: Yes (Return); the 4:3 frame letterboxed on the 1280 x 1024 desktop
#    (1280 x 960 with 32 rows above and below).
start_player "$work/good"
question=$(wait_window "$title" 20) || fail "no full-screen question appeared"
[ -n "$question" ] && press "$question" Return
window=$(wait_window "$title" 20 "$question") || fail "no full-screen window"
sleep 2
import -window root "$work/fullscreen.png"
top=$(max_of "$work/fullscreen.png" 1280x32+0+0)
bottom=$(max_of "$work/fullscreen.png" 1280x32+0+992)
middle=$(max_of "$work/fullscreen.png" 1280x960+0+32)
[ "$top" = 0 ] && [ "$bottom" = 0 ] || fail "full-screen letterbox bars not black ($top, $bottom)"
[ "$middle" -gt 0 ] || fail "no picture in full screen"
[ -n "$window" ] && press "$window" Escape
finish_player 10
[ "$status" = 1 ] || fail "full-screen run exit status $status, expected 1"

# 3. A damaged data file: the error box with the loader's message, exit status 1.
head -c 300 "$build/morvane.dat" >"$work/bad/morvane.dat"
cp "$build/morvane-short.xm" "$work/bad/morvane.xm"
start_player "$work/bad"
question=$(wait_window "$title" 20) && press "$question" Escape
if box=$(wait_window "Quillfen-Morvane(win32): Error!" 20); then
  press "$box" Return
else
  fail "no error box for the damaged data file"
fi
finish_player 10
[ "$status" = 1 ] || fail "damaged-data run exit status $status, expected 1"
grep -q "Could not load the file '.*' from morvane.dat" "$work/bad/stderr.log" || fail "loader message missing: $(cat "$work/bad/stderr.log")"

# 4. --window: no question; Alt+Enter covers the whole screen and comes back; Space holds the
#    picture until pressed again.
geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width/{w=$NF} /Height/{h=$NF} END{print w "x" h "+" x "+" y}'; }
changed_pixels() {  # window, seconds between two shots
  import -window "$1" "$work/a.png"
  sleep "$2"
  import -window "$1" "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
start_player "$work/good" --window
wait_window "$title" 20 >/dev/null || fail "no window with --window"
# SDL may make the window again for its renderer: take the one that stays.
sleep 2
window=$(find_windows "$title" | tail -n 1)
if [ -n "$window" ]; then
  [ "$(find_windows "$title" | wc -l)" = 1 ] || fail "a question box appeared despite --window"
  press "$window" alt+Return
  sleep 1
  [ "$(geometry "$window")" = "1280x1024+0+0" ] || fail "Alt+Enter: window at $(geometry "$window"), not full screen"
  press "$window" alt+Return
  sleep 1
  case $(geometry "$window") in 640x480+*) ;; *) fail "second Alt+Enter: window at $(geometry "$window")" ;; esac
  press "$window" space
  sleep 0.5
  [ "$(changed_pixels "$window" 1)" = 0 ] || fail "the picture moved while paused"
  press "$window" space
  [ "$(changed_pixels "$window" 1)" != 0 ] || fail "the picture stood still after resuming"
  press "$window" Escape
fi
finish_player 10
[ "$status" = 1 ] || fail "--window run exit status $status, expected 1"

[ $failures = 0 ] && echo "window test passed${manager:+ under $manager}"
exit $failures

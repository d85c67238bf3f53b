#!/bin/sh
# What `cmake --install` and `cpack -G DEB` deliver: every program, the stand-in data, desktop
# entry, icon and man pages; the installed player finds its data from an empty directory, and
# --help and a short capture run from the installed (and the unpacked package's) files.
# Usage: install_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
[ -f "$build/morvane.dat" ] && [ -f "$build/morvane.xm" ] || { echo "SKIP: no stand-in data"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
mkdir "$work/empty"
cd "$work/empty"

check_tree() {  # root (holding usr/)
  for file in bin/morvane bin/morvane-capture bin/morvane-compose bin/morvane-dat bin/morvane-pack \
    bin/morvane-standin share/morvane/morvane.dat share/morvane/morvane.xm share/applications/morvane.desktop \
    share/icons/hicolor/scalable/apps/morvane.svg share/man/man6/morvane.6.gz share/man/man1/morvane-capture.1.gz \
    share/man/man1/morvane-compose.1.gz share/man/man1/morvane-dat.1.gz share/man/man1/morvane-pack.1.gz \
    share/man/man1/morvane-standin.1.gz; do
    [ -f "$1/usr/$file" ] || fail "$1: no usr/$file"
  done
  cmp -s "$1/usr/share/morvane/morvane.dat" "$build/morvane.dat" || fail "$1: installed data differs"
  "$1/usr/bin/morvane" --help | grep -q -- "--start" || fail "$1: morvane --help"
  "$1/usr/bin/morvane-capture" --data "$1/usr/share/morvane" --to 1 --quiet --log "$work/log.csv" 2>"$work/capture.log" ||
    fail "$1: capture from the installed data: $(cat "$work/capture.log")"
  [ "$(wc -l <"$work/log.csv")" -ge 60 ] || fail "$1: the capture logged $(wc -l <"$work/log.csv") lines for 1 s"
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 || fail "install: $(cat "$work/install.log")"
check_tree "$work/root"
# Started without --data from a directory without data: plays the installed show, no error,
# until the quit signal (exit status 1 as always).
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout --preserve-status -s TERM 3 "$work/root/usr/bin/morvane" --window 2>"$work/play.log"
status=$?
[ $status = 1 ] || fail "installed player exit status $status: $(cat "$work/play.log")"
grep -q "Error" "$work/play.log" && fail "installed player: $(cat "$work/play.log")"

if command -v cpack >/dev/null 2>&1 && command -v dpkg-deb >/dev/null 2>&1; then
  (cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1 || fail "cpack: $(tail -20 "$work/cpack.log")"
  deb=$(ls "$work"/deb/*.deb 2>/dev/null | head -n 1)
  if [ -n "$deb" ]; then
    dpkg-deb -f "$deb" Depends | grep -q "libsdl2" || fail "package depends on: $(dpkg-deb -f "$deb" Depends)"
    dpkg-deb -f "$deb" Depends | grep -q "libopenmpt" || fail "package depends on: $(dpkg-deb -f "$deb" Depends)"
    dpkg-deb --contents "$deb" | grep "./usr/bin/morvane$" >/dev/null || fail "package holds no usr/bin/morvane"
    dpkg-deb -x "$deb" "$work/unpacked"
    check_tree "$work/unpacked"
    command -v lintian >/dev/null 2>&1 && lintian "$deb"
  else
    fail "cpack made no package"
  fi
fi

[ $failures = 0 ] && echo "install test passed"
exit $failures

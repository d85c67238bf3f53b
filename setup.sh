#!/bin/sh
# Installs the Debian packages the project needs, then configures and builds it (the build also
# generates the stand-in data files into build/). Usage: sh setup.sh [build-dir] [cmake options]
set -e
cd "$(dirname "$0")"
packages="g++ cmake make pkg-config libsdl2-dev libopenmpt-dev libpng-dev libdeflate-dev libxxhash-dev libgtest-dev libgmock-dev \
  libbenchmark-dev unar assimp-utils xvfb xdotool imagemagick x11-apps valgrind openbox"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq $missing
fi
build="${1:-build}"
[ $# -gt 0 ] && shift
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j"$(nproc)"

#!/bin/sh
# Builds the libFuzzer programs with clang (MORVANE_FUZZ=ON), replays every corpus and crasher
# with them, then fuzzes each target for SECONDS. Any crash, leak, timeout or out-of-memory
# fails the run and prints the path of the input that caused it.
# Usage: sh fuzz/run_all.sh SECONDS [build-dir]     (default build-dir: build-fuzz)
set -eu
seconds=${1:?usage: fuzz/run_all.sh SECONDS [build-dir]}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build-fuzz}
launcher=""
command -v ccache > /dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DMORVANE_FUZZ=ON -DMORVANE_BENCH=OFF $launcher > /dev/null
cmake --build "$build" --target morvane_fuzz -j"$(nproc)"
ctest --test-dir "$build" -L fuzz --output-on-failure

# A smaller quarantine than the default 256 MB: freed blocks are still poisoned for a while,
# but memory is reused instead of faulted in afresh, which more than doubles the speed.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"
failed=""
while read -r name binary data dict max_len malloc_mb; do
  work="$build/fuzz/work/$name"        # new inputs go here, never into the repository
  artifacts="$build/fuzz/artifacts/$name"
  log="$build/fuzz/$name.log"
  rm -rf "$artifacts"
  mkdir -p "$work" "$artifacts"
  # stdout closed: the 3DS loader prints the frames of hide tracks.
  set -- -max_total_time="$seconds" -max_len="$max_len" -malloc_limit_mb="$malloc_mb" -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -close_fd_mask=1 -artifact_prefix="$artifacts/"
  [ "$dict" != "-" ] && set -- "$@" -dict="$dict"
  echo "== $name: fuzzing for $seconds s"
  if "$binary" "$@" "$work" "$data/corpus" "$data/crashers" > "$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)|^#[0-9]+ +DONE' "$log" || true
  else
    failed="$failed $name"
    tail -n 60 "$log"
    for f in "$artifacts"/*; do [ -e "$f" ] && echo "reproducer: $f (add it to $data/crashers once fixed)"; done
  fi
done < "$build/fuzz/targets.txt"

if [ -n "$failed" ]; then
  echo "fuzzing failed:$failed"
  exit 1
fi
echo "fuzzing passed"

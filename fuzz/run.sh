#!/bin/sh
# Builds the reply fuzzer when needed and runs it for the given number of seconds (default 45).
# The build and the growing corpus live in build-fuzz/ (CURVALON_FUZZ_BUILD overrides it);
# a crashing input is written there as crash-<hash> and makes the script fail.
set -eu

seconds=${1:-45}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${CURVALON_FUZZ_BUILD:-$root/build-fuzz}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCURVALON_FUZZ=ON \
    -DCURVALON_BUILD_TESTS=OFF -DCURVALON_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j1 --target fuzz_replies >/dev/null

mkdir -p "$build/corpus"
exec "$build/fuzz/fuzz_replies" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/" "$build/corpus" "$here/seeds"

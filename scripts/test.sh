#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole suite headless: once as built
# for use, a short fuzzing run of the reply handling, then the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCURVALON_BUILD_TESTS=ON -DCURVALON_BUILD_BENCH=ON
cmake --build build -j"$jobs"
# A decimal-comma locale of the build's own, so the data export is checked under one; nothing
# of the system's locale set-up is touched.
mkdir -p build/locale
if localedef -i de_DE -f UTF-8 build/locale/de_DE.UTF-8 2>/dev/null; then
    export LOCPATH="$PWD/build/locale"
fi
ctest --test-dir build --output-on-failure -j"$jobs"

# The fuzzer's progress lines go to a log; its summary, or the end of the log on a failure, here.
mkdir -p build-fuzz
if bash fuzz/run.sh 45 > build-fuzz/run.log 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss)' build-fuzz/run.log || true
else
    tail -n 60 build-fuzz/run.log
    exit 1
fi

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCURVALON_SANITIZE=ON -DCURVALON_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure

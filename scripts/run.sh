#!/usr/bin/env bash
# Installs what is missing, builds Curvalon and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCURVALON_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)" --target curvalon
exec ./build/curvalon

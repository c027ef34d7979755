#!/usr/bin/env bash
# Sets up, builds and starts the game in its run directory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
# The game alone: its tests and benchmarks need packages a player does not.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAWNFALL_TESTS=OFF -DPAWNFALL_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target pawnfall
cd build/run
exec ./pawnfall

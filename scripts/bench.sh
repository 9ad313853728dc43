#!/usr/bin/env bash
# Builds optimised and runs the benchmarks of the core and of the drawing.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j 2 --target dipbench dipbench_ui
build/release/bench/dipbench "$@"
QT_QPA_PLATFORM=offscreen build/release/bench/dipbench_ui "$@"

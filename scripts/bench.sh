#!/usr/bin/env bash
# Builds optimised and runs the benchmarks of the core, the tadpole search,
# the drawing and whole-well scans.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j 2 --target dipbench dipbench_detection dipbench_ui dipbench_scan dipbench_batch
build/release/bench/dipbench "$@"
build/release/bench/dipbench_detection "$@"
QT_QPA_PLATFORM=offscreen build/release/bench/dipbench_ui "$@"
QT_QPA_PLATFORM=offscreen build/release/bench/dipbench_scan "$@"
build/release/bench/dipbench_batch "$@"

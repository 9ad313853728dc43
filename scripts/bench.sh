#!/usr/bin/env bash
# Builds optimised and runs the benchmarks of the core, the tadpole search,
# the drawing, whole-well scans, the batch, and the search for a
# calibration (on one core, as a batch of logs runs it).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j 2 --target dipbench dipbench_detection dipbench_ui dipbench_scan dipbench_batch dipbench_calibration
build/release/bench/dipbench "$@"
build/release/bench/dipbench_detection "$@"
QT_QPA_PLATFORM=offscreen build/release/bench/dipbench_ui "$@"
QT_QPA_PLATFORM=offscreen build/release/bench/dipbench_scan "$@"
build/release/bench/dipbench_batch "$@"
QT_QPA_PLATFORM=offscreen taskset -c 0 build/release/bench/dipbench_calibration "$@"

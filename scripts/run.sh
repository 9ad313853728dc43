#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it in the samples
# folder with the sample log open, ready for its dip scale.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DDIP_BUILD_BENCH=OFF
cmake --build build/release -j 2 --target dipdigitizer
cd samples
exec ../build/release/app/dipdigitizer sample_log.bmp

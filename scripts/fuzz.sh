#!/usr/bin/env bash
# Builds the project reader's libFuzzer target with clang and runs it for the
# given number of seconds (default 600), seeded with the golden project files.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --fuzz
cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DDIP_FUZZ=ON -DDIP_SANITIZE=ON \
  -DDIP_BUILD_UI=OFF -DDIP_BUILD_BENCH=OFF
cmake --build build/fuzz --target read_project_fuzzer
corpus=build/fuzz/corpus
mkdir -p "$corpus"
cp tests/golden/*.ddp "$corpus"/
build/fuzz/fuzz/read_project_fuzzer -max_total_time="${1:-600}" -max_len=4096 "$corpus"

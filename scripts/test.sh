#!/usr/bin/env bash
# Installs what is missing, builds everything once with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIP_SANITIZE=ON
cmake --build build/test -j 2
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/test --output-on-failure -j 2 --timeout 600

#!/usr/bin/env bash
# Installs what is missing, builds the program, its tools and its tests once
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, then builds the picture
# tests with ThreadSanitizer and runs them: a picture is read by two threads
# at once. With --tsan only the second part runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
if [[ "${1:-}" != "--tsan" ]]; then
  # The benchmarks are built and run by scripts/bench.sh, optimised; built
  # here with the sanitizers they would only lengthen CI.
  cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIP_SANITIZE=ON -DDIP_BUILD_BENCH=OFF
  cmake --build build/test -j 2
  ctest --test-dir build/test --output-on-failure -j 2 --timeout 600
fi
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIP_TSAN=ON -DDIP_BUILD_BENCH=OFF
cmake --build build/tsan -j 2 --target picture_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build/tsan/tests/picture_tests

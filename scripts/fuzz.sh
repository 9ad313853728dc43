#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 600), as many at once as there are cores:
#   read_project_fuzzer   the project reader, seeded with the golden projects
#   open_picture_fuzzer   a picture opened from its bytes to its reduced copies
#   tiff_strips_fuzzer    a TIFF's strips and tiles read band by band
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]. Findings are written to
# build/fuzz/findings/TARGET/; the corpora grow in build/fuzz/corpus/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(read_project_fuzzer open_picture_fuzzer tiff_strips_fuzzer)

scripts/install-deps.sh --fuzz
cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DDIP_FUZZ=ON -DDIP_SANITIZE=ON \
  -DDIP_BUILD_UI=OFF -DDIP_BUILD_BENCH=OFF
cmake --build build/fuzz -j "$(nproc)" --target "${targets[@]}" write_seeds

seeds=build/fuzz/seeds
mkdir -p "$seeds"
QT_QPA_PLATFORM=offscreen build/fuzz/fuzz/write_seeds "$seeds"
for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus" "build/fuzz/findings/$target"
  case "$target" in
    read_project_fuzzer) cp tests/golden/*.ddp "$corpus"/ ;;
    tiff_strips_fuzzer) cp "$seeds"/*.tif "$corpus"/ ;;
    *) cp "$seeds"/* "$corpus"/ ;;
  esac
done

run() {
  local target=$1
  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "build/fuzz/fuzz/$target" \
    -max_total_time="$seconds" -max_len=65536 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/findings/$target/" "build/fuzz/corpus/$target" \
    >"build/fuzz/$target.log" 2>&1 && echo "$target: no finding in $seconds s" \
    || { echo "$target: FINDING, see build/fuzz/$target.log"; return 1; }
}

status=0
running=0
for target in "${targets[@]}"; do
  run "$target" &
  if ((++running >= $(nproc))); then
    wait -n || status=1
    ((running--))
  fi
done
while ((running > 0)); do
  wait -n || status=1
  ((running--))
done
grep -H "stat::number_of_executed_units\|stat::peak_rss_mb" build/fuzz/*_fuzzer.log || true
exit $status

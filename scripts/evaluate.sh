#!/usr/bin/env bash
# Draws the synthetic logs with their truth, clean and spoiled, and measures
# the tadpole search against them and against the shipped sample (the
# README's figures). Arguments go to evaluate_detection (--misses,
# --traits, --evidence FILE).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j 2 --target make_truth_logs evaluate_detection
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
export QT_QPA_PLATFORM=offscreen
build/release/tools/make_truth_logs "$folder" --sample samples/sample_log.bmp
build/release/tools/evaluate_detection "$@" "$folder"/{clean,fax,jpeg,grid,pairs,small,large,well,colour,skewed}.csv \
  samples/sample_log.csv --spoiled "$folder"/{speckle,faded,microfilm,stained,curve,sample-speckled,empty}.csv

#!/usr/bin/env bash
# Draws the synthetic logs with their truth, clean and spoiled, and measures
# the tadpole search against them and against the shipped sample (the
# README's figures).
#
# First the fixed logs (seed 2026, one setting per kind of spoiling): the
# confidence's weights are fitted on them (evaluate_detection --evidence,
# then tools/fit_confidence), and CI's detection_quality test holds them to
# their standard. Then the held-out logs, drawn anew with seeds 101, 102 and
# 103, every spoiling setting from its range, a fifth of the dots on a line
# of the track: nothing is fitted or tuned on them. Arguments go to
# evaluate_detection (--misses, --traits, --required, --evidence FILE);
# HELD_OUT="..." names other held-out seeds.
#
# Then the search for a calibration (evaluate_calibration) on the same logs,
# each calibrated from its own lines, labels and track alone, and on
# labelled logs in a dozen typefaces, steps, stretches, turns and spoilings
# (make_labelled_logs): seed 1 for tuning, seeds 101 to 103 held out.
# Last, where ../shared/logs holds logs drawn outside the project, its
# score.py scores the batch program on them.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j 2 --target make_truth_logs make_labelled_logs evaluate_detection evaluate_calibration dipdigitizer-batch
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
export QT_QPA_PLATFORM=offscreen
clean=(clean fax jpeg grid pairs small large well colour skewed)
spoiled=(speckle faded microfilm stained curve)
csvs() { local dir=$1; shift; for name in "$@"; do printf '%s/%s.csv\n' "$dir" "$name"; done; }

echo "Fixed logs (seed 2026; the confidence is fitted on these)"
mkdir -p "$folder/fixed"
build/release/tools/make_truth_logs "$folder/fixed" --sample samples/sample_log.bmp
build/release/tools/evaluate_detection "$@" $(csvs "$folder/fixed" "${clean[@]}") samples/sample_log.csv \
  --spoiled $(csvs "$folder/fixed" "${spoiled[@]}" sample-speckled empty)
printf "\nCalibration found on the fixed logs\n"
build/release/tools/evaluate_calibration $(csvs "$folder/fixed" "${clean[@]}" "${spoiled[@]}") || true

for seed in ${HELD_OUT:-101 102 103}; do
  printf '\nHeld-out logs, seed %s\n' "$seed"
  mkdir -p "$folder/$seed"
  build/release/tools/make_truth_logs "$folder/$seed" --seed "$seed" "${clean[@]}" "${spoiled[@]}"
  build/release/tools/evaluate_detection "$@" $(csvs "$folder/$seed" "${clean[@]}") \
    --spoiled $(csvs "$folder/$seed" "${spoiled[@]}")
  printf 'Calibration found, seed %s\n' "$seed"
  build/release/tools/evaluate_calibration $(csvs "$folder/$seed" "${clean[@]}" "${spoiled[@]}") || true
  rm -rf "${folder:?}/$seed"
done

for seed in 1 ${HELD_OUT:-101 102 103}; do
  printf '\nLabelled logs, seed %s%s\n' "$seed" "$([[ $seed == 1 ]] && echo ' (for tuning)' || echo ' (held out)')"
  mkdir -p "$folder/labelled-$seed"
  build/release/tools/make_labelled_logs "$folder/labelled-$seed" --seed "$seed" --count 12
  build/release/tools/evaluate_calibration "$folder/labelled-$seed"/*-lines.csv || true
  rm -rf "${folder:?}/labelled-$seed"
done

if [[ -x ../shared/logs/score.py ]]; then
  printf '\nLogs drawn outside the project (../shared/logs)\n'
  ../shared/logs/score.py build/release/app/dipdigitizer-batch || true
fi

// The confidence of a tadpole found: a logistic function of its evidence.
// The weights are those tools/fit_confidence printed for the evidence that
// evaluate_detection --evidence wrote on the synthetic logs of
// scripts/evaluate.sh, clean and spoiled, all drawn by make_truth_logs with
// its seed 2026, and the speckled sample.
// Whether the tail runs on endlessly is fitted too, and weighs nothing once
// its straightness and the clutter round the dot are known.
#include <algorithm>
#include <cmath>

#include "detection/tadpole_detector.h"

double confidenceOf(const TadpoleEvidence& e)
{
    const double z = -19.712 + 2.308 * e.roundness + 16.403 * e.contrast - 0.044 * std::min(e.tailLength, 1.5)
                     + 10.776 * e.straightness - 26.821 * e.tailWidth + 4.337 * std::min(e.tailInk, 1.5)
                     - 38.603 * e.clutter - 1.919 * (e.doubtful ? 1 : 0) - 3.739 * (e.alongLine ? 1 : 0);
    return e.tailLength > 0 ? 1 / (1 + std::exp(-z)) : 0;
}

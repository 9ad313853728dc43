#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "model/work.h"

// What the work's dip scale and depth rows say of a place on the picture:
// its depth, read piecewise linearly between the depth rows, and its dip,
// read on the scale between the track's ends interpolated the same way. A
// value: made from the work, it does not follow its later changes.
class Calibration {
public:
    explicit Calibration(const Work& work);

    // Nothing ("NO CAL") on or above the first row, below the last, or with
    // fewer than two rows.
    Reading depthAt(double y) const;
    // Nothing as well outside the track or where the scale has no value, or
    // without a dip scale.
    Reading dipAt(double x, double y) const;
    // The place across the track of a dip at row y, the way back of dipAt:
    // nothing outside the calibrated rows, without a scale, or where the
    // scale gives the dip no place (a custom scale between its steps).
    std::optional<double> xOfDip(double dip, double y) const;
    // The row of a depth, the way back of depthAt: on the first stretch
    // between two rows whose depths hold it; nothing where none does.
    std::optional<double> rowOf(double depth) const;

    // Dips can be placed: a dip scale and two depth rows.
    bool complete() const { return scale_.has_value() && rows_.size() >= 2; }
    const std::vector<DepthRow>& rows() const { return rows_; }
    const std::optional<DipScale>& scale() const { return scale_; }

private:
    // The index J of the row below y with rows J - 1 and J around it; 0 when
    // y lies outside.
    std::size_t rowBelow(double y) const;
    // The track's ends (minimum and maximum dip) across row y, between the
    // rows round it; nothing outside them or without a dip scale.
    std::optional<std::pair<double, double>> trackAt(double y) const;

    std::optional<DipScale> scale_;
    std::vector<DepthRow> rows_;
};

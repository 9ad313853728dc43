#include "core/dipdigitize.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Rows J - 1 and J with DEPTHTWIP(J - 1) < y <= DEPTHTWIP(J), J the smallest
// such row; 0 when y is outside DEPTHTWIP(1) < y <= DEPTHTWIP(NUMDEP).
int bracketRow(const ProjectState& s, double y)
{
    const int n = s.NUMDEP;
    if (n < 2 || n > kMaxDepthRows)
        return 0;
    if (!(s.depths[1].DEPTHTWIP < y && y <= s.depths[n].DEPTHTWIP))
        return 0;
    for (int i = 2; i <= n; ++i)
        if (y <= s.depths[i].DEPTHTWIP)
            return i;
    return 0;
}

double interpolate(double y, double y0, double y1, double v0, double v1)
{
    return v0 + (y - y0) * (v1 - v0) / (y1 - y0);
}

Reading finiteOrNoCal(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

double standardScale0(double d)
{
    if (d < 0)
        d = 0;
    if (d <= 29.25)
        d = d * 20 / 29.25;
    if (d > 29.25 && d <= 69.75)
        d = 20 + (d - 29.25) * 40 / 40.5;
    if (d > 69.75)
        d = 60 + (d - 69.75) * 30 / 20.25;
    if (d > 90)
        d = 90;
    return d;
}

double standardScale3(double d)
{
    if (d < 0)
        d = 0;
    if (d <= 40)
        d = d * 20 / 40;
    if (d > 40 && d <= 70)
        d = 20 + (d - 40) * 30 / 30;
    if (d > 70)
        d = 50 + (d - 70) * 40 / 20;
    if (d > 90)
        d = 90;
    return d;
}

double sineScale(const ProjectState& s, double d)
{
    const double span = s.MAXDIP - s.MINDIP;
    if (span == 0)
        return kNaN;
    const double smax = std::sin(s.MAXDIP * kPi / 180);
    const double smin = std::sin(s.MINDIP * kPi / 180);
    const double v = smin + (smax - smin) * (d - s.MINDIP) / span;
    return std::atan(v / std::sqrt(1 - v * v)) * 180 / kPi;
}

bool customScaleUsable(const ProjectState& s)
{
    return s.NCUST >= 0 && s.NCUST <= kMaxCustomSteps
           && s.CustomDipTwip[s.NCUST] != s.CustomDipTwip[0];
}

double customFraction(const ProjectState& s, int k)
{
    return (s.CustomDipTwip[k] - s.CustomDipTwip[0]) / (s.CustomDipTwip[s.NCUST] - s.CustomDipTwip[0]);
}

double customScale(const ProjectState& s, double d)
{
    const double span = s.MAXDIP - s.MINDIP;
    if (span == 0 || !customScaleUsable(s))
        return kNaN;
    if (d < 0)
        d = 0;
    const double u = (d - s.MINDIP) / span;
    for (int i = 0; i < s.NCUST; ++i) {
        const double f1 = customFraction(s, i);
        const double f2 = customFraction(s, i + 1);
        if (f1 <= u && u <= f2) {
            if (f2 == f1)
                return kNaN;
            return s.MINDIP + 10.0 * i + 10 * (u - f1) / (f2 - f1);
        }
    }
    return d;
}

}  // namespace

Reading getdepth(const ProjectState& state, double y)
{
    const int j = bracketRow(state, y);
    if (j == 0)
        return std::nullopt;
    const auto& a = state.depths[j - 1];
    const auto& b = state.depths[j];
    return finiteOrNoCal(interpolate(y, a.DEPTHTWIP, b.DEPTHTWIP, a.DEPTH, b.DEPTH));
}

Reading getdip(const ProjectState& state, double x, double y)
{
    const int j = bracketRow(state, y);
    if (j == 0)
        return std::nullopt;
    const auto& a = state.depths[j - 1];
    const auto& b = state.depths[j];
    const double xmin = interpolate(y, a.DEPTHTWIP, b.DEPTHTWIP, a.MINDIPTWIP, b.MINDIPTWIP);
    const double xmax = interpolate(y, a.DEPTHTWIP, b.DEPTHTWIP, a.MAXDIPTWIP, b.MAXDIPTWIP);
    if (xmax == xmin)
        return std::nullopt;

    double d = state.MINDIP + (x - xmin) * (state.MAXDIP - state.MINDIP) / (xmax - xmin);
    if (!(d >= state.MINDIP && d <= state.MAXDIP))
        return std::nullopt;

    switch (state.DipScaleMode) {
    case 0: return finiteOrNoCal(standardScale0(d));
    case 1: return finiteOrNoCal(d);
    case 2: return finiteOrNoCal(sineScale(state, d));
    case 3: return finiteOrNoCal(standardScale3(d));
    case 4: return finiteOrNoCal(customScale(state, d));
    default: return std::nullopt;
    }
}

std::optional<double> depthToImageY(const ProjectState& state, double depth)
{
    const int n = state.NUMDEP;
    if (n < 2 || n > kMaxDepthRows || !std::isfinite(depth))
        return std::nullopt;
    for (int j = 2; j <= n; ++j) {
        const auto& a = state.depths[j - 1];
        const auto& b = state.depths[j];
        if (!(std::min(a.DEPTH, b.DEPTH) <= depth && depth <= std::max(a.DEPTH, b.DEPTH)))
            continue;
        if (a.DEPTH == b.DEPTH)
            return a.DEPTHTWIP;
        return interpolate(depth, a.DEPTH, b.DEPTH, a.DEPTHTWIP, b.DEPTHTWIP);
    }
    return std::nullopt;
}

double dipfraction(const ProjectState& state, double d)
{
    switch (state.DipScaleMode) {
    case 0:
        if (d <= 20)
            return 0.325 * d / 20;
        if (d <= 60)
            return 0.325 + 0.45 * (d - 20) / 40;
        return 0.775 + 0.225 * (d - 60) / 30;
    case 3:
        if (d <= 20)
            return (4.0 / 9) * d / 20;
        if (d <= 50)
            return 4.0 / 9 + (3.0 / 9) * (d - 20) / 30;
        return 7.0 / 9 + (2.0 / 9) * (d - 50) / 40;
    case 1: {
        const double span = state.MAXDIP - state.MINDIP;
        return span == 0 ? kNaN : (d - state.MINDIP) / span;
    }
    case 2: {
        const double smin = std::sin(state.MINDIP * kPi / 180);
        const double smax = std::sin(state.MAXDIP * kPi / 180);
        if (smax == smin)
            return kNaN;
        return (std::sin(d * kPi / 180) - smin) / (smax - smin);
    }
    case 4: {
        if (!customScaleUsable(state))
            return kNaN;
        const double k = (d - state.MINDIP) / 10;
        if (k != std::floor(k) || k < 0 || k > state.NCUST)
            return kNaN;
        return customFraction(state, static_cast<int>(k));
    }
    default: return kNaN;
    }
}

namespace {

// "NO CAL" compares greater than every number; two of them are equal.
bool lessReading(const Reading& a, const Reading& b)
{
    if (!a)
        return false;
    if (!b)
        return true;
    return *a < *b;
}

// The heap sort of the tables, on rows 1 to count; Less compares two rows.
// When tracked points at a row number, it follows that row to its new place.
template <typename Table, typename Less>
void heapSortRows(Table& rows, int count, Less less, int* tracked = nullptr)
{
    if (count < 2)
        return;
    constexpr int kInHand = -1;
    const auto moved = [tracked](int from, int to) {
        if (tracked && *tracked == from)
            *tracked = to;
    };
    int l = count / 2 + 1;
    int ir = count;
    for (;;) {
        typename std::remove_reference_t<decltype(rows[1])> held;
        if (l > 1) {
            --l;
            held = std::move(rows[l]);
            moved(l, kInHand);
        } else {
            held = std::move(rows[ir]);
            moved(ir, kInHand);
            rows[ir] = std::move(rows[1]);
            moved(1, ir);
            if (--ir == 1) {
                rows[1] = std::move(held);
                moved(kInHand, 1);
                return;
            }
        }
        int i = l;
        int j = 2 * l;
        while (j <= ir) {
            if (j < ir && less(rows[j], rows[j + 1]))
                ++j;
            if (less(held, rows[j])) {
                rows[i] = std::move(rows[j]);
                moved(j, i);
                i = j;
                j *= 2;
            } else {
                j = ir + 1;
            }
        }
        rows[i] = std::move(held);
        moved(kInHand, i);
    }
}

}  // namespace

void sortdepths(ProjectState& state)
{
    if (state.NUMDEP > kMaxDepthRows)
        return;
    heapSortRows(state.depths, state.NUMDEP, [](const DepthCalibrationPoint& a, const DepthCalibrationPoint& b) {
        return a.DEPTHTWIP < b.DEPTHTWIP;
    });
}

void sortdips(ProjectState& state, int* tracked)
{
    if (state.NumPoints > kMaxDips)
        return;
    if (tracked && (*tracked < 1 || *tracked > state.NumPoints))
        tracked = nullptr;
    // A table already in order is left as it stands (equal depths keep no
    // particular order anyway), so that saving it again copies no rows.
    const auto& rows = std::as_const(state.dips);
    bool sorted = true;
    for (int i = 2; i <= state.NumPoints && sorted; ++i)
        sorted = !lessReading(rows[i].Depth, rows[i - 1].Depth);
    if (sorted)
        return;
    heapSortRows(
        state.dips, state.NumPoints,
        [](const DipPoint& a, const DipPoint& b) { return lessReading(a.Depth, b.Depth); }, tracked);
}

void recomputeAndSortDips(ProjectState& state, int* tracked)
{
    if (state.NumPoints < 0 || state.NumPoints > kMaxDips)
        return;
    for (int i = 1; i <= state.NumPoints; ++i) {
        const DipPoint& d = std::as_const(state.dips)[i];
        const Reading depth = getdepth(state, d.YPIX);
        const Reading dip = getdip(state, d.DIPPIX, d.YPIX);
        // Rows whose readings stand are not written, and stay shared.
        if (!(depth == d.Depth && dip == d.Dip)) {
            DipPoint& changed = state.dips[i];
            changed.Depth = depth;
            changed.Dip = dip;
        }
    }
    sortdips(state, tracked);
}

int gradeIndex(const std::string& grade)
{
    return grade.size() == 1 && grade[0] >= 'A' && grade[0] <= 'D' ? grade[0] - 'A' : -1;
}

std::optional<Rgb> gradeColour(const ProjectState& state, const std::string& grade)
{
    const Rgb colours[] = {state.QualityColorA, state.QualityColorB, state.QualityColorC, state.QualityColorD};
    const int index = gradeIndex(grade);
    if (index < 0)
        return std::nullopt;
    return colours[index];
}

double azimuthTowards(double dx, double dy)
{
    if (dy == 0)
        return dx >= 0 ? 90 : 270;
    const double a = std::atan(dx / dy) * 180 / kPi;
    if (dy > 0)
        return dx >= 0 ? a : 360 + a;
    return 180 + a;
}

int completeDepthRows(const ProjectState& state)
{
    const int rows = std::clamp<int>(state.NUMDEP, 0, kMaxDepthRows);
    return state.AwaitMinDipClick || state.AwaitMaxDipClick ? std::max(0, rows - 1) : rows;
}

bool digitizingPossible(const ProjectState& state) { return state.DipScaleDefined && completeDepthRows(state) >= 2; }

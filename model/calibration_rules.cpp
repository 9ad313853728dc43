#include "model/calibration_rules.h"

#include <algorithm>
#include <cmath>

#include "model/depth_trend.h"
#include "model/median.h"
#include "model/number_format.h"

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::int16_t> wholeDegrees(const std::string& text)
{
    double value = 0;
    if (!parseDecimal(trimmed(text), value))
        return std::nullopt;
    value = roundHalfEven(value);
    if (!(value >= -32768 && value <= 32767))
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

}  // namespace

std::string dipScalePrompt(int degrees) { return "Please left click on Dip = " + std::to_string(degrees); }

std::variant<DipScale, std::string> readDipScale(DipScaleKind kind, const std::string& minText,
                                                 const std::string& maxText)
{
    const auto minDip = wholeDegrees(minText);
    const auto maxDip = wholeDegrees(maxText);
    if (!minDip || !maxDip)
        return "Min Dip Value and Max Dip Value must be whole numbers of degrees from -32768 to 32767.";
    if (*minDip >= *maxDip)
        return "Min Dip Value must be less than Max Dip Value.";
    if (kind == DipScaleKind::Custom && roundHalfEven((double(*maxDip) - *minDip) / 10) > kMaxCustomSteps)
        return "A custom dip scale has at most " + std::to_string(kMaxCustomSteps)
               + " steps of 10 degrees: Max Dip Value less Min Dip Value must not exceed 105.";
    return DipScale{kind, *minDip, *maxDip, {}};
}

std::size_t customPositions(const DipScale& scale)
{
    return std::size_t(roundHalfEven((double(scale.maxDip) - scale.minDip) / 10)) + 1;
}

std::optional<double> proposeDepth(const Work& work, double y)
{
    const std::size_t n = work.depthRows.size();
    if (n < 2)
        return std::nullopt;
    const DepthRow& a = work.depthRows[n - 2];
    const DepthRow& b = work.depthRows[n - 1];
    const double p = b.depth + (b.depth - a.depth) * (y - b.y) / (b.y - a.y);
    const double proposal = 10 * roundHalfEven(p / 10);
    if (!std::isfinite(proposal))
        return std::nullopt;
    return proposal;
}

namespace {

// The trend of the rows' depths, how far from it a row may stand, and how
// finely the depths are written.
struct RowsTrend {
    DepthTrend trend;
    double tolerance = 0;
    double unit = 0;

    double fitsAt(double y) const { return unit * std::round(trend.depthAt(y) / unit); }
};

std::optional<RowsTrend> trendOfRows(const std::vector<DepthRow>& rows)
{
    std::vector<DepthAtRow> points;
    std::vector<double> gaps, steps, depths;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        points.push_back({rows[i].y, rows[i].depth});
        depths.push_back(rows[i].depth);
        if (i > 0 && rows[i].y > rows[i - 1].y) {
            gaps.push_back(rows[i].y - rows[i - 1].y);
            steps.push_back(std::abs(rows[i].depth - rows[i - 1].depth));
        }
    }
    if (gaps.empty())
        return std::nullopt;
    // Lines are pressed by hand, a few pixels off: a quarter of their usual
    // spacing tells a slipped digit from that.
    const double tolerance = std::max(3.0, median(gaps) / 4);
    const auto trend = fitDepthTrend(points, tolerance);
    if (!trend)
        return std::nullopt;
    const double step = median(steps);
    double unit = depthUnit(depths);
    while (step > 0 && unit > step)
        unit /= 10;
    return RowsTrend{*trend, tolerance, unit};
}

}  // namespace

std::optional<double> depthThatFits(const Work& work, double y, double typed)
{
    if (!std::isfinite(typed))
        return std::nullopt;
    const auto rows = trendOfRows(work.depthRows);
    if (!rows || std::abs(rows->trend.rowOf(typed) - y) <= rows->tolerance)
        return std::nullopt;
    const double fits = rows->fitsAt(y);
    if (!std::isfinite(fits) || fits == typed)
        return std::nullopt;
    return fits;
}

std::vector<DepthMisfit> depthMisfits(const Work& work)
{
    std::vector<DepthMisfit> misfits;
    const auto rows = trendOfRows(work.depthRows);
    // With two or three rows no majority tells which one is wrong.
    if (!rows || work.depthRows.size() < 4)
        return misfits;
    for (std::size_t i = 0; i < work.depthRows.size(); ++i) {
        const DepthRow& r = work.depthRows[i];
        if (rows->trend.agrees[i])
            continue;
        const double fits = rows->fitsAt(r.y);
        if (std::isfinite(fits) && fits != r.depth)
            misfits.push_back({i, r.depth, fits});
    }
    return misfits;
}

std::string depthMisfitMessage(double typed, double fits)
{
    return formatPlain(typed) + " does not fit the lines around it: " + formatPlain(fits) + " would.";
}

std::string calibratedDepths(const Work& work)
{
    if (work.depthRows.size() < 2)
        return {};
    double low = work.depthRows.front().depth, high = low;
    for (const DepthRow& r : work.depthRows) {
        low = std::min(low, r.depth);
        high = std::max(high, r.depth);
    }
    return formatPlain(low) + "\u2013" + formatPlain(high);
}

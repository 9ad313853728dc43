#include "model/calibration_rules.h"

#include <cmath>

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

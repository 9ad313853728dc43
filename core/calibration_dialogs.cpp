#include "core/calibration_dialogs.h"

#include <cmath>

#include "core/number_format.h"

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

std::string dipScaleCaption(int mode)
{
    static const char* const captions[] = {"Standard Dip Scale 0-20/20-60/60-90", "Linear Dip Scale",
                                           "Sine Dip Scale", "Standard Dip Scale 0-20/20-50/50-90",
                                           "Custom Dip Scale"};
    return mode >= 0 && mode <= 4 ? captions[mode] : "";
}

std::string dipScalePrompt(int degrees) { return "Please left click on Dip = " + std::to_string(degrees); }

std::variant<DefineDipScale, std::string> readDipScale(int mode, const std::string& minText,
                                                       const std::string& maxText)
{
    const auto minDip = wholeDegrees(minText);
    const auto maxDip = wholeDegrees(maxText);
    if (!minDip || !maxDip)
        return "Min Dip Value and Max Dip Value must be whole numbers of degrees from -32768 to 32767.";
    if (*minDip >= *maxDip)
        return "Min Dip Value must be less than Max Dip Value.";
    if (mode == 4 && roundHalfEven((double(*maxDip) - *minDip) / 10) > kMaxCustomSteps)
        return "A custom dip scale has at most " + std::to_string(kMaxCustomSteps)
               + " steps of 10 degrees: Max Dip Value less Min Dip Value must not exceed 105.";
    return DefineDipScale{static_cast<std::int16_t>(mode), *minDip, *maxDip};
}

std::optional<double> proposeDepth(const ProjectState& s)
{
    const int n = s.NUMDEP;
    if (n <= 2 || n > kMaxDepthRows)
        return std::nullopt;
    const DepthCalibrationPoint& a = s.depths[n - 2];
    const DepthCalibrationPoint& b = s.depths[n - 1];
    const double p =
        b.DEPTH + (b.DEPTH - a.DEPTH) * (s.depths[n].DEPTHTWIP - b.DEPTHTWIP) / (b.DEPTHTWIP - a.DEPTHTWIP);
    const double proposal = 10 * roundHalfEven(p / 10);
    if (!std::isfinite(proposal))
        return std::nullopt;
    return proposal;
}

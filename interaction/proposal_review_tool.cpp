#include "interaction/proposal_review_tool.h"

namespace {

constexpr double kReach = 4;  // view pixels beyond the dot

}  // namespace

bool ProposalReviewTool::pressOn(double x, double y)
{
    if (review_.empty())
        return false;
    const Viewport& v = host_.viewport();
    const int index = review_.at(v.toPictureX(x), v.toPictureY(y), kReach / v.zoom);
    if (index < 0)
        return false;
    review_.toggle(index);
    changed_();
    return true;
}

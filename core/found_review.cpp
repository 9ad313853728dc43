#include "core/found_review.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/dipdigitize.h"

void FoundReview::show(std::vector<Proposal> proposals, double least)
{
    std::stable_sort(proposals.begin(), proposals.end(),
                     [](const Proposal& a, const Proposal& b) { return a.confidence < b.confidence; });
    all_ = std::move(proposals);
    setLeastConfidence(least);
}

void FoundReview::setLeastConfidence(double least)
{
    proposals_.clear();
    shownFrom_.clear();
    for (std::size_t i = 0; i < all_.size(); ++i)
        if (all_[i].confidence >= least) {
            proposals_.push_back(all_[i]);
            shownFrom_.push_back(i);
        }
    current_ = -1;
}

void FoundReview::clear()
{
    all_.clear();
    setLeastConfidence(0);
}

int FoundReview::at(double x, double y, double reach) const
{
    int nearest = -1;
    double nearestDistance = 0;
    for (std::size_t i = 0; i < proposals_.size(); ++i) {
        const Proposal& p = proposals_[i];
        const double d = std::hypot(p.x - x, p.y - y);
        if (d <= p.radius + reach && (nearest < 0 || d < nearestDistance)) {
            nearest = int(i);
            nearestDistance = d;
        }
    }
    return nearest;
}

void FoundReview::toggle(int index)
{
    if (index < 0 || std::size_t(index) >= proposals_.size())
        return;
    Proposal& shown = proposals_[std::size_t(index)];
    shown.kept = !shown.kept;
    all_[shownFrom_[std::size_t(index)]].kept = shown.kept;
}

int FoundReview::next()
{
    if (proposals_.empty())
        return -1;
    current_ = (current_ + 1) % int(proposals_.size());
    return current_;
}

int FoundReview::previous()
{
    if (proposals_.empty())
        return -1;
    current_ = current_ <= 0 ? int(proposals_.size()) - 1 : current_ - 1;
    return current_;
}

FoundReview::Counts FoundReview::counts() const
{
    Counts c;
    for (const Proposal& p : proposals_) {
        ++c.all;
        ++(p.filled ? c.filled : c.hollow);
        c.kept += p.kept ? 1 : 0;
    }
    return c;
}

bool dipNear(const ProjectState& state, double x, double y, double radius)
{
    if (state.NumPoints < 1 || state.NumPoints > kMaxDips)
        return false;
    for (int i = 1; i <= state.NumPoints; ++i) {
        const DipPoint& d = std::as_const(state.dips)[i];
        if (std::hypot(d.DIPPIX - x, d.YPIX - y) <= radius)
            return true;
    }
    return false;
}

std::vector<DipPoint> keptDips(const FoundReview& review, const ProjectState& state, const std::string& filledGrade,
                               const std::string& hollowGrade)
{
    std::vector<DipPoint> dips;
    for (const Proposal& p : review.proposals()) {
        if (!p.kept || dipNear(state, p.x, p.y, p.radius))
            continue;
        const Reading depth = getdepth(state, p.y), dip = getdip(state, p.x, p.y);
        if (!depth || !dip)
            continue;
        dips.push_back(DipPoint{depth, p.y, dip, p.x, p.azimuth, p.filled ? filledGrade : hollowGrade});
    }
    return dips;
}

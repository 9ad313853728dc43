#include "model/found_review.h"

#include <algorithm>
#include <cmath>
#include <utility>


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

bool dipNear(const Work& work, double x, double y, double radius)
{
    for (const Dip& d : work.dips)
        if (std::hypot(d.x - x, d.y - y) <= radius)
            return true;
    return false;
}

std::vector<Dip> keptDips(const FoundReview& review, const Work& work, const std::string& filledGrade,
                          const std::string& hollowGrade)
{
    const Calibration calibration(work);
    std::vector<Dip> dips;
    for (const Proposal& p : review.proposals()) {
        if (!p.kept || dipNear(work, p.x, p.y, p.radius))
            continue;
        if (!calibration.depthAt(p.y) || !calibration.dipAt(p.x, p.y))
            continue;
        dips.push_back(Dip{p.x, p.y, p.azimuth, p.filled ? filledGrade : hollowGrade,
                           std::clamp(int(std::floor(100 * p.confidence)), 0, 100)});
    }
    return dips;
}

#pragma once

#include <functional>

#include "interaction/log_tool.h"
#include "model/found_review.h"

// The tadpoles found, under review on the log view: a press on one keeps or
// drops it.
class ProposalReviewTool : public LogTool {
public:
    ProposalReviewTool(ToolHost& host, FoundReview& review, std::function<void()> changed)
        : LogTool(host), review_(review), changed_(std::move(changed))
    {
    }

    bool reviewing() const { return !review_.empty(); }
    // A press on a proposal: kept or dropped. False when none was there.
    bool pressOn(double x, double y);

    void press(int /*button*/, double x, double y) override { pressOn(x, y); }
    void move(int /*buttons*/, double /*x*/, double /*y*/) override {}

private:
    FoundReview& review_;
    std::function<void()> changed_;
};

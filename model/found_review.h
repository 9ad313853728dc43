#pragma once

#include <string>
#include <vector>

#include "model/calibration.h"

// Tadpoles the search found, offered for review before they become dips.
// They are not part of the work: undo, saves and exports never see them.
struct Proposal {
    double x = 0;  // picture pixels of the dot's centre
    double y = 0;
    double radius = 0;  // picture pixels
    bool filled = true;
    double azimuth = 0;
    double confidence = 0;  // 0 to 1
    bool kept = true;
};

class FoundReview {
public:
    // The proposals to review, in the order they are stepped through: the
    // least sure first; those less sure than least are held back.
    void show(std::vector<Proposal> proposals, double least = 0);
    // Shows the proposals at least this sure, each kept or dropped as it
    // was; the stepping starts again.
    void setLeastConfidence(double least);
    void clear();

    bool empty() const { return proposals_.empty(); }
    // Proposals are held, shown or not.
    bool reviewing() const { return !all_.empty(); }
    // Those shown, which the indices below count.
    const std::vector<Proposal>& proposals() const { return proposals_; }
    // The proposal stepped to last; -1 before the first step.
    int current() const { return current_; }

    // The proposal whose dot lies within reach of (x, y), picture pixels; the
    // nearest of them, -1 for none.
    int at(double x, double y, double reach) const;
    void toggle(int index);
    // The next or previous proposal in order, round at either end; -1 when
    // there are none.
    int next();
    int previous();

    struct Counts {
        int all = 0;
        int filled = 0;
        int hollow = 0;
        int kept = 0;
    };
    Counts counts() const;

private:
    std::vector<Proposal> all_;
    std::vector<Proposal> proposals_;
    std::vector<std::size_t> shownFrom_;  // the place in all_ of each shown
    int current_ = -1;
};

// Whether a dip of the work lies within radius of (x, y), picture pixels.
bool dipNear(const Work& work, double x, double y, double radius);

// The dips that the kept proposals make: at their centres, with the azimuth
// of their tails and the grade given for filled or hollow dots. A proposal
// outside the calibration, or where a dip lies already, makes none.
std::vector<Dip> keptDips(const FoundReview& review, const Work& work, const std::string& filledGrade,
                          const std::string& hollowGrade);

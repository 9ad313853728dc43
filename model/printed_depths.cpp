#include "model/printed_depths.h"

#include <algorithm>
#include <cmath>

#include "model/depth_trend.h"
#include "model/median.h"

namespace {

// Gaps counted in spacings up to this many: a stretch of paper of 1 or 2 %
// moves a line by a fifth of a spacing only beyond it.
constexpr int kLongestGap = 12;
// How far from a whole number of spacings a gap may be.
constexpr double kSlack = 0.2;

// Labels up to this many are each paired with every other; more with their
// nearest so many along the log.
constexpr std::size_t kAllPairs = 40;
constexpr std::size_t kNearestPaired = 12;

// How many lines a count may slip by, where a line was missed or a rule
// taken for one; a label further off is misread.
constexpr long kMostMiscounted = 2;

bool same(double a, double b)
{
    return std::abs(a - b) <= 1e-6 * std::max(1.0, std::max(std::abs(a), std::abs(b)));
}

}  // namespace

LineCount countLines(const std::vector<double>& rows)
{
    LineCount count;
    const std::size_t n = rows.size();
    count.place.assign(n, std::nullopt);
    if (n < 2)
        return count;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < n; ++i)
        gaps.push_back(rows[i] - rows[i - 1]);
    const double rough = median(gaps);
    std::vector<double> usual;
    for (const double g : gaps)
        if (g > 0.75 * rough && g < 1.33 * rough)
            usual.push_back(g);
    count.spacing = usual.empty() ? rough : median(usual);
    if (!(count.spacing > 0))
        return count;

    // The longest run of lines a whole number of spacings apart, and of
    // runs as long the one that misses the fewest lines.
    struct Link {
        std::size_t lines = 1;
        int missed = 0;
        std::optional<std::size_t> previous;
        int steps = 0;
    };
    std::vector<Link> best(n);
    for (std::size_t i = 1; i < n; ++i)
        for (std::size_t j = i; j-- > 0;) {
            const double spacings = (rows[i] - rows[j]) / count.spacing;
            if (spacings > kLongestGap + 0.5)
                break;
            const long steps = std::lround(spacings);
            if (steps < 1 || std::abs(spacings - double(steps)) > kSlack)
                continue;
            const Link link{best[j].lines + 1, best[j].missed + int(steps) - 1, j, int(steps)};
            if (link.lines > best[i].lines || (link.lines == best[i].lines && link.missed < best[i].missed))
                best[i] = link;
        }
    std::size_t end = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (best[i].lines > best[end].lines || (best[i].lines == best[end].lines && best[i].missed < best[end].missed))
            end = i;
    std::vector<std::size_t> run{end};
    while (best[run.back()].previous)
        run.push_back(*best[run.back()].previous);
    std::reverse(run.begin(), run.end());
    int place = 0;
    count.place[run.front()] = 0;
    for (std::size_t k = 1; k < run.size(); ++k) {
        const std::size_t from = run[k - 1], to = run[k];
        const int steps = best[to].steps;
        for (int m = 1; m < steps; ++m)
            count.missing.push_back({place + m, rows[from] + (rows[to] - rows[from]) * m / steps});
        place += steps;
        count.place[to] = place;
    }
    return count;
}

std::size_t PrintedDepths::agreeing() const
{
    return std::size_t(std::count(agrees.begin(), agrees.end(), true));
}

double PrintedDepths::depthAt(int place) const
{
    // As finely as the depths are printed, free of the sum's rounding.
    const double unit = depthUnit({firstDepth, step});
    return unit * std::round((firstDepth + step * place) / unit);
}

bool isRoundStep(double step)
{
    for (double power = 0.01; power <= 10000 * 1.0001; power *= 10)
        for (const double factor : {1.0, 2.0, 2.5, 5.0})
            if (same(std::abs(step), factor * power))
                return true;
    return false;
}

std::optional<PrintedDepths> fitPrintedDepths(const std::vector<LabelAtPlace>& labels)
{
    struct Candidate {
        double first = 0, step = 0;
        std::size_t agreeing = 0;
    };
    std::optional<Candidate> best, rival;
    const auto liesOn = [](const LabelAtPlace& l, double first, double step) {
        return same(l.depth, first + step * l.place);
    };
    const auto agreeingWith = [&](double first, double step) {
        return std::size_t(std::count_if(labels.begin(), labels.end(),
                                         [&](const LabelAtPlace& l) { return liesOn(l, first, step); }));
    };
    // Every pair of a few dozen labels; of more, each with its nearest
    // along the log, which show a line most labels lie on as well.
    std::vector<std::size_t> byPlace(labels.size());
    for (std::size_t k = 0; k < byPlace.size(); ++k)
        byPlace[k] = k;
    std::sort(byPlace.begin(), byPlace.end(), [&](std::size_t a, std::size_t b) { return labels[a].place < labels[b].place; });
    const std::size_t reach = labels.size() <= kAllPairs ? labels.size() : kNearestPaired;
    for (std::size_t a = 0; a < byPlace.size(); ++a)
        for (std::size_t b = a + 1; b < byPlace.size() && b <= a + reach; ++b) {
            const std::size_t i = byPlace[a], j = byPlace[b];
            if (labels[i].place == labels[j].place)
                continue;
            const double step = (labels[j].depth - labels[i].depth) / (labels[j].place - labels[i].place);
            if (!isRoundStep(step))
                continue;
            const double first = labels[i].depth - step * labels[i].place;
            const Candidate c{first, step, agreeingWith(first, step)};
            const bool sameLine = best && same(c.first, best->first) && same(c.step, best->step);
            if (sameLine)
                continue;
            if (!best || c.agreeing > best->agreeing) {
                rival = best;
                best = c;
            } else if (!rival || c.agreeing > rival->agreeing) {
                rival = c;
            }
        }
    if (!best || (rival && rival->agreeing == best->agreeing))
        return std::nullopt;
    PrintedDepths depths{best->first, best->step, {}};
    for (const LabelAtPlace& l : labels)
        depths.agrees.push_back(liesOn(l, depths.firstDepth, depths.step));
    return depths;
}

std::string unsettledBy(std::size_t read, std::size_t agreeing)
{
    const std::string counted = std::to_string(agreeing) + " of the " + std::to_string(read) + " depths read agree";
    if (agreeing < 3)
        return "Only " + counted + ": at least three must.";
    if (2 * agreeing < read)
        return "Only " + counted + ": at least half of them must.";
    return {};
}

std::optional<MiscountedRun> miscountedRun(const std::vector<LabelAtPlace>& labels, const PrintedDepths& depths)
{
    std::vector<std::size_t> order(labels.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return labels[a].place < labels[b].place; });
    std::optional<MiscountedRun> run;
    int length = 0;
    for (const std::size_t i : order) {
        const double off = (labels[i].depth - depths.firstDepth - depths.step * labels[i].place) / depths.step;
        const long whole = std::lround(off);
        if (depths.agrees[i]) {
            if (length >= 2)
                return run;
            run.reset();
            length = 0;
            continue;
        }
        // A label misread other than by a step or two says nothing of the count.
        if (whole == 0 || std::abs(whole) > kMostMiscounted || !same(off, double(whole)))
            continue;
        if (run && run->stepsOff == int(whole)) {
            run->lastPlace = labels[i].place;
            ++length;
        } else {
            if (length >= 2)
                return run;
            run = MiscountedRun{labels[i].place, labels[i].place, int(whole)};
            length = 1;
        }
    }
    return length >= 2 ? run : std::nullopt;
}

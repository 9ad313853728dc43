#include "detection/log_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include <opencv2/imgproc.hpp>

#include "detection/band_work.h"
#include "detection/ink_layers.h"
#include "detection/long_lines.h"
#include "detection/scan_preparation.h"
#include "model/median.h"

using namespace band_work;

namespace {

constexpr int kBandRows = 1024;
// Rows read beyond a band each way, so that a line skewed by a degree
// across the widest picture still lies whole in one read.
constexpr int kOverlap = 48;
// Ink bridged along a line: a hollow dot's inside, a label's gap.
constexpr int kLineGap = 12;
constexpr double kSkewiest = 0.035;  // 2 degrees

// A straight line fitted to the pixels of a long line: along = at + slope *
// across, where across is x for a horizontal line and y for a vertical one;
// it runs from `from` to `to` across.
struct FittedLine {
    double at = 0;
    double slope = 0;
    double from = 0;
    double to = 0;
    double along(double across) const { return at + slope * across; }
};

// The long lines of a mask (closed along them), each fitted, in the mask's own coordinates
// (x across, y along), moved by (dx, dy).
std::vector<FittedLine> fittedLines(const cv::Mat& lines, int shortest, double dx, double dy, cv::Mat& joined,
                                    cv::Mat& labels)
{
    // The pieces of a line that a gap broke, or a step of a skewed line
    // that a pixel's column separates, are one line again; its own pixels
    // are fitted.
    cv::dilate(lines, joined, cv::getStructuringElement(cv::MORPH_RECT, {kLineGap + 1, 3}));
    cv::Mat stats, centroids;
    const int count = cv::connectedComponentsWithStats(joined, labels, stats, centroids, 8, CV_32S);
    std::vector<int> slot(std::size_t(count), -1);
    std::vector<std::vector<cv::Point2f>> points;
    for (int i = 1; i < count; ++i)
        if (stats.at<int>(i, cv::CC_STAT_WIDTH) >= shortest) {
            slot[std::size_t(i)] = int(points.size());
            points.emplace_back();
        }
    for (int y = 0; y < labels.rows; ++y) {
        const int* label = labels.ptr<int>(y);
        const std::uint8_t* own = lines.ptr<std::uint8_t>(y);
        for (int x = 0; x < labels.cols; ++x)
            if (const int s = slot[std::size_t(label[x])]; s >= 0 && own[x])
                points[std::size_t(s)].emplace_back(float(x + dx + 0.5), float(y + dy + 0.5));
    }
    std::vector<FittedLine> fitted;
    for (const auto& p : points) {
        cv::Vec4f l;
        cv::fitLine(p, l, cv::DIST_HUBER, 0, 0.01, 0.01);
        if (std::abs(l[0]) < 1e-6)
            continue;
        const double slope = l[1] / l[0];
        if (std::abs(slope) > kSkewiest)
            continue;
        const auto [low, high] = std::minmax_element(p.begin(), p.end(), [](auto a, auto b) { return a.x < b.x; });
        fitted.push_back({l[3] - slope * l[2], slope, low->x - 0.5, high->x + 0.5});
    }
    return fitted;
}

// What one band shows: its long horizontal lines, and its vertical ones
// with their x at the band's middle row.
struct BandLines {
    int top = 0, bottom = 0;
    std::vector<FittedLine> across;  // horizontal: y = at + slope * x
    std::vector<FittedLine> down;    // vertical: x = at + slope * y
};

struct Worker {
    std::vector<BandLines> bands;
    std::vector<std::uint8_t> buffer;
    cv::Mat prepared, scratch, ink, lines, joined, visited, labels, columns;
};

// Rows over which a line skewed by up to a degree and a half moves by less
// than a pixel: each block of them shows a vertical line as one column.
constexpr int kBlockRows = 32;
// How far beyond the ends of the track's edges a depth line may lie: the
// first and last lines close the track, and the edges' ends are known to a
// block of rows.
constexpr double kEdgeReach = kBlockRows;

// The vertical lines of a 0/1 mask at least `tall` rows long: in each block
// of rows the columns nearly all set, linked from block to block where they
// move by less than two pixels, and fitted (x = at + slope * y, in picture
// positions: the mask is the area read).
std::vector<FittedLine> verticalLines(const cv::Mat& mask, const Area& read, int tall, cv::Mat& columns)
{
    struct Place {
        double y, x;  // a block's middle row, and the line's x in it
    };
    struct Track {
        std::vector<Place> points;
        int lastBlock = 0;
    };
    std::vector<Track> open, done;
    std::vector<int> usual;
    const int blocks = mask.rows / kBlockRows;
    for (int b = 0; b < blocks; ++b) {
        cv::reduce(mask.rowRange(b * kBlockRows, (b + 1) * kBlockRows), columns, 0, cv::REDUCE_SUM, CV_32S);
        // Over the block's usual column: the grain of a noisy scan fills
        // every column a little.
        const int* sums = columns.ptr<int>(0);
        usual.assign(sums, sums + mask.cols);
        std::nth_element(usual.begin(), usual.begin() + mask.cols / 2, usual.end());
        const int base = usual[std::size_t(mask.cols / 2)];
        const auto sum = [&](int x) { return sums[x] - base; };
        const double y = read.top + (b + 0.5) * kBlockRows;
        for (int x = 0; x < mask.cols;) {
            // A run of columns that together hold a line's pixels: a line
            // splits between two columns where it moves across, and a thick
            // one fills several.
            if (4 * sum(x) < kBlockRows) {
                ++x;
                continue;
            }
            double weight = 0, moment = 0;
            const int first = x;
            for (; x < mask.cols && 4 * sum(x) >= kBlockRows; ++x) {
                weight += sum(x);
                moment += sum(x) * (x + 0.5);
            }
            if (x - first > 6 || 5 * weight < 3 * kBlockRows)
                continue;
            const double at = read.left + moment / weight;
            Track* near = nullptr;
            for (Track& t : open)
                if (b - t.lastBlock <= 3 && std::abs(t.points.back().x - at) < 2
                    && (!near || std::abs(t.points.back().x - at) < std::abs(near->points.back().x - at)))
                    near = &t;
            if (!near) {
                open.push_back({});
                near = &open.back();
            }
            near->points.push_back({y, at});
            near->lastBlock = b;
        }
        std::erase_if(open, [&](Track& t) {
            if (b - t.lastBlock <= 3)
                return false;
            done.push_back(std::move(t));
            return true;
        });
    }
    std::move(open.begin(), open.end(), std::back_inserter(done));
    std::vector<FittedLine> lines;
    for (const Track& t : done) {
        const double from = t.points.front().y - kBlockRows / 2.0, to = t.points.back().y + kBlockRows / 2.0;
        // Mostly unbroken: not the strokes of labels printed one above another.
        if (to - from < tall || t.points.size() < 3 || 10 * double(t.points.size()) * kBlockRows < 7 * (to - from))
            continue;
        double sy = 0, sx = 0, syy = 0, syx = 0;
        for (const Place& p : t.points) {
            sy += p.y;
            sx += p.x;
            syy += p.y * p.y;
            syx += p.y * p.x;
        }
        const double n = double(t.points.size()), slope = (n * syx - sy * sx) / (n * syy - sy * sy);
        if (std::abs(slope) <= kSkewiest)
            lines.push_back({(sx - slope * sy) / n, slope, from, to});
    }
    return lines;
}

// The grey below which the grid is looked for: as pale as kPalestInk, but
// clear of the paper's grain, judged by how far the paper's darker quarter
// lies below its middle (most of a band is paper).
int gridLevel(const cv::Mat& grey, int threshold)
{
    std::array<long, 256> count{};
    for (int y = 0; y < grey.rows; ++y) {
        const std::uint8_t* row = grey.ptr<std::uint8_t>(y);
        for (int x = 0; x < grey.cols; ++x)
            ++count[row[x]];
    }
    const auto level = [&](long share) {
        int l = 0;
        for (long below = 0; l < 255 && (below += count[std::size_t(l)]) * 100 < share * long(grey.total());)
            ++l;
        return l;
    };
    const int middle = level(50), quarter = level(25);
    return std::clamp(middle - 2 * (middle - quarter) - 4, threshold, kPalestInk);
}

// The lines of the band, read with the rows round it (read).
void readBand(const GreyPicture& picture, const Area& read, const Area& band, const ScanTraits& traits, Worker& w)
{
    const cv::Mat grey = dot_search::view(picture, read);
    const cv::Mat& g = prepareBand(grey, traits, w.prepared, w.scratch);
    BandLines found{band.top, band.bottom, {}, {}};
    // Depth lines are black, the ink; some logs print theirs grey, and
    // those are all that is darker than the paper's grain: both are looked
    // for, a line found black kept as such. Only lines a third of the
    // picture long count.
    const int level = gridLevel(g, traits.threshold);
    const int wide = std::max(100, grey.cols / 3);
    const int levels[] = {traits.threshold, level};
    for (int pass = 0; pass < (level > traits.threshold ? 2 : 1); ++pass) {
        const int below = levels[pass];
        cv::threshold(g, w.ink, below - 1, 255, cv::THRESH_BINARY_INV);
        w.lines.create(w.ink.size(), CV_8U);
        w.lines.setTo(0);
        markRowLines(w.ink, w.lines, wide, kLineGap);
        markSkewedRowLines(w.ink, w.lines, w.visited, wide, kLineGap);
        const std::size_t black = found.across.size();
        for (const FittedLine& l : fittedLines(w.lines, wide, read.left, read.top, w.joined, w.labels)) {
            const double middle = l.along((read.left + read.right) / 2.0);
            // A line found black is kept as such; where its grey fringe runs
            // on (a thin line whose rows of steps are grey), as far as that.
            const auto known =
                std::find_if(found.across.begin(), found.across.begin() + std::ptrdiff_t(black),
                             [&](const FittedLine& k) { return std::abs(k.along(l.from) - l.along(l.from)) < 4; });
            if (known != found.across.begin() + std::ptrdiff_t(black)) {
                known->from = std::min(known->from, l.from);
                known->to = std::max(known->to, l.to);
            } else if (middle >= band.top && middle < band.bottom) {
                found.across.push_back(l);
            }
        }
    }
    // A grid printed pale grey, much paler than the ink, is still a grid;
    // but on a grainy scan the paper's own grain is not.
    cv::threshold(g, w.ink, level - 1, 1, cv::THRESH_BINARY_INV);
    found.down = verticalLines(w.ink, read, std::max(64, std::min(256, grey.rows / 2)), w.columns);
    w.bands.push_back(std::move(found));
}

std::vector<double> scaleFractions(DipScaleKind kind)
{
    const DipScale scale{kind, 0, 90, {}};
    std::vector<double> f;
    for (int d = 10; d < 90; d += 10)
        f.push_back(dipFraction(scale, d));
    return f;
}

// The vertical line of the band whose x at row y lies nearest x.
const FittedLine* nearestDown(const BandLines& band, double x, double y)
{
    const FittedLine* best = nullptr;
    for (const FittedLine& l : band.down)
        if (!best || std::abs(l.along(y) - x) < std::abs(best->along(y) - x))
            best = &l;
    return best && std::abs(best->along(y) - x) <= 4 ? best : nullptr;
}

// How far the sheet is turned: the rows down for each column to the right
// along its depth lines.
double sheetTilt(const std::vector<BandLines>& bands)
{
    std::vector<double> slopes;
    for (const BandLines& b : bands)
        for (const FittedLine& l : b.across)
            slopes.push_back(l.slope);
    return slopes.empty() ? 0 : median(slopes);
}

// The track from the grid lines of every band together: where specks or
// fading leave each band only a few of its lines, the lines of many bands
// still show the whole grid. Positions at row 0, the sheet's turn taken out.
std::optional<TrackMatch> pooledTrack(const std::vector<BandLines>& bands, int width)
{
    const double tilt = sheetTilt(bands);
    std::vector<std::pair<double, std::size_t>> seen;  // x at row 0, band
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const double middle = (bands[i].top + bands[i].bottom) / 2.0;
        for (const FittedLine& l : bands[i].down)
            seen.emplace_back(l.along(middle) + tilt * middle, i);
    }
    std::sort(seen.begin(), seen.end());
    std::vector<double> xs;
    const std::size_t enough = std::max<std::size_t>(1, bands.size() / 5);
    for (std::size_t first = 0; first < seen.size();) {
        std::size_t last = first;
        while (last + 1 < seen.size() && seen[last + 1].first - seen[last].first < 4)
            ++last;
        std::vector<std::size_t> in;
        double sum = 0;
        for (std::size_t k = first; k <= last; ++k) {
            in.push_back(seen[k].second);
            sum += seen[k].first;
        }
        std::sort(in.begin(), in.end());
        if (std::size_t(std::unique(in.begin(), in.end()) - in.begin()) >= enough)
            xs.push_back(sum / double(last - first + 1));
        first = last + 1;
    }
    return matchTrack(xs, width / 5.0);
}

FoundLayout assemble(std::vector<BandLines> bands, int width)
{
    std::sort(bands.begin(), bands.end(), [](const BandLines& a, const BandLines& b) { return a.top < b.top; });
    FoundLayout layout;
    // The track of every band, and the kind most bands' grids match.
    std::vector<std::optional<TrackMatch>> tracks;
    std::map<DipScaleKind, int> votes;
    for (const BandLines& b : bands) {
        const double middle = (b.top + b.bottom) / 2.0;
        std::vector<double> xs;
        for (const FittedLine& l : b.down)
            xs.push_back(l.along(middle));
        // A band's own lines are taken for a custom scale only when no band
        // shows a known one: all of them together, below, tell it.
        tracks.push_back(matchTrack(xs, width / 5.0, false));
        if (tracks.back())
            votes[tracks.back()->kind] += tracks.back()->matched;
    }
    const std::optional<TrackMatch> pooled = votes.empty() ? pooledTrack(bands, width) : std::nullopt;
    if (pooled) {
        // Each band's part of the grid seen over the whole log, where the
        // sheet's skew moves it.
        layout.scale = DipScale{pooled->kind, 0, 90, pooled->steps};
        const double tilt = sheetTilt(bands);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            const double middle = (bands[i].top + bands[i].bottom) / 2.0;
            tracks[i] = TrackMatch{pooled->left - tilt * middle, pooled->right - tilt * middle, pooled->kind, 0, {}};
        }
    } else if (votes.empty()) {
        // A grid too pale for the scan to keep (a fax): the track is then
        // the widest column between two long lines (a depth column beside
        // it is narrower), its scale unknown.
        for (std::size_t i = 0; i < bands.size(); ++i) {
            const double middle = (bands[i].top + bands[i].bottom) / 2.0;
            std::vector<double> xs;
            for (const FittedLine& l : bands[i].down)
                xs.push_back(l.along(middle));
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 1; k < xs.size(); ++k)
                if (xs[k] - xs[k - 1] >= width / 5.0 && (!tracks[i] || xs[k] - xs[k - 1] > tracks[i]->right - tracks[i]->left))
                    tracks[i] = TrackMatch{xs[k - 1], xs[k], DipScaleKind::Linear, 0, {}};
        }
        if (std::none_of(tracks.begin(), tracks.end(), [](const auto& t) { return t.has_value(); })) {
            layout.failure = "No dip track was found: no vertical lines on the log are spaced as a dip scale's grid.";
            return layout;
        }
    } else {
        const DipScaleKind kind =
            std::max_element(votes.begin(), votes.end(), [](auto a, auto b) { return a.second < b.second; })->first;
        // A custom scale's positions, as the first band that saw it read them.
        const auto first = std::find_if(tracks.begin(), tracks.end(), [kind](const auto& t) { return t && t->kind == kind; });
        layout.scale = DipScale{kind, 0, 90, (*first)->steps};
    }

    std::vector<double> slopes;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        // A band without a track of its own takes its nearest neighbour's.
        std::size_t t = i;
        for (std::size_t d = 1; !tracks[t] && d < bands.size(); ++d)
            t = i >= d && tracks[i - d] ? i - d : i + d < bands.size() && tracks[i + d] ? i + d : t;
        if (!tracks[t])
            continue;
        const double middle = (bands[t].top + bands[t].bottom) / 2.0;
        const FittedLine* left = nearestDown(bands[t], tracks[t]->left, middle);
        const FittedLine* right = nearestDown(bands[t], tracks[t]->right, middle);
        for (const FittedLine& l : bands[i].across) {
            // Where the line meets the edges: each edge followed to it.
            double y = l.along((tracks[t]->left + tracks[t]->right) / 2);
            double minX = tracks[t]->left, maxX = tracks[t]->right;
            for (int pass = 0; pass < 2; ++pass) {
                minX = left ? left->along(y) : tracks[t]->left;
                maxX = right ? right->along(y) : tracks[t]->right;
                y = l.along((minX + maxX) / 2);
            }
            const double span = maxX - minX;
            // A depth line runs across the track and on beyond it; the
            // track's own horizontal grid stops at its edges.
            const bool across = l.from <= minX + 0.05 * span && l.to >= maxX - 0.05 * span;
            const bool beyond = l.from <= minX - 0.1 * span || l.to >= maxX + 0.1 * span;
            // Nor is a rule of the header or footer, above or below where
            // the track's edges run.
            const bool alongside = t != i || !left || !right
                                   || (y >= std::min(left->from, right->from) - kEdgeReach
                                       && y <= std::max(left->to, right->to) + kEdgeReach);
            if (!across || !beyond || !alongside)
                continue;
            layout.lines.push_back({y, l.slope, minX, maxX});
            slopes.push_back(l.slope);
        }
    }
    std::sort(layout.lines.begin(), layout.lines.end(), [](auto& a, auto& b) { return a.y < b.y; });
    // The same line read by two bands: the first kept.
    std::erase_if(layout.lines, [prev = -1e9](const FoundDepthLine& l) mutable {
        const bool again = l.y - prev < 3;
        prev = again ? prev : l.y;
        return again;
    });
    layout.skewDegrees = std::atan(median(slopes)) * 180 / kPi;
    if (layout.lines.size() < 2)
        layout.failure = "No depth lines were found across the dip track.";
    return layout;
}

FoundLayout findIn(const GreyPicture& extent, const AreaPixels& pixels, const DetectionProgress& progress,
                   bool* cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (extent.width < 16 || extent.height < 16)
        return {{}, std::nullopt, 0, {}, "The picture is too small to hold a log."};
    const Area whole{extent.left, extent.top, extent.left + extent.width, extent.top + extent.height};
    std::vector<std::uint8_t> sampleBuffer;
    const ScanTraits traits = dot_search::studyArea(
        whole, [&](const Area& block) { return dot_search::view(pixels(block, sampleBuffer), block).clone(); },
        kDefaultMaxDiameter);
    std::vector<Worker> workers(kMostWorkers);
    const bool finished = forEachBand(whole, kBandRows, [&](int worker, const Area& band) {
        Worker& w = workers[std::size_t(worker)];
        const Area read = dot_search::clipped(extent, {band.left, band.top - kOverlap, band.right, band.bottom + kOverlap});
        readBand(pixels(read, w.buffer), read, band, traits, w);
    }, progress);
    if (!finished) {
        if (cancelled)
            *cancelled = true;
        return {};
    }
    std::vector<BandLines> bands;
    for (Worker& w : workers)
        std::move(w.bands.begin(), w.bands.end(), std::back_inserter(bands));
    FoundLayout layout = assemble(std::move(bands), extent.width);
    layout.traits = traits;
    return layout;
}

}  // namespace

namespace {

// Ten lines in a row, the widest such run: the 0 to 90 of a scale of the
// user's own, each 10 degrees a line.
std::optional<TrackMatch> customTrack(const std::vector<double>& xs, double minSpan)
{
    constexpr std::size_t kLines = 10;
    constexpr double kLeastGap = 1.0 / 40;  // of the span: closer lines are one line read twice, or text
    std::optional<TrackMatch> best;
    for (std::size_t i = 0; i + kLines <= xs.size(); ++i) {
        const double span = xs[i + kLines - 1] - xs[i];
        if (span < minSpan || (best && span <= best->right - best->left))
            continue;
        bool apart = true;
        for (std::size_t k = i + 1; k < i + kLines; ++k)
            apart = apart && xs[k] - xs[k - 1] >= kLeastGap * span;
        if (apart)
            best = TrackMatch{xs[i], xs[i + kLines - 1], DipScaleKind::Custom, int(kLines),
                              std::vector<double>(xs.begin() + std::ptrdiff_t(i),
                                                  xs.begin() + std::ptrdiff_t(i + kLines))};
    }
    return best;
}

}  // namespace

std::optional<TrackMatch> matchTrack(std::vector<double> xs, double minSpan, bool custom)
{
    std::sort(xs.begin(), xs.end());
    // A line read twice (a thick one, or black and pale) is one.
    std::erase_if(xs, [prev = -1e9](double x) mutable {
        const bool again = x - prev < 2;
        prev = again ? prev : x;
        return again;
    });
    std::optional<TrackMatch> best;
    int bestScore = 0;
    double bestError = 0;
    for (const DipScaleKind kind :
         {DipScaleKind::Linear, DipScaleKind::Sine, DipScaleKind::Standard60, DipScaleKind::Standard50}) {
        const std::vector<double> fractions = scaleFractions(kind);
        for (std::size_t i = 0; i < xs.size(); ++i)
            for (std::size_t j = i + 1; j < xs.size(); ++j) {
                const double span = xs[j] - xs[i];
                if (span < minSpan)
                    continue;
                const double tolerance = std::max(2.0, 0.01 * span);
                int matched = 0;
                double error = 0;
                for (const double f : fractions) {
                    const double x = xs[i] + f * span;
                    const auto near = std::lower_bound(xs.begin(), xs.end(), x - tolerance);
                    if (near != xs.end() && *near <= x + tolerance) {
                        ++matched;
                        error += std::abs(*near - x);
                    }
                }
                if (4 * matched < 3 * int(fractions.size()))
                    continue;
                // Lines the scale has no place for count against it; of
                // pairs as good, the one its lines fit closest (a pair one
                // grid step over fits nearly as well, and worse the farther
                // it goes), then the wider.
                const int score = 2 * matched - int(j - i - 1);
                error /= matched;
                if (!best || score > bestScore || (score == bestScore && error < bestError - 0.05)
                    || (score == bestScore && std::abs(error - bestError) <= 0.05 && span > best->right - best->left)) {
                    best = TrackMatch{xs[i], xs[j], kind, matched, {}};
                    bestScore = score;
                    bestError = error;
                }
            }
    }
    return best || !custom ? best : customTrack(xs, minSpan);
}

FoundLayout findLayout(const GreyRows& picture, const DetectionProgress& progress, bool* cancelled)
{
    const GreyPicture extent{nullptr, picture.width, picture.height, 0, picture.left, picture.top};
    return findIn(extent, filledPicture(picture), progress, cancelled);
}

FoundLayout findLayout(const GreyPicture& picture, const DetectionProgress& progress, bool* cancelled)
{
    if (!picture.pixels)
        return {{}, std::nullopt, 0, {}, "No picture."};
    return findIn(picture, wholePicture(picture), progress, cancelled);
}






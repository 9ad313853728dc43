#include "session/tadpole_search.h"

#include <algorithm>

TadpoleSearch::TadpoleSearch(LogPicture picture, QRgb paper, std::vector<TrackStretch> track,
                             DetectionSettings wanted, QRect box)
    : picture_(std::move(picture)), paper_(paper), track_(std::move(track)), wanted_(wanted), box_(box)
{
}

FoundTadpoles TadpoleSearch::runHere(const DetectionProgress& progress)
{
    bool stopped = false;
    FoundTadpoles found = findTadpoles(inkRows(picture_, paper_, box_), track_, wanted_,
                                       [this, &progress](double done) { return report(done, progress); }, &stopped);
    if (stopped)
        cancel();
    return found;
}

GreyRows inkRows(const LogPicture& picture, QRgb paper, const QRect& box)
{
    return {box.left(), box.top(), box.width(), box.height(),
            [&picture, paper](int left, int top, int width, int height, std::uint8_t* out, std::ptrdiff_t stride) {
                picture.toInk(QRect(left, top, width, height), paper, out, stride);
            }};
}

QRect trackBox(const std::vector<TrackStretch>& track, int margin, const QSize& picture)
{
    double left = picture.width(), top = picture.height(), right = 0, bottom = 0;
    for (const TrackStretch& s : track) {
        left = std::min({left, s.leftTop, s.leftBottom, s.rightTop, s.rightBottom});
        right = std::max({right, s.leftTop, s.leftBottom, s.rightTop, s.rightBottom});
        top = std::min(top, s.top);
        bottom = std::max(bottom, s.bottom);
    }
    const QRect searched(QPoint(int(left) - margin, int(top) - margin), QPoint(int(right) + margin, int(bottom) + margin));
    return searched.intersected(QRect(QPoint(0, 0), picture));
}

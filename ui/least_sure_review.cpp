#include "ui/least_sure_review.h"

#include <cmath>

#include "model/number_format.h"
#include "session/work_session.h"
#include "ui/least_sure_panel.h"
#include "ui/log_area.h"
#include "ui/user_messages.h"

LeastSureReview::LeastSureReview(WorkSession& session, LeastSurePanel& panel, LogArea& area, UserMessages& messages,
                                 QObject* parent)
    : QObject(parent), session_(session), panel_(panel), area_(area), messages_(messages)
{
    // Closing the panel ends the review.
    connect(&panel_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible)
            reviewing_ = false;
    });
}

std::optional<std::size_t> LeastSureReview::current() const
{
    if (!reviewing_ || position_ >= order_.size())
        return std::nullopt;
    return order_[position_];
}

void LeastSureReview::start()
{
    panel_.show();
    panel_.raise();
    reviewing_ = true;
    position_ = 0;
    frame();
}

void LeastSureReview::step(bool forward)
{
    if (order_.empty())
        return;
    position_ = forward ? std::min(position_ + 1, order_.size() - 1) : position_ > 0 ? position_ - 1 : 0;
    frame();
}

void LeastSureReview::keep() { apply(true); }

void LeastSureReview::remove() { apply(false); }

void LeastSureReview::apply(bool keeping)
{
    const std::optional<std::size_t> dip = current();
    if (!dip)
        return;
    // The dip leaves the order either way: the one after it takes its place.
    QString error;
    const bool done = keeping ? session_.apply(KeepDip{*dip}, error) : session_.apply(DeleteDip{*dip}, error);
    if (!done)
        messages_.showError(QStringLiteral("Review Least Sure"), error);
    frame();
}

void LeastSureReview::follow()
{
    if (reviewing_)
        frame();
}

void LeastSureReview::frame()
{
    order_ = leastSureDips(session_.work());
    if (!order_.empty())
        position_ = std::min(position_, order_.size() - 1);
    const std::optional<std::size_t> dip = current();
    if (!dip) {
        panel_.showReview(0, QString());
        return;
    }
    const Dip& d = session_.work().dips[*dip];
    const Calibration& c = session_.calibration();
    const auto reading = [](const Reading& r) {
        return r ? QString::fromStdString(formatOneDecimal(*r)) : QStringLiteral("NO CAL");
    };
    panel_.showReview(int(order_.size()), QStringLiteral("Depth %1, dip %2°, azimuth %3°, grade %4, %5 % sure.")
                                             .arg(reading(c.depthAt(d.y)), reading(c.dipAt(d.x, d.y)))
                                             .arg(int(std::lround(d.azimuth)) % 360)
                                             .arg(d.grade.empty() ? QStringLiteral("none")
                                                                  : QString::fromStdString(d.grade))
                                             .arg(*d.confidence));
    area_.centreOn(d.x, d.y);
}

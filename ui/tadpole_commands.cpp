#include "ui/tadpole_commands.h"

#include <cmath>

#include "model/number_format.h"
#include "session/tadpole_search.h"
#include "ui/found_tadpoles_panel.h"
#include "ui/log_area.h"
#include "ui/program_settings.h"
#include "ui/search_progress.h"
#include "ui/user_messages.h"

TadpoleCommands::TadpoleCommands(WorkSession& session, FoundTadpolesPanel& panel, LogArea& area,
                                 UserMessages& messages, QWidget* parent)
    : QObject(parent), session_(session), panel_(panel), area_(area), messages_(messages), parent_(parent)
{
}

TadpoleCommands::~TadpoleCommands() = default;

DetectionSettings TadpoleCommands::wanted() const
{
    return detectionSettings(panel_.search());
}

void TadpoleCommands::find()
{
    if (search_)
        return;
    search_ = session_.tadpoleSearch(wanted());
    if (!search_)
        return;
    progress_ = std::make_unique<SearchProgress>(*search_, parent_, QStringLiteral("findprogress"),
                                                 QStringLiteral("Find Tadpoles"), QStringLiteral("Finding tadpoles..."),
                                                 progressDelay_);
    connect(search_.get(), &PictureSearch::finished, this, &TadpoleCommands::finish);
    search_->start();
}

void TadpoleCommands::finish()
{
    const std::unique_ptr<TadpoleSearch> run = std::move(search_);
    progress_.reset();
    if (!run->cancelled()) {  // else nothing kept, nothing changed
        panel_.showScan(run->result().context);
        panel_.showCurrent(QString());
        session_.review(run->result(), panel_.search().minConfidence);
        if (!session_.found().empty())
            emit reviewStarted();
    }
    emit searchEnded();
}

void TadpoleCommands::followReview()
{
    panel_.showCounts(session_.found().counts());
    if (!session_.found().empty()) {
        panel_.show();
        panel_.raise();
    }
}

void TadpoleCommands::accept()
{
    if (session_.found().empty())
        return;
    const SearchSettings search = panel_.search();
    const std::size_t before = session_.work().dips.size();
    QString error;
    if (!session_.acceptFound(search.filledGrade, search.hollowGrade, error)) {
        messages_.showError(QStringLiteral("Add Found Tadpoles"), error);
        return;
    }
    const std::size_t added = session_.work().dips.size() - before;
    panel_.showCurrent(QStringLiteral("%1 dip%2 added.").arg(added).arg(added == 1 ? QString() : QStringLiteral("s")));
}

void TadpoleCommands::reject()
{
    if (session_.found().empty())
        return;
    session_.rejectFound();
    panel_.showCurrent(QStringLiteral("Nothing added: the proposals were dropped."));
}

void TadpoleCommands::step(bool forward)
{
    FoundReview& found = session_.found();
    const int index = forward ? found.next() : found.previous();
    if (index < 0)
        return;
    const Proposal& p = found.proposals()[std::size_t(index)];
    const Calibration& c = session_.calibration();
    panel_.showCurrent(QStringLiteral("Depth %1, dip %2°, azimuth %3°, %4, %5 % sure.")
                           .arg(QString::fromStdString(formatOneDecimal(c.depthAt(p.y))),
                                QString::fromStdString(formatOneDecimal(c.dipAt(p.x, p.y))))
                           .arg(int(std::lround(p.azimuth)) % 360)
                           .arg(p.filled ? QStringLiteral("filled") : QStringLiteral("hollow"))
                           .arg(int(std::floor(100 * p.confidence))));
    area_.centreOn(p.x, p.y);
}

std::optional<ToolHost::SnapTarget> TadpoleCommands::snapTarget(double x, double y, double reach)
{
    const auto found = session_.tadpoleAt(x, y, reach, wanted());
    if (!found)
        return std::nullopt;
    return ToolHost::SnapTarget{found->x, found->y, found->azimuth};
}

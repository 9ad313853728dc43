#include "ui/calibration_commands.h"

#include "session/calibration_search.h"
#include "ui/found_calibration_panel.h"
#include "ui/log_area.h"
#include "ui/search_progress.h"
#include "ui/user_messages.h"

namespace {

const QString kTitle = QStringLiteral("Find Calibration");

}  // namespace

CalibrationCommands::CalibrationCommands(WorkSession& session, FoundCalibrationPanel& panel, LogArea& area,
                                         UserMessages& messages, QWidget* parent)
    : QObject(parent), session_(session), panel_(panel), area_(area), messages_(messages), parent_(parent)
{
}

CalibrationCommands::~CalibrationCommands() = default;

void CalibrationCommands::find()
{
    if (search_)
        return;
    search_ = session_.calibrationSearch();
    if (!search_)
        return;
    progress_ = std::make_unique<SearchProgress>(*search_, parent_, QStringLiteral("calibrationprogress"), kTitle,
                                                 QStringLiteral("Finding the calibration..."), progressDelay_);
    connect(search_.get(), &PictureSearch::finished, this, &CalibrationCommands::finish);
    search_->start();
}

void CalibrationCommands::finish()
{
    const std::unique_ptr<CalibrationSearch> run = std::move(search_);
    progress_.reset();
    if (!run->cancelled()) {
        const FoundCalibration& found = run->result();
        if (!found.failure.empty()) {
            panel_.showRefused(found);
            panel_.show();
            panel_.raise();
            messages_.showError(kTitle, QStringLiteral("No calibration was found on the log: %1")
                                            .arg(QString::fromStdString(found.failure)));
        } else {
            session_.reviewCalibration(found);
            area_.centreRow(found.calibration.rows.front().y);
            emit reviewStarted();
        }
    }
    emit searchEnded();
}

void CalibrationCommands::followReview()
{
    const auto& found = session_.foundCalibration();
    panel_.showFound(found ? &*found : nullptr);
    if (found) {
        panel_.show();
        panel_.raise();
    }
}

void CalibrationCommands::accept()
{
    const auto& found = session_.foundCalibration();
    if (!found)
        return;
    // Only depth rows are work worth a question: the dip scale alone is
    // what the program asks for first, on every log.
    if (!session_.work().depthRows.empty() &&
        !messages_.askYesNo(kTitle, QStringLiteral("The log is calibrated already. Replace its dip scale, depth "
                                                   "rows and edges with those found on the log?")))
        return;
    const std::size_t rows = found->calibration.rows.size();
    QString error;
    if (!session_.acceptFoundCalibration(error)) {
        messages_.showError(kTitle, error);
        return;
    }
    const QString outcome = QStringLiteral("Calibration accepted: %1 depth rows.").arg(rows);
    panel_.showOutcome(outcome);
    emit accepted();
    emit reviewEnded(outcome);
}

void CalibrationCommands::reject()
{
    if (!session_.foundCalibration())
        return;
    session_.rejectFoundCalibration();
    const QString outcome = QStringLiteral("Calibration rejected: the work is as it was.");
    panel_.showOutcome(outcome);
    emit reviewEnded(outcome);
}

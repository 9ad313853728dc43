#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QString>

#include "interaction/tool_host.h"
#include "session/work_session.h"

class FoundTadpolesPanel;
class LogArea;
class SearchProgress;
class TadpoleSearch;
class UserMessages;
class QWidget;

// "Find Tadpoles" with its progress, the review of what it found in the
// "Found Tadpoles" panel, and snap's search round a press.
class TadpoleCommands : public QObject {
    Q_OBJECT
public:
    TadpoleCommands(WorkSession& session, FoundTadpolesPanel& panel, LogArea& area, UserMessages& messages,
                    QWidget* parent);
    ~TadpoleCommands() override;

    void setProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }
    // While a search runs; the window's input is held back meanwhile.
    bool searching() const { return search_ != nullptr; }

    // The search over the calibrated log, in the background.
    void find();
    void accept();
    void reject();
    // The view stepped to the next or previous proposal, described in the panel.
    void step(bool forward);
    // The panel and its keys after the proposals changed.
    void followReview();
    // With snap on: the printed tadpole near a press.
    std::optional<ToolHost::SnapTarget> snapTarget(double x, double y, double reach);

signals:
    // The search ended, found or cancelled.
    void searchEnded();
    // Tadpoles were found to review: the window digitizes.
    void reviewStarted();

private:
    void finish();
    DetectionSettings wanted() const;

    WorkSession& session_;
    FoundTadpolesPanel& panel_;
    LogArea& area_;
    UserMessages& messages_;
    QWidget* parent_;
    int progressDelay_ = 500;
    std::unique_ptr<TadpoleSearch> search_;
    std::unique_ptr<SearchProgress> progress_;
};

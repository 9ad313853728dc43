// Every change of the work goes through apply, which keeps it on the undo
// stack; undo and redo put a snapshot back and show it.
#include <stdexcept>
#include <type_traits>
#include <variant>

#include <QAction>
#include <QLabel>
#include <QUndoStack>

#include "core/calibration_dialogs.h"
#include "interaction/picture_mouse.h"
#include "ui/enter_dip_scales.h"
#include "ui/main_window.h"
#include "ui/user_messages.h"
#include "ui/work_command.h"
#include "ui/work_recovery.h"

namespace {

// The name of the action in "Undo ..." and "Redo ...".
QString actionName(const WorkEdit& edit)
{
    return std::visit(
        [](const auto& e) -> QString {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, DefineDipScale>)
                return QStringLiteral("Define Dip Scale");
            else if constexpr (std::is_same_v<E, RecordCustomPosition>)
                return QStringLiteral("Custom Scale Position");
            else if constexpr (std::is_same_v<E, PlaceDepthLine> || std::is_same_v<E, EnterDepth>
                               || std::is_same_v<E, WithdrawDepthLine>)
                return QStringLiteral("Add Depth Line");
            else if constexpr (std::is_same_v<E, SetMinDipPosition>)
                return QStringLiteral("Minimum Dip Position");
            else if constexpr (std::is_same_v<E, CompleteDepthRow>)
                return QStringLiteral("Complete Depth Row");
            else if constexpr (std::is_same_v<E, DeleteDepthRows>)
                return QStringLiteral("Delete Depth Lines");
            else if constexpr (std::is_same_v<E, SetMark>) {
                const char* names[] = {"Set Header Top", "Set Header Bottom", "Set Footer Top",
                                       "Set Footer Bottom", "Set Left Edge", "Set Right Edge"};
                return QString::fromLatin1(names[static_cast<int>(e.mark)]);
            } else if constexpr (std::is_same_v<E, StartDip> || std::is_same_v<E, FinishDip>)
                return QStringLiteral("Add Dip");
            else if constexpr (std::is_same_v<E, EraseDips>)
                return QStringLiteral("Area Erase");
            else if constexpr (std::is_same_v<E, AddFoundDips>)
                return QStringLiteral("Add Found Tadpoles");
            else if constexpr (std::is_same_v<E, SwitchGrid>)
                return QStringLiteral("Show Grid");
            else
                return QStringLiteral("Delete Dip");
        },
        edit);
}

}  // namespace

void DigitizeWindow::createHistory()
{
    undoStack_ = new QUndoStack(this);
    undoStack_->setUndoLimit(200);
    connect(undoStack_, &QUndoStack::indexChanged, this, &DigitizeWindow::followSavedState);
    connect(undoStack_, &QUndoStack::cleanChanged, this, &DigitizeWindow::followSavedState);
    recovery_ = std::make_unique<WorkRecovery>([this] { return recoveryContent(); });
    connect(recovery_.get(), &WorkRecovery::failed, this, [this](const QString& reason) {
        messages_->showError(QStringLiteral("Recovery"),
                             QStringLiteral("Unsaved work cannot be kept for recovery after a crash:\n%1\nSave the "
                                            "project to keep it.")
                                 .arg(reason));
    });
}

void DigitizeWindow::apply(const WorkEdit& edit)
{
    WorkSnapshot before = std::holds_alternative<EnterDepth>(edit) && beforeDepthLine_ ? *beforeDepthLine_
                                                                                        : takeSnapshot(state_);
    try {
        applyEdit(state_, edit);
    } catch (const std::out_of_range& refused) {
        messages_->showError(actionName(edit), QStringLiteral("This action was refused (%1); nothing was changed.")
                                                   .arg(QString::fromLatin1(refused.what())));
        return;
    }
    // A depth line is one action with its depth: recorded once the depth is
    // entered, from the work as it was before the line.
    if (std::holds_alternative<PlaceDepthLine>(edit)) {
        beforeDepthLine_ = std::move(before);
        return;
    }
    beforeDepthLine_.reset();
    if (std::holds_alternative<WithdrawDepthLine>(edit))
        return;
    WorkSnapshot after = takeSnapshot(state_);
    if (after == before)
        return;
    const auto kind = std::holds_alternative<StartDip>(edit)    ? WorkCommand::Kind::DipStarted
                      : std::holds_alternative<FinishDip>(edit) ? WorkCommand::Kind::DipFinished
                                                                : WorkCommand::Kind::Whole;
    undoStack_->push(new WorkCommand(actionName(edit), std::move(before), std::move(after),
                                     [this](const WorkSnapshot& work) { restoreWork(work); }, kind));
    refreshStatistics();
}

void DigitizeWindow::restoreWork(const WorkSnapshot& work)
{
    mouse_->disarm();
    restoreSnapshot(state_, work);
    label11_->setText(QString::fromStdString(dipScaleCaption(state_.DipScaleMode)));
    label11_->setVisible(state_.DipScaleDefined);
    showSequencePrompt();
    redraw();
    refreshStatistics();
}

void DigitizeWindow::showSequencePrompt()
{
    if (state_.AwaitCustomClick)
        setDipScalePrompt(::dipScalePrompt(state_.CustomClicks * 10 + state_.MINDIP));
    else if (state_.AwaitMinDipClick)
        setDipScalePrompt(::dipScalePrompt(state_.MINDIP));
    else if (state_.AwaitMaxDipClick)
        setDipScalePrompt(::dipScalePrompt(state_.MAXDIP));
    showDipScalePrompt(state_.AwaitCustomClick || state_.AwaitMinDipClick || state_.AwaitMaxDipClick);
}

void DigitizeWindow::escapePressed()
{
    if (mouse_->disarm() || !state_.interaction.AwaitingAzimuth)
        return;
    const auto* top = dynamic_cast<const WorkCommand*>(undoStack_->command(undoStack_->index() - 1));
    if (top && top->awaitsTail())
        undoStack_->undo();  // the dip leaves as its undo takes it, and can come back
    else
        mouse_->removePendingDip();
}

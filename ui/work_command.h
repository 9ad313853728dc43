#pragma once

#include <cstddef>
#include <functional>

#include <QUndoCommand>

class QUndoStack;

#include "core/work_snapshot.h"

// One user action on the work as the undo stack keeps it: the work before
// and after it. The action is done when the command is pushed, so the first
// redo finds nothing to do. The two presses of a dip are one action: the
// command of the first press takes in the one of the second.
class WorkCommand : public QUndoCommand {
public:
    using Restore = std::function<void(const WorkSnapshot&)>;
    enum class Kind { Whole, DipStarted, DipFinished };

    WorkCommand(const QString& text, WorkSnapshot before, WorkSnapshot after, Restore restore,
                Kind kind = Kind::Whole);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    // The dip placed by this command still awaits its tail.
    bool awaitsTail() const { return kind_ == Kind::DipStarted; }
    const WorkSnapshot& before() const { return before_; }
    const WorkSnapshot& after() const { return after_; }

private:
    WorkSnapshot before_;
    WorkSnapshot after_;
    Restore restore_;
    Kind kind_;
    bool done_ = true;
};

// The memory the history holds besides the work: the snapshots' own bytes,
// and each dip block that only the history keeps, once however many share it.
std::size_t historyBytes(const QUndoStack& stack, const ProjectState& work);

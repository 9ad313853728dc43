#include "ui/work_command.h"

namespace {

constexpr int kDipId = 1;

}  // namespace

WorkCommand::WorkCommand(const QString& text, WorkSnapshot before, WorkSnapshot after, Restore restore, Kind kind)
    : QUndoCommand(text), before_(std::move(before)), after_(std::move(after)), restore_(std::move(restore)),
      kind_(kind)
{
}

void WorkCommand::undo()
{
    restore_(before_);
    done_ = false;
}

void WorkCommand::redo()
{
    if (!done_)
        restore_(after_);
    done_ = true;
}

int WorkCommand::id() const { return kind_ == Kind::Whole ? -1 : kDipId; }

bool WorkCommand::mergeWith(const QUndoCommand* other)
{
    const auto* finished = static_cast<const WorkCommand*>(other);
    if (kind_ != Kind::DipStarted || finished->kind_ != Kind::DipFinished)
        return false;
    after_ = finished->after_;
    kind_ = Kind::Whole;
    return true;
}

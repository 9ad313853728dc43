#include "ui/work_command.h"

#include <set>

#include <QUndoStack>

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

std::size_t historyBytes(const QUndoStack& stack, const ProjectState& work)
{
    std::set<const void*> inWork, kept;
    work.dips.forEachBlock([&](const void* block) { inWork.insert(block); });
    std::size_t bytes = 0;
    for (int i = 0; i < stack.count(); ++i) {
        const auto* command = dynamic_cast<const WorkCommand*>(stack.command(i));
        if (!command)
            continue;
        for (const WorkSnapshot* snapshot : {&command->before(), &command->after()}) {
            bytes += snapshotOwnBytes();
            snapshot->dips.forEachBlock([&](const void* block) {
                if (!inWork.count(block))
                    kept.insert(block);
            });
        }
    }
    return bytes + kept.size() * SharedTable<DipPoint, kMaxDips + 1>::kBlockBytes;
}

#include "model/work_history.h"

#include <set>
#include <utility>

void WorkHistory::start(Work work, bool unsaved)
{
    steps_.clear();
    steps_.push_back(Step{"", std::move(work)});
    at_ = 0;
    dropped_ = 0;
    savedAt_ = unsaved ? -1 : 0;
}

void WorkHistory::record(std::string name, Work after)
{
    steps_.erase(steps_.begin() + std::ptrdiff_t(at_) + 1, steps_.end());
    steps_.push_back(Step{std::move(name), std::move(after)});
    ++at_;
    if (steps_.size() > kLimit + 1) {
        steps_.pop_front();
        --at_;
        ++dropped_;
    }
}

std::string WorkHistory::undoName() const { return canUndo() ? steps_[at_].name : std::string(); }

std::string WorkHistory::redoName() const { return canRedo() ? steps_[at_ + 1].name : std::string(); }

const Work& WorkHistory::undo()
{
    if (canUndo())
        --at_;
    return work();
}

const Work& WorkHistory::redo()
{
    if (canRedo())
        ++at_;
    return work();
}

std::size_t WorkHistory::bytesHeld() const
{
    std::set<const void*> inWork, kept;
    work().dips.forEachBlock([&](const void* block) { inWork.insert(block); });
    std::size_t bytes = 0;
    for (const Step& s : steps_) {
        bytes += sizeof(Step) + s.name.capacity() + s.work.depthRows.capacity() * sizeof(DepthRow);
        if (s.work.scale)
            bytes += s.work.scale->customSteps.capacity() * sizeof(double);
        s.work.dips.forEachBlock([&](const void* block) {
            if (!inWork.count(block))
                kept.insert(block);
        });
    }
    return bytes + kept.size() * DipList::kBlockBytes;
}

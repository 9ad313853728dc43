#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "model/work.h"

// The work after each action, for undo and redo, and the place of the last
// save: the work is unsaved exactly when the history stands elsewhere. Each
// step keeps a whole Work; their dips share the blocks that did not change.
class WorkHistory {
public:
    static constexpr std::size_t kLimit = 200;  // actions kept; older ones cannot be undone

    // A new piece of work, saved as it stands (or not, when unsaved is set:
    // work recovered, or a project whose picture was looked for elsewhere).
    void start(Work work, bool unsaved = false);

    const Work& work() const { return steps_[at_].work; }

    // An action done: the work after it. The actions undone are forgotten.
    void record(std::string name, Work after);

    bool canUndo() const { return at_ > 0; }
    bool canRedo() const { return at_ + 1 < steps_.size(); }
    // The actions undo can take back now.
    std::size_t undoCount() const { return at_; }
    // The action undo or redo would take back or do again; "" when none.
    std::string undoName() const;
    std::string redoName() const;
    const Work& undo();
    const Work& redo();

    bool saved() const { return savedAt_ == std::ptrdiff_t(at_) + dropped_; }
    void markSaved() { savedAt_ = std::ptrdiff_t(at_) + dropped_; }

    // The memory the history holds besides the work in hand: each step's own
    // bytes and every dip block that only the history keeps.
    std::size_t bytesHeld() const;

private:
    struct Step {
        std::string name;  // of the action that led here; "" for the start
        Work work;
    };
    std::deque<Step> steps_{Step{}};
    std::size_t at_ = 0;
    std::ptrdiff_t dropped_ = 0;  // steps dropped off the front beyond the limit
    std::ptrdiff_t savedAt_ = 0;  // counted with those dropped; -1 none
};

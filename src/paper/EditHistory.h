#pragma once

#include "paper/PaperEdit.h"

#include <deque>

// The steps of the open paper that can be undone and done again, oldest first, and the
// point at which the paper was last the one on disk (the clean point). Undoing moves
// back past a step, redoing forward; recording a new step drops every step that could
// still be redone. Only the newest `limit` steps are kept.
class EditHistory
{
public:
    static constexpr int DefaultLimit = 1000;

    explicit EditHistory(int limit = DefaultLimit) : limit_(limit) {}

    // Empties the history; the paper as it is now is clean or not.
    void clear(bool clean);
    void record(PaperEdit edit);

    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < int(steps_.size()); }
    // The step an undo or a redo would apply; only when canUndo() / canRedo().
    const PaperEdit &stepToUndo() const { return steps_[std::size_t(index_ - 1)]; }
    const PaperEdit &stepToRedo() const { return steps_[std::size_t(index_)]; }
    void stepBack() { --index_; }
    void stepForward() { ++index_; }

    // The paper as it is now is the one on disk.
    void setClean() { cleanIndex_ = index_; }
    bool isClean() const { return cleanIndex_ == index_; }

    int count() const { return int(steps_.size()); }
    int index() const { return index_; }

private:
    static constexpr int Unreachable = -1;

    std::deque<PaperEdit> steps_;
    int index_ = 0;          // steps before it are done, from it on undone
    int cleanIndex_ = 0;
    int limit_;
};

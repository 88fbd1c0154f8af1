#include "paper/EditHistory.h"

void EditHistory::clear(bool clean)
{
    steps_.clear();
    index_ = 0;
    cleanIndex_ = clean ? 0 : Unreachable;
}

void EditHistory::record(PaperEdit edit)
{
    steps_.erase(steps_.begin() + index_, steps_.end());
    if (cleanIndex_ > index_)
        cleanIndex_ = Unreachable; // the clean paper could only have been redone
    steps_.push_back(std::move(edit));
    ++index_;
    if (int(steps_.size()) > limit_) {
        steps_.pop_front();
        --index_;
        cleanIndex_ = cleanIndex_ > 0 ? cleanIndex_ - 1 : Unreachable;
    }
}

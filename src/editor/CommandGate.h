#pragma once

#include <functional>

// One command of the window at a time. A command's modal dialogs run event loops of
// their own, in which the toolbar's clicks, its keys and a dropped file still reach the
// window; and a command that waits for a save to come first is rerun later by the
// window's timer. Every way into a command passes here, and is ignored, quietly, while
// another command runs or waits for its rerun.
class CommandGate
{
public:
    // commandWaits tells whether a command waits for its rerun.
    explicit CommandGate(std::function<bool()> commandWaits);

    // Runs the command when no other runs or waits; false when it was ignored.
    bool start(const std::function<void()> &command);
    // Runs the rerun of the command that waited: false while another command is still
    // running (the timer then comes back to it on its next tick).
    bool rerun(const std::function<void()> &command);

    bool commandRunning() const { return running_; }

private:
    bool runNow(const std::function<void()> &command);

    std::function<bool()> commandWaits_;
    bool running_ = false;
};

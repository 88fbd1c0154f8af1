#include "editor/CommandGate.h"

#include <utility>

CommandGate::CommandGate(std::function<bool()> commandWaits) : commandWaits_(std::move(commandWaits))
{
}

bool CommandGate::start(const std::function<void()> &command)
{
    if (commandWaits_())
        return false;
    return runNow(command);
}

bool CommandGate::rerun(const std::function<void()> &command)
{
    return runNow(command);
}

bool CommandGate::runNow(const std::function<void()> &command)
{
    if (running_)
        return false;
    running_ = true;
    // Reset on every way out, so an exception cannot leave the window refusing all.
    struct Finished {
        bool &running;
        ~Finished() { running = false; }
    } finished{running_};
    command();
    return true;
}

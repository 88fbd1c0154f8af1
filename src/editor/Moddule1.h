#pragma once

#include "editor/FormPaperLayout.h"
#include "core/SharedState.h"

#include <QString>
#include <functional>
#include <memory>

class FormPaper;
class ModalSeam;

// What start-up takes from the machine it runs on; tests pass their own.
struct StartupEnvironment
{
    QString programFolder;
    ModalSeam *seam = nullptr;
    std::function<ScreenMetrics()> screen;

    // The running program: its own folder, the desktop's dialogs, the primary screen.
    static StartupEnvironment desktop();
};

// The start-up module: reads the installation type, puts the shared state in its
// start values, and opens the main window on a blank paper.
class Moddule1
{
public:
    explicit Moddule1(StartupEnvironment environment);
    ~Moddule1();

    void Main();
    void ReadTypeInfo();

    SharedState &state() { return state_; }
    FormPaper *formPaper() const { return formPaper_.get(); }

private:
    StartupEnvironment environment_;
    std::unique_ptr<ModalSeam> ownedSeam_;
    SharedState state_;
    std::unique_ptr<FormPaper> formPaper_;
};

#include "editor/Moddule1.h"

#include "editor/FormPaper.h"
#include "paper/PaperDocument.h"
#include "widgets/ModalSeam.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

StartupEnvironment StartupEnvironment::desktop()
{
    StartupEnvironment environment;
    environment.programFolder = QCoreApplication::applicationDirPath();
    environment.screen = [] {
        ScreenMetrics metrics;
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            metrics.pixels = screen->size();
            metrics.logicalDpi = screen->logicalDotsPerInch();
        }
        return metrics;
    };
    return environment;
}

Moddule1::Moddule1(StartupEnvironment environment) : environment_(std::move(environment))
{
    if (!environment_.seam) {
        ownedSeam_ = std::make_unique<DesktopModalSeam>();
        environment_.seam = ownedSeam_.get();
    }
    if (!environment_.screen)
        environment_.screen = [] { return ScreenMetrics{}; };
}

Moddule1::~Moddule1() = default;

void Moddule1::ReadTypeInfo()
{
    const QString path = QDir(environment_.programFolder).filePath(TypeInfoFileName);
    const TypeInfoReadResult result = ReadTypeInfoFile(path);
    state_.typeInfo = result.record;
    if (!result.ok) {
        MessageBoxRequest warning;
        warning.text = QStringLiteral("Type Information Error!");
        warning.detailedText = result.reason;
        environment_.seam->showMessage(nullptr, warning);
    }
}

void Moddule1::Main()
{
    ReadTypeInfo();
    state_.defaultMark = 10;
    state_.defaultTimeLimit = 15;

    if (!formPaper_) {
        formPaper_ = std::make_unique<FormPaper>(state_, *environment_.seam, environment_.screen(),
                                                 environment_.programFolder);
    }
    formPaper_->document().setModified(false);
    formPaper_->document().setPath({});
    formPaper_->Form_LoadPro();

    state_.startupFlag = true;
    formPaper_->NewPaper_Click();
    state_.startupFlag = false;

    formPaper_->show();
}

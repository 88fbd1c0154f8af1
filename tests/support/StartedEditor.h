#pragma once

#include "FakeModalSeam.h"
#include "editor/FormPaper.h"
#include "editor/Moddule1.h"
#include "paper/PaperDocument.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <optional>

// An editor started the way the program starts, in a program folder of its own,
// with a scripted modal seam and a chosen screen.
struct StartedEditor
{
    QTemporaryDir programFolder;
    FakeModalSeam seam;
    std::unique_ptr<Moddule1> startup;

    enum class TypeInfoPath { FileOrMissing, Folder };

    // typeInfo: the bytes of TypeInfo.con, or nothing for a missing file; a folder of
    // that name stands for a record that cannot be read.
    explicit StartedEditor(std::optional<QByteArray> typeInfo = TypeInfoRecord::validBytes(3),
                           ScreenMetrics screen = {},
                           TypeInfoPath path = TypeInfoPath::FileOrMissing)
    {
        if (path == TypeInfoPath::Folder) {
            QDir(programFolder.path()).mkdir(TypeInfoFileName);
        } else if (typeInfo) {
            QFile file(programFolder.filePath(TypeInfoFileName));
            if (file.open(QIODevice::WriteOnly))
                file.write(*typeInfo);
        }
        StartupEnvironment environment;
        environment.programFolder = programFolder.path();
        environment.seam = &seam;
        environment.screen = [screen] { return screen; };
        startup = std::make_unique<Moddule1>(environment);
        startup->Main();
    }

    FormPaper &form() const { return *startup->formPaper(); }
    SharedState &state() const { return startup->state(); }
    PaperDocument &document() const { return form().document(); }

    template <typename T>
    T *child(const QString &name) const
    {
        return form().findChild<T *>(name);
    }
};

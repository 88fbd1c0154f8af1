#pragma once

#include "core/FileError.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstring>

// The pieces every reason about a file is made of, so that all of them read alike.
namespace FileErrorText {

// The system's words for an errno value.
inline QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A path as the user reads it in a reason: whole, with the platform's separators.
inline QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

inline FileError cannotWrite(const QString &target, const QString &why)
{
    return FileError(QStringLiteral("cannot write %1: %2").arg(shown(target), why));
}

} // namespace FileErrorText

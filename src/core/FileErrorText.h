#pragma once

#include "core/FileError.h"
#include "core/FileNameBytes.h"

#include <QDir>
#include <QString>

#include <cstring>

// The pieces every reason about a file is made of, so that all of them read alike.
namespace FileErrorText {

// The system's words for an errno value.
inline QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A path as the user reads it in a reason: whole, with the platform's separators, and
// any byte of its name that is not UTF-8 as \xNN.
inline QString shown(const QString &path)
{
    return ReadableFileName(QDir::toNativeSeparators(AbsoluteFileName(path)));
}

inline FileError cannotWrite(const QString &target, const QString &why)
{
    return FileError(QStringLiteral("cannot write %1: %2").arg(shown(target), why));
}

} // namespace FileErrorText

#pragma once

#include <QString>

// The sentences the platform readers share for what of a question they could not take;
// the question is named as its file names it.
namespace platform {
inline QString mediaLeftOut(const QString &name)
{
    return QStringLiteral("Question \"%1\" has pictures or other media, which are left out.").arg(name);
}
inline QString emptyOptionLeftOut(const QString &name)
{
    return QStringLiteral("Question \"%1\" has an answer without text, which is left out.").arg(name);
}
} // namespace platform

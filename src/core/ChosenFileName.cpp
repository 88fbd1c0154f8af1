#include "core/ChosenFileName.h"

#include "core/FileNameBytes.h"

#include <QFile>
#include <QStringList>

#include <dirent.h>

namespace {
constexpr QChar Replacement(0xFFFD);

// The entry of folder that Qt shows as shown, when exactly one is.
std::optional<QString> onlyEntryShownAs(const QString &folder, const QString &shown)
{
    DIR *listing = ::opendir(FileNameBytes(folder).constData());
    if (!listing)
        return std::nullopt;
    std::optional<QString> found;
    int matches = 0;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (QFile::decodeName(name) == shown && ++matches == 1)
            found = FileNameOfBytes(name);
    }
    ::closedir(listing);
    return matches == 1 ? found : std::nullopt;
}
} // namespace

QString ChosenFileName(const QString &shownPath)
{
    if (!shownPath.contains(Replacement))
        return shownPath;
    const QString absolute = AbsoluteFileName(shownPath);
    QString resolved;
    for (const QString &part : absolute.split(u'/', Qt::SkipEmptyParts)) {
        const QString folder = resolved.isEmpty() ? QStringLiteral("/") : resolved;
        QString name = part;
        if (part.contains(Replacement))
            name = onlyEntryShownAs(folder, part).value_or(part);
        resolved += u'/' + name;
    }
    return resolved.isEmpty() ? QStringLiteral("/") : resolved;
}

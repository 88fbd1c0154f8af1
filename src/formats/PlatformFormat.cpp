#include "formats/PlatformFormat.h"

#include <algorithm>

const QList<PlatformFormatName> &PlatformFormatNames()
{
    static const QList<PlatformFormatName> names = {
        {PlatformFormat::MoodleXml, "Moodle XML", "moodle-xml", "Moodle XML (*.xml)", "xml"},
        {PlatformFormat::Gift, "GIFT", "gift", "GIFT (*.gift)", "gift"},
        {PlatformFormat::Aiken, "Aiken", "aiken", "Aiken (*.txt)", "txt"},
        {PlatformFormat::Qti21, "QTI 2.1 package", "qti21", "QTI 2.1 package (*.zip)", "zip"},
        {PlatformFormat::Kahoot, "Kahoot! spreadsheet", "kahoot", "Kahoot! spreadsheet (*.xlsx)", "xlsx"},
    };
    return names;
}

const PlatformFormatName &NameOf(PlatformFormat format)
{
    const QList<PlatformFormatName> &names = PlatformFormatNames();
    return *std::find_if(names.begin(), names.end(),
                         [format](const PlatformFormatName &name) { return name.format == format; });
}

std::optional<PlatformFormat> PlatformFormatOfWord(const QString &word)
{
    for (const PlatformFormatName &name : PlatformFormatNames()) {
        if (word == QLatin1StringView(name.word))
            return name.format;
    }
    return std::nullopt;
}

std::optional<PlatformFormat> PlatformFormatOfFilter(const QString &filter)
{
    for (const PlatformFormatName &name : PlatformFormatNames()) {
        if (filter == QLatin1StringView(name.filter))
            return name.format;
    }
    return std::nullopt;
}

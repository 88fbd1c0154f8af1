#pragma once

#include "formats/PlatformExport.h"

#include <QList>
#include <QString>
#include <optional>

class QuestionTable;

// The learning-platform formats a paper can be written in, with the words and names by
// which the user chooses them.
enum class PlatformFormat { MoodleXml, Gift, Aiken, Qti21, Kahoot };

struct PlatformFormatName
{
    PlatformFormat format;
    const char *name;      // as the user reads it: "Moodle XML"
    const char *word;      // paperconv's --to word: "moodle-xml"
    const char *filter;    // the export dialog's filter: "Moodle XML (*.xml)"
    const char *extension; // without the dot: "xml"
};

// Every format, in the order the export dialog offers them.
const QList<PlatformFormatName> &PlatformFormatNames();
const PlatformFormatName &NameOf(PlatformFormat format);
std::optional<PlatformFormat> PlatformFormatOfWord(const QString &word);
std::optional<PlatformFormat> PlatformFormatOfFilter(const QString &filter);

// The paper in the format; paperName names its category or test.
PlatformExport WritePlatformFormat(PlatformFormat format, const QuestionTable &paper,
                                   const QString &paperName);

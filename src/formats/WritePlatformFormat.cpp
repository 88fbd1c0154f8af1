// Apart from the names of the formats, so that a program can read those without linking
// every writer and the libraries they need.
#include "formats/PlatformFormat.h"

#include "formats/Aiken.h"
#include "formats/Gift.h"
#include "formats/KahootSheet.h"
#include "formats/MoodleXml.h"
#include "formats/Qti21.h"

PlatformExport WritePlatformFormat(PlatformFormat format, const QuestionTable &paper,
                                   const QString &paperName)
{
    switch (format) {
    case PlatformFormat::MoodleXml:
        return WriteMoodleXml(paper, paperName);
    case PlatformFormat::Gift:
        return WriteGift(paper, paperName);
    case PlatformFormat::Aiken:
        return WriteAiken(paper);
    case PlatformFormat::Qti21:
        return WriteQti21Package(paper, paperName);
    case PlatformFormat::Kahoot:
        return WriteKahootSheet(paper);
    }
    return {};
}

#include "paper/ForeignFile.h"

#include "core/PaperColumns.h"
#include "paper/XmlFirstElement.h"
#include "paper/ZipEntryNames.h"
#include "workbook/WorkbookFile.h"

#include <QList>
#include <QRegularExpression>

namespace {
constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

bool hasSuffix(const QString &name, QLatin1StringView suffix)
{
    return name.endsWith(suffix, Qt::CaseInsensitive);
}

QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith(Utf8ByteOrderMark) ? bytes.sliced(3) : bytes;
}

QString zipReason(QIODevice &device, qint64 start)
{
    const QByteArrayList names = ZipEntryNames(device, start);
    if (names.contains("xl/workbook.xml"))
        return QStringLiteral("the file is an Excel workbook (.xlsx); IMPORT reads workbooks");
    if (names.contains("imsmanifest.xml"))
        return QStringLiteral("the file is a QTI 2.1 package; IMPORT reads QTI packages (*.zip)");
    return QStringLiteral("the file is a zip archive, neither a workbook nor a QTI package; "
                          "a paper file is text");
}

std::optional<QString> xmlReason(QByteArrayView text)
{
    if (!text.trimmed().startsWith('<'))
        return std::nullopt;
    const QByteArray root = FirstXmlElementName(text);
    if (root == "quiz")
        return QStringLiteral("the file is a Moodle XML quiz; IMPORT reads Moodle XML files (*.xml)");
    if (root == "assessmentItem")
        return QStringLiteral("the file is a QTI 2.1 item; IMPORT reads QTI items (*.xml)");
    return std::nullopt;
}

QByteArrayView firstLine(QByteArrayView text)
{
    const qsizetype end = text.indexOf('\n');
    return end < 0 ? text : text.first(end);
}

// The first line split at semicolons holds every column's header (any order, any letter
// case, a field perhaps in double quotes), as the reader asks of a comma-separated one.
// A spreadsheet may put a line "sep=;" before it.
bool isSemicolonHeader(QByteArrayView text)
{
    const QByteArrayView first = firstLine(text);
    if (first.size() < text.size() && first.trimmed().compare("sep=;", Qt::CaseInsensitive) == 0)
        text = text.sliced(first.size() + 1);
    const QString line = QString::fromUtf8(firstLine(text)).trimmed();
    QStringList names;
    for (QString name : line.split(u';')) {
        name = name.trimmed();
        if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
            name = name.sliced(1, name.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        names << name.trimmed();
    }
    if (names.size() < PaperColumnCount)
        return false;
    for (const PaperColumn &column : PaperColumns) {
        if (!names.contains(column.header, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

// An Aiken quiz: an option "A. " or "A) " on a line of its own, and an ANSWER: line.
bool looksLikeAiken(QByteArrayView text)
{
    static const QRegularExpression option(QStringLiteral("^\\s*[A-Z][.)]\\s"),
                                           QRegularExpression::MultilineOption);
    static const QRegularExpression answer(QStringLiteral("^\\s*ANSWER:"),
                                           QRegularExpression::MultilineOption);
    const QString lines = QString::fromUtf8(text);
    return lines.contains(option) && lines.contains(answer);
}
} // namespace

std::optional<QString> ForeignFileReason(QIODevice &device, qint64 start,
                                         QByteArrayView firstBytes, const QString &name)
{
    const WorkbookFormat workbook = WorkbookFormatOfContent(firstBytes);
    if (workbook == WorkbookFormat::Xls)
        return QStringLiteral("the file is an Excel workbook (.xls); IMPORT reads workbooks");
    if (workbook == WorkbookFormat::Xlsx) // any zip: its entries tell what it holds
        return zipReason(device, start);
    const QByteArrayView text = withoutByteOrderMark(firstBytes);
    if (isSemicolonHeader(text))
        return QStringLiteral("the file's columns are separated by semicolons; a paper file "
                              "separates them by commas");
    if (std::optional<QString> xml = xmlReason(text))
        return xml;
    // GIFT and Aiken are plain text; the import takes them by their names.
    if (text.contains('\0'))
        return std::nullopt;
    if (hasSuffix(name, QLatin1StringView(".gift")))
        return QStringLiteral("the file is a GIFT quiz; IMPORT reads GIFT files (*.gift)");
    if (hasSuffix(name, QLatin1StringView(".txt")) && looksLikeAiken(text))
        return QStringLiteral("the file is an Aiken quiz; IMPORT reads Aiken files (*.txt)");
    return std::nullopt;
}

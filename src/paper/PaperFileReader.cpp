#include "paper/PaperFileReader.h"

#include "core/AnswerEncoding.h"
#include "paper/CsvRecordReader.h"
#include "paper/ForeignFile.h"
#include "core/LeadingNumber.h"
#include "paper/PaperFileFormat.h"
#include "core/PaperLimits.h"
#include "core/TextLength.h"
#include "paper/MostlyUtf8.h"
#include "paper/Utf16Text.h"
#include "core/Utf8Check.h"

#include "core/RegularFileReading.h"

#include <QBuffer>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {
// Where each paper column sits in the file's records.
using ColumnPlaces = std::array<int, PaperColumnCount>;

constexpr int ColQuestionNo = PaperColumnIndex(QuestionField::QuestionNo);
constexpr int ColMark = PaperColumnIndex(QuestionField::Score);
constexpr int ColAnswer = PaperColumnIndex(QuestionField::Answer);
constexpr int ColTimeLimit = PaperColumnIndex(QuestionField::TimeLimit);
// The columns read as text, answer and title first, then the options A..F.
constexpr int TextColumns[] = {
    ColAnswer, PaperColumnIndex(QuestionField::Title),
    PaperColumnIndex(OptionField(0)), PaperColumnIndex(OptionField(1)),
    PaperColumnIndex(OptionField(2)), PaperColumnIndex(OptionField(3)),
    PaperColumnIndex(OptionField(4)), PaperColumnIndex(OptionField(5))};
constexpr int TextColumnCount = int(std::size(TextColumns));

// A question line that passed its checks, its texts still as the file's bytes: how to
// decode them is known only when every line has been seen.
struct CheckedLine
{
    int line = 0;
    qint32 mark = 0;
    qint32 timeLimit = 0;
    std::array<QByteArray, TextColumnCount> texts; // in the order of TextColumns
};

QString columnName(int column)
{
    return QString(PaperColumns[std::size_t(column)].header);
}

FileError failure(int line, int column, const QString &reason)
{
    return FileError::atLine(reason, line, column < 0 ? QString() : columnName(column));
}

// A field's text for a message: short, on one line.
QString quoted(const QByteArray &bytes)
{
    constexpr int Longest = 20;
    QString text = QString::fromUtf8(bytes).trimmed().simplified();
    if (text.size() > Longest)
        text = text.left(Longest) + QStringLiteral("...");
    return u'"' + text + u'"';
}

QByteArray fieldAt(const CsvRecord &record, int place)
{
    return place < record.fields.size() ? record.fields[place] : QByteArray();
}

bool isValidUtf8(const CsvRecord &record)
{
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const QByteArray &field) { return IsValidUtf8(field); });
}

std::optional<FileError> placeColumns(const CsvRecord &header, ColumnPlaces &places)
{
    places.fill(-1);
    for (int place = int(header.fields.size()) - 1; place >= 0; --place) {
        const QString name = QString::fromUtf8(header.fields[place]).trimmed();
        for (int column = 0; column < PaperColumnCount; ++column) {
            if (name.compare(PaperColumns[std::size_t(column)].header, Qt::CaseInsensitive) == 0)
                places[std::size_t(column)] = place; // walking backwards: the first wins
        }
    }
    for (int column = 0; column < PaperColumnCount; ++column) {
        if (places[std::size_t(column)] < 0)
            return failure(header.line, column, QStringLiteral("the column is missing"));
    }
    return std::nullopt;
}

// Mark and Time Limit: the leading number of the text, rounded down, within first..last.
std::optional<FileError> readWholeNumber(const QByteArray &bytes, int line, int column,
                                         int first, int last, qint32 &value)
{
    const QString text = QString::fromLatin1(bytes); // only ASCII can form a number
    const double number = std::floor(ReadLeadingNumber(text));
    if (number >= first && number <= last) {
        value = qint32(number);
        return std::nullopt;
    }
    const QString shown = QString::number(number, 'g', 12);
    const QString range = QStringLiteral("%1-%2").arg(first).arg(last);
    if (text.trimmed() == shown)
        return failure(line, column, QStringLiteral("%1 is outside %2").arg(shown, range));
    return failure(line, column,
                   QStringLiteral("%1 reads as %2, which is outside %3")
                       .arg(quoted(bytes), shown, range));
}

std::optional<FileError> checkLine(const CsvRecord &record, const ColumnPlaces &places,
                                   CheckedLine &checked)
{
    auto field = [&](int column) { return fieldAt(record, places[std::size_t(column)]); };
    checked.line = record.line;

    // The file's question number is replaced by the line's position, but it must be
    // there and be a number (a fraction does no harm).
    const QByteArray number = field(ColQuestionNo);
    if (number.trimmed().isEmpty())
        return failure(record.line, ColQuestionNo, QStringLiteral("the question number is missing"));
    bool wholeText = false;
    ReadLeadingNumber(QString::fromLatin1(number), &wholeText);
    if (!wholeText)
        return failure(record.line, ColQuestionNo,
                       QStringLiteral("%1 is not a number").arg(quoted(number)));

    if (auto error = readWholeNumber(field(ColMark), record.line, ColMark, 0, MaxMark,
                                     checked.mark))
        return error;
    for (int i = 0; i < TextColumnCount; ++i)
        checked.texts[std::size_t(i)] = field(TextColumns[i]);
    if (checked.texts[0].isEmpty())
        return failure(record.line, ColAnswer, QStringLiteral("the answer is empty"));
    return readWholeNumber(field(ColTimeLimit), record.line, ColTimeLimit, MinTimeLimit,
                           MaxTimeLimit, checked.timeLimit);
}

FileError fromCsv(const CsvReadError &error, const CsvRecord *header)
{
    FileError result = failure(error.line, -1, error.reason);
    if (header && error.field >= 0 && error.field < header->fields.size())
        result.columnName = QString::fromUtf8(header->fields[error.field]).trimmed();
    return result;
}

// How the texts of a file are decoded: UTF-8, the legacy code page, or UTF-8 with its
// stray bytes in the legacy code page.
enum class TextEncoding { Utf8, Legacy, MostlyUtf8 };

QString linesText(const QList<int> &lines)
{
    QStringList numbers;
    for (int line : lines)
        numbers << QString::number(line);
    return (lines.size() == 1 ? QStringLiteral("Line ") : QStringLiteral("Lines ")) + numbers.join(QStringLiteral(", "));
}

Result<BuiltPaper> buildPaper(const std::vector<CheckedLine> &lines, TextEncoding encoding,
                              const QString &legacyCodePage)
{
    const auto flags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    const QByteArray codePage = encoding == TextEncoding::Utf8 ? QByteArrayLiteral("UTF-8")
                                                               : legacyCodePage.toLatin1();
    QStringDecoder decoder(codePage.constData(), flags);
    if (!decoder.isValid())
        return failure(0, -1, QStringLiteral("the text is not UTF-8, and the code page \"%1\" "
                                             "is unknown").arg(legacyCodePage));

    BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
    QuestionTable &table = *paper.table;
    QList<int> strayLines;
    for (const CheckedLine &line : lines) {
        std::array<QString, TextColumnCount> texts;
        bool strayBytes = false;
        for (int i = 0; i < TextColumnCount; ++i) {
            decoder.resetState();
            const QByteArray &bytes = line.texts[std::size_t(i)];
            texts[std::size_t(i)] = encoding == TextEncoding::MostlyUtf8
                                        ? DecodeMostlyUtf8(bytes, decoder, strayBytes)
                                        : decoder.decode(bytes);
            if (decoder.hasError())
                return failure(line.line, TextColumns[i],
                               QStringLiteral("the text is neither UTF-8 nor %1")
                                   .arg(legacyCodePage));
            if (i > 0 && !TextLengthFits(texts[std::size_t(i)]))
                return failure(line.line, TextColumns[i],
                               QStringLiteral("the text has ")
                                   + TextLengthBeyondLimit(texts[std::size_t(i)].size()));
        }
        if (strayBytes)
            strayLines << line.line;
        const int questionNo = table.RecordCount() + 1;
        table.AddNew();
        table.setField(QuestionField::QuestionNo, questionNo);
        table.setField(QuestionField::Score, line.mark);
        table.setField(QuestionField::TimeLimit, line.timeLimit);
        table.setField(QuestionField::Answer,
                       AnswerMaskToText(AnswerTextToMask(texts[0].trimmed())));
        table.setField(QuestionField::Title, texts[1]);
        for (int option = 0; option < 6; ++option)
            table.setField(OptionField(option), texts[std::size_t(2 + option)]);
        table.Update();
        paper.scores[questionNo] = std::int16_t(line.mark);
    }
    if (!strayLines.isEmpty())
        paper.notes << QStringLiteral("%1 of this UTF-8 paper also held bytes of another encoding, "
                                      "read as %2; check their texts before saving.")
                           .arg(linesText(strayLines), legacyCodePage);
    return paper;
}

// UTF-8, unless some text is not; then UTF-8 still when that text holds many more UTF-8
// characters than stray bytes, else the legacy code page.
TextEncoding encodingOf(const CsvRecord &header, const std::vector<CheckedLine> &lines, bool utf8)
{
    if (utf8)
        return TextEncoding::Utf8;
    Utf8Census census;
    for (const QByteArray &field : header.fields)
        CountUtf8(field, census);
    for (const CheckedLine &line : lines) {
        for (const QByteArray &text : line.texts)
            CountUtf8(text, census);
    }
    return LooksMostlyUtf8(census.multibyteSequences, census.strayBytes) ? TextEncoding::MostlyUtf8
                                                                         : TextEncoding::Legacy;
}

// A UTF-16 paper holds at most two bytes for each byte of its UTF-8 text (ASCII), plus
// its byte-order mark; the UTF-8 text then meets the paper's own limit.
constexpr qint64 MaxUtf16PaperFileBytes = 2 * MaxPaperFileBytes + 2;

FileError utf16TooLong()
{
    return failure(0, -1, QStringLiteral("the file is longer than %1 MiB of UTF-16 text, more "
                                         "than any paper holds")
                              .arg(MaxUtf16PaperFileBytes >> 20));
}

Result<BuiltPaper> readPaper(QIODevice &device, const QString &legacyCodePage,
                             const QString &name);

// A UTF-16 paper is read as the same paper in UTF-8, the text every later step reads.
Result<BuiltPaper> readUtf16Paper(QIODevice &device, Utf16ByteOrder order,
                                  const QString &legacyCodePage, const QString &name)
{
    device.read(2); // the byte-order mark
    QByteArray units = device.read(MaxUtf16PaperFileBytes - 2);
    if (!device.atEnd() && !device.read(1).isEmpty())
        return utf16TooLong();
    Result<QByteArray> utf8 = Utf16ToUtf8(units, order);
    if (!utf8)
        return failure(utf8.error().line, -1, utf8.error().reason);
    units.clear();
    QBuffer buffer(&*utf8);
    buffer.open(QIODevice::ReadOnly);
    return readPaper(buffer, legacyCodePage, name);
}

// The paper in the device; name is the file's path, or empty when it has none.
Result<BuiltPaper> readPaper(QIODevice &device, const QString &legacyCodePage,
                             const QString &name)
{
    if (std::optional<Utf16ByteOrder> order = Utf16ByteOrderMark(device.peek(2)))
        return readUtf16Paper(device, *order, legacyCodePage, name);

    // A file refused at its first line may be another kind of file, which the reason
    // then names; its first bytes are kept for that.
    const qint64 start = device.pos();
    const QByteArray firstBytes = device.peek(ForeignFileProbeBytes);
    auto refusedAtHeader = [&](const FileError &error) {
        if (std::optional<QString> reason = ForeignFileReason(device, start, firstBytes, name))
            return FileError(*reason);
        return error;
    };

    CsvRecordReader csv(device, MaxPaperLineBytes, MaxPaperFileBytes);
    CsvRecord header;
    switch (csv.next(header)) {
    case CsvRecordReader::Result::Failed: return refusedAtHeader(fromCsv(csv.error(), nullptr));
    case CsvRecordReader::Result::End: return failure(0, -1, QStringLiteral("the file is empty"));
    case CsvRecordReader::Result::Record: break;
    }
    ColumnPlaces places;
    if (auto error = placeColumns(header, places))
        return refusedAtHeader(*error);

    bool utf8 = isValidUtf8(header);
    std::vector<CheckedLine> lines;
    CsvRecord record;
    for (;;) {
        const auto result = csv.next(record);
        if (result == CsvRecordReader::Result::End)
            break;
        if (result == CsvRecordReader::Result::Failed)
            return fromCsv(csv.error(), &header);
        if (int(lines.size()) == MaxQuestions)
            return failure(record.line, -1,
                           QStringLiteral("more than %1 questions").arg(MaxQuestions));
        CheckedLine checked;
        if (auto error = checkLine(record, places, checked))
            return *error;
        utf8 = utf8 && isValidUtf8(record);
        lines.push_back(std::move(checked));
    }
    if (lines.empty())
        return failure(0, -1, QStringLiteral("the file has a header line but no questions"));
    return buildPaper(lines, encodingOf(header, lines, utf8), legacyCodePage);
}
} // namespace

Result<BuiltPaper> ReadPaperFrom(QIODevice &device, const QString &legacyCodePage)
{
    return readPaper(device, legacyCodePage, {});
}

Result<BuiltPaper> ReadPaperFile(const QString &path, const QString &legacyCodePage)
{
    QFile file;
    if (Result<void> opened = OpenRegularFileForReading(file, path); !opened)
        return failure(0, -1,
                       QStringLiteral("the file could not be opened: %1").arg(opened.error().text()));
    // A file larger than any paper is refused by its size, before a byte of it is read:
    // reading up to the limit would take a third of a second and prove nothing more.
    const bool utf16 = Utf16ByteOrderMark(file.peek(2)).has_value();
    if (!file.isSequential() && utf16 && file.size() > MaxUtf16PaperFileBytes)
        return utf16TooLong();
    if (!file.isSequential() && !utf16 && file.size() > MaxPaperFileBytes)
        return failure(0, -1,
                       QStringLiteral("the file is longer than %1 MiB, more than any paper "
                                      "holds").arg(MaxPaperFileBytes >> 20));
    return readPaper(file, legacyCodePage, path);
}

#include "workbook/Biff8SharedStrings.h"
#include "workbook/CompoundFileWriter.h"
#include "WorkbookProbe.h"
#include "WorkbookSamples.h"
#include "WriterChecks.h"
#include "workbook/XlsWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <freexl.h>

using namespace WorkbookProbe;
using namespace WriterChecks;

Q_DECLARE_METATYPE(SheetContent)

namespace {
// Compares xlrd's view with the content: every written cell with its type, value and
// wrap flag, nothing else; the column widths and their wrap flags; one sheet.
QString xlrdMismatch(const SheetContent &content, const QJsonObject &json)
{
    if (!json.value("warnings").toString().isEmpty())
        return "xlrd warned: " + json.value("warnings").toString();
    if (json.value("sheets").toArray() != QJsonArray{content.sheetName}
        || json.value("active").toString() != content.sheetName)
        return "sheets: " + QJsonDocument(json.value("sheets").toArray()).toJson();
    if (json.value("encoding").toString() != "utf_16_le")
        return "encoding " + json.value("encoding").toString();

    QMap<CellKey, QJsonObject> seen = cellsOf(json);
    const SheetGrid &grid = content.cells;
    for (int r = 1; r <= grid.rowCount(); ++r) {
        for (int c = 1; c <= grid.columnCount(); ++c) {
            const SheetCell &cell = grid.cell(r, c);
            const QJsonObject got = seen.take({r, c});
            const bool isText = cell.kind == SheetCell::Kind::Text;
            const bool blank = isText && cell.text.isEmpty();
            if (cell.kind != SheetCell::Kind::Number && !isText) {
                if (!got.isEmpty())
                    return place(r, c) + ": a cell that should be empty";
                continue;
            }
            if (blank && !wrapsColumn(content, c)) {
                if (!got.isEmpty())
                    return place(r, c) + ": an empty text left a cell";
                continue;
            }
            if (got.isEmpty())
                return place(r, c) + ": missing";
            const int type = got.value("type").toInt();
            if (cell.kind == SheetCell::Kind::Number
                && (type != 2 || got.value("value").toDouble() != cell.number))
                return place(r, c) + QStringLiteral(": number %1 read as type %2 value %3")
                                         .arg(cell.number)
                                         .arg(type)
                                         .arg(got.value("value").toVariant().toString());
            if (isText && !blank && (type != 1 || got.value("value").toString() != cell.text))
                return place(r, c) + ": text \"" + visible(cell.text) + "\" read as \""
                       + visible(got.value("value").toString()) + "\"";
            if (blank && type != 6)
                return place(r, c) + QStringLiteral(": empty text read as type %1").arg(type);
            if (got.value("wrap").toBool() != wrapsColumn(content, c))
                return place(r, c) + ": wrap flag";
        }
    }
    if (!seen.isEmpty())
        return place(seen.firstKey().first, seen.firstKey().second) + ": a cell not written";

    QJsonObject columns = json.value("columns").toObject();
    for (int c = 1; c <= content.columnWidths.size(); ++c) {
        const QJsonObject column = columns.take(QString::number(c)).toObject();
        const double expected = qRound(content.columnWidths[c - 1] * 256);
        if (column.value("width").toDouble() != expected)
            return QStringLiteral("column %1: width %2, expected %3")
                .arg(c)
                .arg(column.value("width").toDouble())
                .arg(expected);
        if (column.value("wrap").toBool() != content.wrapText)
            return QStringLiteral("column %1: wrap flag").arg(c);
    }
    if (!columns.isEmpty())
        return "column information not written: " + columns.keys().join(", ");
    return {};
}

// FreeXL hands texts out as C strings, so it can only show a text up to a NUL.
QString freexlMismatch(const SheetContent &content, const QString &path)
{
    const void *handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK)
        return "FreeXL could not open the file";
    auto closeHandle = qScopeGuard([&] { freexl_close(handle); });
    const char *name = nullptr;
    if (freexl_get_worksheet_name(handle, 0, &name) != FREEXL_OK
        || QString::fromUtf8(name) != content.sheetName)
        return "FreeXL sheet name";
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK)
        return "FreeXL could not select the sheet";

    const SheetGrid &grid = content.cells;
    for (int r = 1; r <= grid.rowCount(); ++r) {
        for (int c = 1; c <= grid.columnCount(); ++c) {
            const SheetCell &cell = grid.cell(r, c);
            FreeXL_CellValue value;
            if (freexl_get_cell_value(handle, r - 1, quint16(c - 1), &value) != FREEXL_OK)
                return place(r, c) + ": FreeXL could not read the cell";
            if (cell.kind == SheetCell::Kind::Number) {
                const double got = value.type == FREEXL_CELL_INT ? value.value.int_value
                                   : value.type == FREEXL_CELL_DOUBLE
                                       ? value.value.double_value
                                       : qQNaN();
                if (got != cell.number)
                    return place(r, c) + QStringLiteral(": FreeXL number, type %1").arg(value.type);
            } else if (cell.kind == SheetCell::Kind::Text && !cell.text.isEmpty()) {
                if (value.type != FREEXL_CELL_SST_TEXT && value.type != FREEXL_CELL_TEXT)
                    return place(r, c) + QStringLiteral(": FreeXL type %1 for a text").arg(value.type);
                const QString expected = cell.text.left(cell.text.indexOf(QChar(u'\0')));
                const QString got = QString::fromUtf8(value.value.text_value);
                if (got != expected)
                    return place(r, c) + ": FreeXL read \"" + visible(got) + "\" for \""
                           + visible(expected) + "\"";
            } else if (value.type != FREEXL_CELL_NULL) {
                return place(r, c) + QStringLiteral(": FreeXL type %1 for an empty cell").arg(value.type);
            }
        }
    }
    return {};
}

// FreeXL 1.0.6 completes a string split over records from the next record only, so it
// reads a string of up to about two records: 16000 8-bit or 8000 UTF-16 characters.
bool withinFreexlReach(const SheetContent &content)
{
    for (int r = 1; r <= content.cells.rowCount(); ++r) {
        for (int c = 1; c <= content.cells.columnCount(); ++c) {
            const QString &text = content.cells.cell(r, c).text;
            bool compressed = true;
            for (QChar ch : text)
                compressed = compressed && ch.unicode() <= 0xFF;
            if (text.size() > (compressed ? 16000 : 8000))
                return false;
        }
    }
    return true;
}

struct Record
{
    quint16 type;
    QByteArray body;
};

QList<Record> recordsOf(const QByteArray &bytes)
{
    QList<Record> records;
    for (qsizetype at = 0; at + 4 <= bytes.size();) {
        const auto type = qFromLittleEndian<quint16>(bytes.constData() + at);
        const auto size = qFromLittleEndian<quint16>(bytes.constData() + at + 2);
        records.append({type, bytes.mid(at + 4, size)});
        at += 4 + size;
    }
    return records;
}
} // namespace

class TestXlsWriter : public QObject
{
    Q_OBJECT

private slots:
    void readersSeeWhatWasWritten_data();
    void readersSeeWhatWasWritten();
    void sharedStringsRunOverRecordBoundaries();
    void refusesWhatACellCannotHold_data();
    void refusesWhatACellCannotHold();
    void failedWriteLeavesTheOldFile();
    void compoundFileCarriesTheStream_data();
    void compoundFileCarriesTheStream();
};

void TestXlsWriter::readersSeeWhatWasWritten_data()
{
    QTest::addColumn<SheetContent>("content");
    for (const auto &[name, content] : WorkbookSamples::all())
        QTest::newRow(name) << content;
}

void TestXlsWriter::readersSeeWhatWasWritten()
{
    QFETCH(SheetContent, content);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath("paper.xls");
    QVERIFY(writeBytes(path, OldBytes));

    const Result<void> saved = WriteXlsWorkbook(content, path);
    QVERIFY2(saved, qPrintable(errorText(saved)));
    const QByteArray written = readAll(path);
    QCOMPARE(written, FormatXlsWorkbook(content));
    QCOMPARE(written.size() % 512, 0);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"paper.xls"});

    const ProbeReport xlrd = run("probe_xls.py", {path});
    WORKBOOK_PROBE_OR_STOP(xlrd);
    const QString xlrdView = xlrdMismatch(content, xlrd.json);
    QVERIFY2(xlrdView.isEmpty(), qPrintable("xlrd: " + xlrdView));

    if (!withinFreexlReach(content))
        QSKIP("xlrd saw every cell; FreeXL 1.0.6 cannot read a string stored over more than "
              "two records, which this sheet needs");
    const QString freexlView = freexlMismatch(content, path);
    QVERIFY2(freexlView.isEmpty(), qPrintable(freexlView));
}

// Walks the SST and its CONTINUE records the way the format defines them, and checks
// that strings were split across records in both character forms, each continuation
// repeating the string's option flags, and that no surrogate pair was torn apart.
void TestXlsWriter::sharedStringsRunOverRecordBoundaries()
{
    const QStringList reachable = WorkbookSamples::straddlingStrings();
    const QStringList texts = reachable + WorkbookSamples::stringsOverManyRecords();
    Biff8SharedStrings table;
    for (const QString &text : texts)
        table.add(text);
    table.add(texts.first()); // a second use of the same string
    const QList<Record> records = recordsOf(table.records(1000));

    QVERIFY(records.size() >= 4);
    QCOMPARE(records.first().type, quint16(0x00FC));
    QCOMPARE(records.last().type, quint16(0x00FF));
    for (qsizetype i = 1; i + 1 < records.size(); ++i)
        QCOMPARE(records[i].type, quint16(0x003C));
    for (const Record &record : records)
        QVERIFY(record.body.size() <= 8224);
    QCOMPARE(qFromLittleEndian<quint32>(records[0].body.constData()), quint32(texts.size() + 1));
    QCOMPARE(qFromLittleEndian<quint32>(records[0].body.constData() + 4), quint32(texts.size()));

    qsizetype record = 0;
    qsizetype at = 8;
    auto nextRecord = [&] {
        ++record;
        at = 0;
    };
    QSet<quint8> straddledForms;
    QList<std::pair<qsizetype, qsizetype>> starts; // record, offset in its body
    for (const QString &expected : texts) {
        if (at == records[record].body.size())
            nextRecord();
        starts.append({record, at});
        const QByteArray &head = records[record].body;
        QVERIFY2(at + 3 <= head.size(), "a string's header is split");
        const auto count = qFromLittleEndian<quint16>(head.constData() + at);
        quint8 flags = quint8(head[at + 2]);
        at += 3;
        QVERIFY2(count == 0 || at < head.size(), "a string's first character is not with its header");
        QString text;
        int boundaries = 0;
        while (text.size() < count) {
            if (at == records[record].body.size()) {
                nextRecord();
                ++boundaries;
                flags = quint8(records[record].body[0]);
                at = 1;
                straddledForms.insert(flags);
                QVERIFY2(!text.back().isHighSurrogate(), "a surrogate pair is split");
            }
            const QByteArray &body = records[record].body;
            const qsizetype unitBytes = flags & 1 ? 2 : 1;
            const qsizetype units = qMin<qsizetype>(count - text.size(), (body.size() - at) / unitBytes);
            QVERIFY(units > 0);
            for (qsizetype i = 0; i < units; ++i, at += unitBytes)
                text += QChar(unitBytes == 2 ? qFromLittleEndian<quint16>(body.constData() + at)
                                             : quint8(body[at]));
        }
        QCOMPARE(text, expected);
        if (reachable.contains(expected))
            QVERIFY2(boundaries <= 1, "a string that fits in two records is spread over more");
    }
    QCOMPARE(record, records.size() - 2);
    QCOMPARE(at, records[record].body.size());
    QCOMPARE(straddledForms, (QSet<quint8>{0x00, 0x01}));

    // EXTSST: every bucket's first string, by stream position and offset in its record.
    QList<quint32> recordPositions{1000};
    for (const Record &r : records)
        recordPositions.append(recordPositions.last() + 4 + quint32(r.body.size()));
    const QByteArray &index = records.last().body;
    const auto perBucket = qFromLittleEndian<quint16>(index.constData());
    QCOMPARE(perBucket, quint16(8));
    QCOMPARE(index.size(), 2 + 8 * ((texts.size() + 7) / 8));
    for (qsizetype i = 0; i < texts.size(); i += perBucket) {
        const char *entry = index.constData() + 2 + 8 * (i / perBucket);
        const auto [inRecord, offset] = starts[i];
        QCOMPARE(qFromLittleEndian<quint32>(entry), recordPositions[inRecord] + 4 + quint32(offset));
        QCOMPARE(qFromLittleEndian<quint16>(entry + 4), quint16(4 + offset));
    }
}

void TestXlsWriter::refusesWhatACellCannotHold_data()
{
    QTest::addColumn<SheetContent>("content");
    QTest::addColumn<QString>("reason");
    for (const auto &refusal : WorkbookSamples::refusals())
        QTest::newRow(refusal.name) << refusal.content << refusal.reason;
    SheetContent tooManyRows;
    tooManyRows.cells = SheetGrid(65537, 1);
    QTest::newRow("65537 rows") << tooManyRows << QStringLiteral("65537 rows");
    SheetContent tooManyColumns;
    tooManyColumns.cells = SheetGrid(1, 257);
    QTest::newRow("257 columns") << tooManyColumns << QStringLiteral("257 columns");
}

void TestXlsWriter::refusesWhatACellCannotHold()
{
    QFETCH(SheetContent, content);
    QFETCH(QString, reason);
    refusalKeepsTheOldFile(WriteXlsWorkbook, content, "paper.xls", reason);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(FormatXlsWorkbook(content).isEmpty());
}

void TestXlsWriter::failedWriteLeavesTheOldFile()
{
    unwritablePlacesLeaveNothing(WriteXlsWorkbook, WorkbookSamples::paperSheet(3), "xls");
}

void TestXlsWriter::compoundFileCarriesTheStream_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::newRow("4096 bytes") << qsizetype(4096);
    QTest::newRow("one byte past a sector") << qsizetype(4097);
    // 109 FAT sectors map 13952 sectors; beyond that the FAT is listed in DIFAT sectors.
    QTest::newRow("just within the header's FAT list") << qsizetype(13900 * 512);
    QTest::newRow("one DIFAT sector") << qsizetype(8'000'000);
    QTest::newRow("two DIFAT sectors") << qsizetype(20'000'000);
}

void TestXlsWriter::compoundFileCarriesTheStream()
{
    QFETCH(qsizetype, size);
    QByteArray stream(size, Qt::Uninitialized);
    quint32 seed = quint32(size);
    for (char &byte : stream) {
        seed = seed * 1664525u + 1013904223u;
        byte = char(seed >> 24);
    }
    const QByteArray file = BuildCompoundFile("Workbook", stream);
    QVERIFY(!file.isEmpty());
    QCOMPARE(file.size() % 512, 0);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath("stream.cfb");
    QVERIFY(writeBytes(path, file));
    const ProbeReport compdoc = run("probe_xls.py", {"--compdoc", "Workbook", path});
    WORKBOOK_PROBE_OR_STOP(compdoc);
    QCOMPARE(compdoc.json.value("warnings").toString(), QString());
    QCOMPARE(compdoc.json.value("size").toInteger(), size);
    QCOMPARE(compdoc.json.value("sha256").toString(),
             QString::fromLatin1(QCryptographicHash::hash(stream, QCryptographicHash::Sha256).toHex()));

    QVERIFY(BuildCompoundFile("Workbook", stream.left(4095)).isEmpty());
}

QTEST_GUILESS_MAIN(TestXlsWriter)
#include "tst_xlswriter.moc"

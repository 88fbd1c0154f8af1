#include "WorkbookProbe.h"
#include "WorkbookSamples.h"
#include "WriterChecks.h"
#include "workbook/XlsxTextEscape.h"
#include "workbook/XlsxWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <csignal>
#include <sys/resource.h>

using namespace WorkbookProbe;
using namespace WriterChecks;

Q_DECLARE_METATYPE(SheetContent)

namespace {
// The width the file stores for a width in characters: the spreadsheet adds 5 pixels of
// padding to the characters of its 7-pixel-wide default digit, in 1/256 steps.
double storedWidth(double characters)
{
    return std::trunc((characters * 7 + 5) / 7 * 256) / 256;
}

// openpyxl 3.0.9 does not undo the format's _xHHHH_ escapes in cell texts; it only
// removes every "x005F_". What it shows for a text is therefore the stored form (the
// escapes the writer and libxlsxwriter made) with that removal applied.
QString openpyxlView(const QString &text)
{
    QString stored = QString::fromUtf8(XlsxCellTextUtf8(text));
    static const QRegularExpression controls(QStringLiteral("[\\x01-\\x08\\x0B-\\x1F]"));
    QString escaped;
    qsizetype last = 0;
    for (auto it = controls.globalMatch(stored); it.hasNext();) {
        const auto match = it.next();
        escaped += stored.mid(last, match.capturedStart() - last);
        escaped += QStringLiteral("_x%1_").arg(
            QString::number(match.captured().at(0).unicode(), 16).toUpper().rightJustified(4, u'0'));
        last = match.capturedEnd();
    }
    escaped += stored.mid(last);
    return escaped.remove(QStringLiteral("x005F_"));
}

// Compares what openpyxl and the strict XML reading see with the content.
QString mismatch(const SheetContent &content, const QJsonObject &json)
{
    if (!json.value("warnings").toArray().isEmpty())
        return "openpyxl warned: " + QJsonDocument(json.value("warnings").toArray()).toJson();
    if (json.value("sheets").toArray() != QJsonArray{content.sheetName}
        || json.value("active").toString() != content.sheetName)
        return "sheets: " + QJsonDocument(json.value("sheets").toArray()).toJson();

    QMap<CellKey, QJsonObject> seen = cellsOf(json);
    QMap<QString, QString> strict;
    for (const QJsonValue &entry : json.value("strict").toArray())
        strict.insert(entry.toArray().at(0).toString(), entry.toArray().at(1).toString());

    const SheetGrid &grid = content.cells;
    for (int r = 1; r <= grid.rowCount(); ++r) {
        for (int c = 1; c <= grid.columnCount(); ++c) {
            const SheetCell &cell = grid.cell(r, c);
            const QJsonObject got = seen.take({r, c});
            const QString reference = QStringLiteral("%1%2").arg(QChar(u'A' + c - 1)).arg(r);
            const bool written = cell.kind == SheetCell::Kind::Number
                                 || (cell.kind == SheetCell::Kind::Text && !cell.text.isEmpty());
            const bool hasStrict = strict.contains(reference);
            const QString strictText = strict.take(reference);
            if (!written) {
                if (!got.isEmpty() || hasStrict)
                    return place(r, c) + ": a cell that should be empty";
                continue;
            }
            if (got.isEmpty())
                return place(r, c) + ": missing";
            const QString type = got.value("type").toString();
            if (cell.kind == SheetCell::Kind::Number
                && (type != "n" || got.value("value").toDouble() != cell.number))
                return place(r, c) + QStringLiteral(": number %1 read as type %2 value %3")
                                         .arg(cell.number)
                                         .arg(type, got.value("value").toVariant().toString());
            if (cell.kind == SheetCell::Kind::Text) {
                if (type != "s" || !hasStrict)
                    return place(r, c) + ": text read as type " + type;
                if (strictText != cell.text)
                    return place(r, c) + ": text \"" + visible(cell.text)
                           + "\" read from the XML as \"" + visible(strictText) + "\"";
                if (got.value("value").toString() != openpyxlView(cell.text))
                    return place(r, c) + ": openpyxl read \"" + visible(got.value("value").toString())
                           + "\" for \"" + visible(cell.text) + "\"";
            }
            if (got.value("wrap").toBool() != wrapsColumn(content, c))
                return place(r, c) + ": wrap flag";
        }
    }
    if (!seen.isEmpty())
        return place(seen.firstKey().first, seen.firstKey().second) + ": a cell not written";
    if (!strict.isEmpty())
        return strict.firstKey() + ": a text not written";

    QJsonObject columns = json.value("columns").toObject();
    for (int c = 1; c <= content.columnWidths.size(); ++c) {
        const QJsonObject column = columns.take(QString::number(c)).toObject();
        const double expected = storedWidth(content.columnWidths[c - 1]);
        if (column.value("width").toDouble() != expected)
            return QStringLiteral("column %1: width %2, expected %3")
                .arg(c)
                .arg(column.value("width").toDouble())
                .arg(expected);
        if (column.value("wrap").toBool() != content.wrapText)
            return QStringLiteral("column %1: wrap flag").arg(c);
    }
    if (!columns.isEmpty())
        return "column widths not written: " + columns.keys().join(", ");
    return {};
}
} // namespace

class TestXlsxWriter : public QObject
{
    Q_OBJECT

private slots:
    void readersSeeWhatWasWritten_data();
    void readersSeeWhatWasWritten();
    void escapesTextThatLooksEscaped_data();
    void escapesTextThatLooksEscaped();
    void refusesWhatACellCannotHold_data();
    void refusesWhatACellCannotHold();
    void failedWriteLeavesTheOldFile();
    void failedScratchWriteNamesFolderAndReason();
};

void TestXlsxWriter::readersSeeWhatWasWritten_data()
{
    QTest::addColumn<SheetContent>("content");
    for (const auto &[name, content] : WorkbookSamples::all())
        QTest::newRow(name) << content;
}

void TestXlsxWriter::readersSeeWhatWasWritten()
{
    QFETCH(SheetContent, content);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath("paper.xlsx");
    QVERIFY(writeBytes(path, OldBytes));

    const Result<void> written = WriteXlsxWorkbook(content, path);
    QVERIFY2(written, qPrintable(errorText(written)));
    QVERIFY(readAll(path).startsWith("PK\x03\x04"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"paper.xlsx"});

    const ProbeReport probe = run("probe_xlsx.py", {path});
    WORKBOOK_PROBE_OR_STOP(probe);
    const QString view = mismatch(content, probe.json);
    QVERIFY2(view.isEmpty(), qPrintable(view));
}

// The underscore that starts text in the _xHHHH_ form is itself escaped; nothing else.
void TestXlsxWriter::escapesTextThatLooksEscaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("an escape") << "_x0041_" << QByteArray("_x005F_x0041_");
    QTest::newRow("lower-case hex") << "a_x000d_b" << QByteArray("a_x005F_x000d_b");
    QTest::newRow("sharing an underscore") << "_x0041_x0042_" << QByteArray("_x005F_x0041_x005F_x0042_");
    QTest::newRow("escaped underscore") << "_x005F_" << QByteArray("_x005F_x005F_");
    QTest::newRow("not escapes") << "_X0041_ _x00G1_ _x041_ x0041_ _x0041"
                                 << QByteArray("_X0041_ _x00G1_ _x041_ x0041_ _x0041");
    QTest::newRow("NUL") << QString(QChar(u'\0')) << QByteArray("_x0000_");
    QTest::newRow("noncharacters") << (QString(QChar(0xFFFE)) + QChar(0xFFFF))
                                   << QByteArray("_xFFFE__xFFFF_");
    QTest::newRow("left to libxlsxwriter") << "\r\n\x01\t" << QByteArray("\r\n\x01\t");
    QTest::newRow("UTF-8") << "é中😀" << QString("é中😀").toUtf8();
}

void TestXlsxWriter::escapesTextThatLooksEscaped()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);
    QCOMPARE(XlsxCellTextUtf8(text), stored);
}

void TestXlsxWriter::refusesWhatACellCannotHold_data()
{
    QTest::addColumn<SheetContent>("content");
    QTest::addColumn<QString>("reason");
    for (const auto &refusal : WorkbookSamples::refusals())
        QTest::newRow(refusal.name) << refusal.content << refusal.reason;
    SheetContent tooManyColumns;
    tooManyColumns.cells = SheetGrid(1, 16385);
    QTest::newRow("16385 columns") << tooManyColumns << QStringLiteral("16385 columns");
    // libxlsxwriter counts the stored form against its 32767-character limit.
    SheetContent escapedTooLong = WorkbookSamples::paperSheet(2);
    escapedTooLong.cells.setCell(2, 6, SheetCell::fromText(QStringLiteral("_x0041_") + QString(32760, u'x')));
    QTest::newRow("32767 characters whose escaped form is longer")
        << escapedTooLong << QStringLiteral("row 2, column F");
}

void TestXlsxWriter::refusesWhatACellCannotHold()
{
    QFETCH(SheetContent, content);
    QFETCH(QString, reason);
    refusalKeepsTheOldFile(WriteXlsxWorkbook, content, "paper.xlsx", reason);
}

void TestXlsxWriter::failedWriteLeavesTheOldFile()
{
    unwritablePlacesLeaveNothing(WriteXlsxWorkbook, WorkbookSamples::paperSheet(3), "xlsx");
}

// The library's own writes of its scratch files go through the C library's streams, out of
// the fault shim's reach; a file-size limit makes every one of them fail instead, in every
// scratch folder, with the system's "File too large" where a full folder gives "No space
// left on device". The reason must name the folder and the system's words, never only the
// library's "Zip generic error ZIP_ERRNO".
void TestXlsxWriter::failedScratchWriteNamesFolderAndReason()
{
    QTemporaryDir scratch;
    QTemporaryDir target;
    QVERIFY(scratch.isValid() && target.isValid());
    const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray oldTmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(scratch.path()));

    rlimit oldLimit{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = oldLimit;
    small.rlim_cur = 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString path = QDir(target.path()).filePath("paper.xlsx");
    const Result<void> written = WriteXlsxWorkbook(WorkbookSamples::paperSheet(20), path);
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldSignal);
    if (hadTmpdir)
        qputenv("TMPDIR", oldTmpdir);
    else
        qunsetenv("TMPDIR");

    QVERIFY(!written);
    QCOMPARE(written.error().reason,
             QStringLiteral("the workbook's temporary files could not be written in %1: %2")
                 .arg(QDir::toNativeSeparators(scratch.path()),
                      QString::fromLocal8Bit(std::strerror(EFBIG))));
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(QDir(scratch.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

QTEST_GUILESS_MAIN(TestXlsxWriter)
#include "tst_xlsxwriter.moc"

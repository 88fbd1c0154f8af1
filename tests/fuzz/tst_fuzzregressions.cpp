// Every input a fuzz target once failed on (tests/data/fuzz-regressions/<target>/), fed
// through the same reader in the normal build: each must give a result or a reason.
#include "core/AnswerEncoding.h"
#include "paper/PaperFileReader.h"
#include "core/TypeInfoRecord.h"
#include "workbook/XlsCellStreamParser.h"
#include "xlsscan/XlsGlobalsScan.h"
#include "workbook/XlsReader.h"
#include "workbook/XlsxReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const SheetReadLimits PaperLimits{252, 11};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void checkSheet(const Result<SheetGrid> &result, SheetReadLimits limits)
{
    if (!result) {
        QVERIFY2(!result.error().reason.isEmpty(), "a refused workbook says why");
        return;
    }
    const SheetGrid &grid = *result;
    QVERIFY(grid.rowCount() <= limits.rows);
    QVERIFY(grid.columnCount() <= limits.columns);
}
} // namespace

class TestFuzzRegressions : public QObject
{
    Q_OBJECT
private slots:
    void readerCopesWith_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        const QDir root(QStringLiteral(TEST_DATA_DIR "/fuzz-regressions"));
        QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
        int kept = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QLatin1String(".md")))
                continue;
            const QString target = QFileInfo(path).dir().dirName();
            QTest::newRow(qPrintable(target + '/' + it.fileName())) << target << path;
            ++kept;
        }
        if (kept == 0)
            QTest::newRow("none kept") << QString() << QString();
    }
    void readerCopesWith()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("no fuzz finding has been kept in tests/data/fuzz-regressions");
        const QByteArray bytes = readAll(path);
        if (target == "fuzz_paperfile") {
            const Result<BuiltPaper> read = ReadPaperFile(path, QStringLiteral("windows-1252"));
            if (!read)
                QVERIFY(!read.error().reason.isEmpty());
            else
                QVERIFY(read->table->RecordCount() >= 1);
        } else if (target == "fuzz_xlsx") {
            checkSheet(ReadXlsxSheet(path, PaperLimits), PaperLimits);
            checkSheet(ReadXlsxSheetFromBytes(bytes, PaperLimits), PaperLimits);
        } else if (target == "fuzz_xls") {
            checkSheet(ReadXlsSheet(path, PaperLimits), PaperLimits);
        } else if (target == "fuzz_xlsglobals") {
            const XlsGlobals globals = ScanXlsGlobals(QFile::encodeName(path).constData());
            QVERIFY(globals.activeSheet >= -1);
            // A table that could not be read leaves nothing of itself behind.
            if (!globals.sharedStringsKnown) {
                QVERIFY(globals.sharedStringLengths.empty());
                QVERIFY(!globals.sharedStringOverTwoRecords);
            }
        } else if (target == "fuzz_xlscellstream") {
            // The first byte picks the limits, as in the fuzz target.
            const SheetReadLimits limits[] = {{0, 0}, {1, 1}, {3, 2}, {252, 11}};
            QVERIFY(!bytes.isEmpty());
            const SheetReadLimits asked = limits[quint8(bytes[0]) % 4];
            const Result<SheetGrid> parsed = ParseXlsCellStream(bytes.mid(1), asked);
            if (!parsed)
                QVERIFY(!parsed.error().reason.isEmpty());
            else
                QVERIFY(parsed->rowCount() <= asked.rows);
        } else if (target == "fuzz_typeinfo") {
            const TypeInfoReadResult read = ReadTypeInfoFile(path);
            QCOMPARE(read.ok, read.reason.isEmpty());
        } else if (target == "fuzz_answer") {
            const QString text = QString::fromUtf16(
                reinterpret_cast<const char16_t *>(bytes.constData()), bytes.size() / 2);
            const AnswerMask mask = AnswerTextToMask(text);
            QCOMPARE(AnswerTextToMask(AnswerMaskToText(mask)), mask);
        } else {
            QFAIL(qPrintable("no reader known for the folder " + target));
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"

// The in-memory entry points the fuzz targets use give exactly what the file readers
// give for the same bytes, good files and bad alike.
#include "core/TypeInfoRecord.h"
#include "xlsscan/XlsGlobalsScan.h"
#include "workbook/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const SheetReadLimits Limits{252, 11};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString writeTemp(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QString describe(const Result<SheetGrid> &result)
{
    if (!result)
        return QStringLiteral("refused: ") + result.error().reason;
    const SheetGrid &grid = *result;
    return QStringLiteral("grid %1 x %2").arg(grid.rowCount()).arg(grid.columnCount());
}
} // namespace

class TestInMemoryReaders : public QObject
{
    Q_OBJECT
private slots:
    void xlsxFromBytesMatchesFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString folder = QStringLiteral(TEST_DATA_DIR "/workbooks");
        for (const QString &name : QDir(folder).entryList({"*.xlsx"}, QDir::Files)) {
            const QByteArray bytes = readAll(folder + '/' + name);
            QTest::newRow(qPrintable(name)) << bytes;
            QTest::newRow(qPrintable(name + " cut in half")) << bytes.left(bytes.size() / 2);
        }
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a zip") << QByteArray("Question NO,Mark\r\n");
        QTest::newRow("zip header only") << QByteArray("PK\x03\x04\x14\x00", 6);
    }
    void xlsxFromBytesMatchesFile()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = writeTemp(dir, "book.xlsx", bytes);
        QVERIFY(!path.isEmpty());
        const Result<SheetGrid> fromFile = ReadXlsxSheet(path, Limits);
        const Result<SheetGrid> fromBytes = ReadXlsxSheetFromBytes(bytes, Limits);
        QCOMPARE(describe(fromBytes), describe(fromFile));
        if (fromFile)
            QVERIFY(*fromBytes == *fromFile);
    }

    void xlsGlobalsFromBytesMatchFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("activeSheet");
        const QString folder = QStringLiteral(TEST_DATA_DIR "/workbooks/");
        QTest::newRow("first sheet") << folder + "paper-xlwt.xls" << 0;
        QTest::newRow("second sheet active") << folder + "second-sheet-active-xlwt.xls" << 1;
        QTest::newRow("string over two CONTINUE records")
            << folder + "text-over-two-continue-records-xlwt.xls" << 0;
    }
    void xlsGlobalsFromBytesMatchFile()
    {
        QFETCH(QString, path);
        QFETCH(int, activeSheet);
        const QByteArray bytes = readAll(path);
        QVERIFY(!bytes.isEmpty());
        const XlsGlobals fromFile = ScanXlsGlobals(QFile::encodeName(path).constData());
        const XlsGlobals fromBytes =
            ScanXlsGlobals(reinterpret_cast<const unsigned char *>(bytes.constData()),
                           std::size_t(bytes.size()));
        QCOMPARE(fromBytes.activeSheet, activeSheet);
        QCOMPARE(fromBytes.activeSheet, fromFile.activeSheet);
        QVERIFY(fromBytes.sharedStringsKnown);
        QCOMPARE(fromBytes.sharedStringsKnown, fromFile.sharedStringsKnown);
        QVERIFY(fromBytes.sharedStringLengths == fromFile.sharedStringLengths);
        QCOMPARE(fromBytes.sharedStringOverTwoRecords, fromFile.sharedStringOverTwoRecords);

        // Cut short, both know nothing of the strings rather than guessing.
        const QByteArray cut = bytes.left(600);
        const XlsGlobals fromCut =
            ScanXlsGlobals(reinterpret_cast<const unsigned char *>(cut.constData()),
                           std::size_t(cut.size()));
        QVERIFY(!fromCut.sharedStringsKnown);
        QCOMPARE(ScanXlsGlobals(nullptr, 0).activeSheet, -1);
    }

    void typeInfoFromBytesMatchesFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("valid type 3") << TypeInfoRecord::validBytes(3);
        QTest::newRow("valid, with more after the record")
            << TypeInfoRecord::validBytes(1) + QByteArray(40, '\x7f');
        QTest::newRow("cut before the signature") << TypeInfoRecord::validBytes(2).left(60);
        QTest::newRow("empty") << QByteArray();
        QByteArray wrong = TypeInfoRecord::validBytes(4);
        wrong[TypeInfoRecord::SignatureOffset] = 0;
        QTest::newRow("wrong signature") << wrong;
    }
    void typeInfoFromBytesMatchesFile()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = writeTemp(dir, TypeInfoFileName, bytes);
        QVERIFY(!path.isEmpty());
        const TypeInfoReadResult fromFile = ReadTypeInfoFile(path);
        const TypeInfoReadResult fromBytes = ReadTypeInfoBytes(bytes.left(TypeInfoRecord::Size), path);
        QCOMPARE(fromBytes.ok, fromFile.ok);
        QCOMPARE(fromBytes.reason, fromFile.reason);
        QCOMPARE(fromBytes.record.installationType, fromFile.record.installationType);
        QCOMPARE(fromBytes.record.firstText, fromFile.record.firstText);
        QCOMPARE(fromBytes.record.secondText, fromFile.record.secondText);
    }
};

QTEST_GUILESS_MAIN(TestInMemoryReaders)
#include "tst_inmemoryreaders.moc"

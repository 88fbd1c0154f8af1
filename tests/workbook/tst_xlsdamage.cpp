// Damaged copies of a 250-question .xls written by the export: a record's length changed,
// the stream's size in the container's directory lowered, the file cut short. Each copy
// must be refused, or import all 250 questions unchanged; none may import fewer or
// different ones. The parser library reads as far as the damage and delivers what it
// found, so without the helper's own check many of these imported as a shorter paper.
#include "paper/PaperFiles.h"
#include "paper/PaperFromSheet.h"
#include "paper/PaperSheetLayout.h"
#include "paper/QuestionTable.h"
#include "workbook/XlsWriter.h"
#include "xlsscan/XlsCompoundFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstdio>

namespace {

constexpr int QuestionCount = 250;

QuestionTable &paperTable()
{
    static QuestionTable table;
    if (table.RecordCount() == 0) {
        const QStringList answers = {"A", "BD", "C", "ABCDEF", "Uncertain", "E"};
        for (int k = 1; k <= QuestionCount; ++k) {
            QuestionRow row;
            row.QuestionNo = k;
            row.Score = k % 251;
            row.TimeLimit = 1 + k % 250;
            row.Answer = answers[k % answers.size()];
            row.Title = QStringLiteral("Question %1: which of these holds? 第%1题").arg(k);
            for (int i = 0; i < 6; ++i)
                row.Items[i] = QStringLiteral("Option %1 of question %2").arg(QChar('A' + i)).arg(k);
            table.AppendRow(row);
        }
    }
    return table;
}

struct Record
{
    qsizetype at; // offset of the record's header in the workbook stream
    quint16 type;
};

// The workbook stream of bytes and where it lies in them. The export writes the stream
// in one run of sectors; the test relies on it and says so when it is not.
struct StreamPlace
{
    QByteArray stream;
    qsizetype fileOffset = -1;
    qsizetype directorySizeField = -1; // the stream's size in its directory entry
};

StreamPlace placeOfStream(const QByteArray &file)
{
    StreamPlace place;
    XlsBytes stream;
    std::FILE *in = fmemopen(const_cast<char *>(file.constData()), size_t(file.size()), "rb");
    if (!ReadXlsWorkbookStream(in, stream, SIZE_MAX))
        return place;
    place.stream = QByteArray(reinterpret_cast<const char *>(stream.data()), qsizetype(stream.size()));
    place.fileOffset = file.indexOf(place.stream.left(512));
    if (place.fileOffset < 0 || file.mid(place.fileOffset, place.stream.size()) != place.stream)
        place.fileOffset = -1;
    const QByteArray name("W\0o\0r\0k\0b\0o\0o\0k\0\0\0", 18);
    const qsizetype entry = file.indexOf(name);
    if (entry >= 0)
        place.directorySizeField = entry + 0x78;
    return place;
}

QList<Record> recordsOf(const QByteArray &stream)
{
    QList<Record> records;
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        const auto *p = reinterpret_cast<const uchar *>(stream.constData() + at);
        records.append({at, qFromLittleEndian<quint16>(p)});
        at += 4 + qFromLittleEndian<quint16>(p + 2);
    }
    return records;
}

QByteArray withU32(QByteArray bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

QByteArray withU16(QByteArray bytes, qsizetype at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

} // namespace

class TestXlsDamage : public QObject
{
    Q_OBJECT

    QByteArray m_whole;
    StreamPlace m_place;
    QTemporaryDir m_dir;

    Result<SheetImport> import(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("damaged.xls"));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
            return FileError{QStringLiteral("the test could not write %1").arg(path)};
        out.close();
        return ImportWorkbook(path);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_whole = FormatXlsWorkbook(PaperToSheet(paperTable()));
        m_place = placeOfStream(m_whole);
        QVERIFY2(m_place.fileOffset >= 0, "the export no longer writes its stream in one run");
        QVERIFY(m_place.directorySizeField >= 0);
        QCOMPARE(qFromLittleEndian<quint32>(m_whole.constData() + m_place.directorySizeField),
                 quint32(m_place.stream.size()));
        // The undamaged file imports whole, so every refusal below is the damage's.
        const Result<SheetImport> whole = import(m_whole);
        QVERIFY2(whole, whole ? "" : qPrintable(whole.error().text()));
        QCOMPARE(whole->paper.table->rows(), paperTable().rows());
    }

    void damagedCopyIsRefusedOrWhole_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        const QList<Record> records = recordsOf(m_place.stream);
        QVERIFY(records.size() > 1000);

        // A record's length set to 0xFFFF: records spread over the whole stream, and the
        // ones the sheet's reading hangs on.
        QList<qsizetype> chosen;
        for (int i = 0; i < 8; ++i)
            chosen.append(i * (records.size() - 1) / 7);
        const auto firstOfType = [&](quint16 type, qsizetype after = 0) {
            for (qsizetype i = after; i < records.size(); ++i)
                if (records[i].type == type)
                    return i;
            return qsizetype(-1);
        };
        const qsizetype sheetBegin = firstOfType(0x0809, 1);
        chosen << firstOfType(0x00FC) << firstOfType(0x0085) << sheetBegin
               << firstOfType(0x0200) << records.size() / 2 + 1;
        for (const qsizetype index : chosen) {
            QVERIFY(index >= 0);
            const qsizetype at = m_place.fileOffset + records[index].at + 2;
            QTest::addRow("record %lld (type 0x%04x) of length 0xFFFF", qlonglong(index),
                          records[index].type)
                << withU16(m_whole, at, 0xFFFF);
        }

        // The sheet's declared size changed: the library sizes its grid by it, so cells
        // beyond a smaller one would be dropped.
        const qsizetype dimensions = m_place.fileOffset + records[firstOfType(0x0200)].at + 4;
        const quint32 rowEnd = qFromLittleEndian<quint32>(m_whole.constData() + dimensions + 4);
        QCOMPARE(rowEnd, quint32(QuestionCount + 1));
        QTest::newRow("sheet declared with fewer rows") << withU32(m_whole, dimensions + 4, rowEnd - 10);
        QTest::newRow("sheet declared with more rows") << withU32(m_whole, dimensions + 4, rowEnd + 10);
        QTest::newRow("sheet declared with fewer columns") << withU16(m_whole, dimensions + 10, 5);

        // The stream's size in the directory lowered: by a little, to half, to just past
        // the globals, and below the size at which a stream moves to the mini stream.
        const quint32 size = quint32(m_place.stream.size());
        const QList<QPair<const char *, quint32>> sizes = {
            {"one byte less", size - 1},
            {"one record header less", size - 4},
            {"100 bytes less", size - 100},
            {"1000 bytes less", size - 1000},
            {"half", size / 2},
            {"the globals only", quint32(records[sheetBegin].at)},
            {"4095 bytes", 4095},
            {"nothing", 0},
        };
        for (const auto &[name, lowered] : sizes)
            QTest::addRow("stream size: %s", name)
                << withU32(m_whole, m_place.directorySizeField, lowered);

        // The file cut short.
        const qsizetype fileSize = m_whole.size();
        const QList<QPair<const char *, qsizetype>> cuts = {
            {"one byte less", fileSize - 1},      {"one sector less", fileSize - 512},
            {"nine tenths", fileSize * 9 / 10},   {"three quarters", fileSize * 3 / 4},
            {"half", fileSize / 2},               {"a quarter", fileSize / 4},
            {"inside the stream's first sector", m_place.fileOffset + 100},
            {"the header only", 512},
        };
        for (const auto &[name, length] : cuts)
            QTest::addRow("file cut: %s", name) << m_whole.left(length);
    }

    void damagedCopyIsRefusedOrWhole()
    {
        QFETCH(QByteArray, damaged);
        const Result<SheetImport> imported = import(damaged);
        if (!imported) {
            // Refused as damaged, or, where the container itself is gone, as no workbook.
            const QString reason = imported.error().text();
            qInfo("refused: %s", qPrintable(reason));
            QVERIFY2(reason.startsWith(QLatin1String("The workbook is damaged: "))
                         || reason == QLatin1String("The file is not a readable .xls workbook."),
                     qPrintable(reason));
            return;
        }
        const std::vector<QuestionRow> &rows = imported->paper.table->rows();
        QCOMPARE(qsizetype(rows.size()), qsizetype(QuestionCount));
        QVERIFY(rows == paperTable().rows());
    }
};

QTEST_GUILESS_MAIN(TestXlsDamage)
#include "tst_xlsdamage.moc"

// The .xls helper's own scan of a sheet's records, on formulas-gnumeric.xls and damaged
// copies of it: what the writer stored comes back, and damage leaves values unknown
// instead of giving wrong ones.
#include "xlsscan/XlsCellStream.h"
#include "xlsscan/XlsGlobalsScan.h"
#include "xlsscan/XlsSheetValuesScan.h"
#include "workbook/Biff8Records.h"
#include "workbook/CompoundFileWriter.h"

#include <QFile>
#include <QTest>

#include <functional>

namespace {

using Kind = XlsStoredValue::Kind;
using Place = XlsStoredValues::key_type;

QByteArray fixture()
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/workbooks/formulas-gnumeric.xls"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

XlsStoredValues scan(const QByteArray &bytes, std::uint32_t rows = 252, std::uint32_t columns = 11,
                     std::uint32_t shift = 0)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const XlsGlobals globals = ScanXlsGlobals(data, std::size_t(bytes.size()));
    if (globals.sheetOffsets.empty())
        return {};
    return ScanXlsSheetValues(data, std::size_t(bytes.size()), globals.sheetOffsets[0] + shift,
                              rows, columns);
}

// Where the record of the given type for the cell (from 0) begins in the file; -1 when
// there is none. The fixture's workbook stream lies in one run of sectors, so a byte
// changed here is the same byte of the stream.
qsizetype recordOffset(const QByteArray &bytes, quint16 type, quint16 row, quint16 column)
{
    for (qsizetype at = 0; at + 8 <= bytes.size(); ++at) {
        auto u16 = [&](qsizetype i) { return quint16(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8)); };
        if (u16(at) == type && u16(at + 4) == row && u16(at + 6) == column && u16(at + 2) >= 8)
            return at;
    }
    return -1;
}

qsizetype afterRecord(const QByteArray &bytes, qsizetype at)
{
    return at + 4 + (quint8(bytes[at + 2]) | (quint8(bytes[at + 3]) << 8));
}

constexpr quint16 Formula = 0x0006, BoolErr = 0x0205;

QString describe(const XlsStoredValues &values, Place place)
{
    const auto found = values.find(place);
    if (found == values.end())
        return QStringLiteral("absent");
    const XlsStoredValue &v = found->second;
    switch (v.kind) {
    case Kind::Number: return QStringLiteral("number %1").arg(v.number);
    case Kind::Text: return QStringLiteral("text \"%1\"").arg(QString::fromStdString(v.text));
    case Kind::Boolean: return QStringLiteral("boolean %1").arg(v.code);
    case Kind::Error: return QStringLiteral("error %1").arg(QLatin1String(XlsCellStream::errorName(v.code)));
    case Kind::NoValue: return QStringLiteral("no value");
    }
    return {};
}

constexpr quint16 Bof = 0x0809, Eof = 0x000A, BoundSheet = 0x0085, StringResult = 0x0207,
                  Continue = 0x003C;

QByteArray bofBody(quint16 substream)
{
    return Biff8Body().u16(0x0600).u16(substream).u32(0).u32(0).u32(0).data();
}

// A FORMULA record whose stored result is a text, to be held by the STRING record after it.
QByteArray textFormulaBody(quint16 row, quint16 column)
{
    return Biff8Body().u16(row).u16(column).u16(15)
        .u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u16(0xFFFF) // the result: a text
        .u16(0).u32(0).u16(0) // flags, chn, an empty formula
        .data();
}

// A workbook built record by record: one sheet, and in it `sheetRecords` after its BOF.
QByteArray workbookWithSheet(const std::function<void(QByteArray &)> &sheetRecords)
{
    QByteArray globals;
    AppendBiff8Record(globals, Bof, bofBody(0x0005));
    const qsizetype boundSheetAt = globals.size();
    AppendBiff8Record(globals, BoundSheet,
                      Biff8Body().u32(0).u8(0).u8(0).bytes(Biff8ShortString(u"Paper")).data());
    AppendBiff8Record(globals, Eof, {});
    QByteArray stream = globals;
    const quint32 sheetAt = quint32(stream.size());
    for (int i = 0; i < 4; ++i)
        stream[boundSheetAt + 4 + i] = char((sheetAt >> (8 * i)) & 0xFF);
    AppendBiff8Record(stream, Bof, bofBody(0x0010));
    sheetRecords(stream);
    AppendBiff8Record(stream, Eof, {});
    stream.append(QByteArray(qMax<qsizetype>(0, CompoundFileMiniStreamCutoff - stream.size()), '\0'));
    return BuildCompoundFile(QStringLiteral("Workbook"), stream);
}

} // namespace

class TestXlsSheetValuesScan : public QObject
{
    Q_OBJECT
private slots:
    void storedValuesAreFound()
    {
        const XlsStoredValues values = scan(fixture());
        const QList<std::pair<Place, QString>> expected = {
            {{1, 1}, "number 5"},       {{1, 2}, "text \"AC\""},   {{1, 5}, "error #DIV/0!"},
            {{1, 6}, "error #N/A"},     {{1, 7}, "boolean 1"},     {{1, 8}, "boolean 1"},
            {{2, 1}, "error #N/A"},     {{3, 2}, "text \"D\""},    {{3, 4}, "number 30"},
            {{3, 9}, "text \"\""},      {{4, 1}, "error #N/A"},    {{4, 5}, "error #VALUE!"},
        };
        QCOMPARE(values.size(), std::size_t(expected.size()));
        for (const auto &[place, what] : expected)
            QCOMPARE(describe(values, place), what);
    }

    void onlyTheAskedCellsAreKept()
    {
        const XlsStoredValues values = scan(fixture(), 2, 3);
        QCOMPARE(values.size(), std::size_t(2));
        QCOMPARE(describe(values, {1, 1}), QStringLiteral("number 5"));
        QCOMPARE(describe(values, {1, 2}), QStringLiteral("text \"AC\""));
    }

    void damageLeavesValuesUnknown_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("later"); // what the last cell, (4, 5), then holds

        const QByteArray valid = fixture();
        QVERIFY(!valid.isEmpty());
        auto changed = [&](qsizetype at, std::function<void(QByteArray &, qsizetype)> edit) {
            QByteArray copy = valid;
            if (at >= 0)
                edit(copy, at);
            return copy;
        };
        const qsizetype textFormula = recordOffset(valid, Formula, 1, 2);
        const qsizetype divideByZero = recordOffset(valid, Formula, 1, 5);
        const qsizetype booleanFormula = recordOffset(valid, Formula, 1, 8);
        const qsizetype valueError = recordOffset(valid, BoolErr, 4, 5);
        QVERIFY(textFormula >= 0 && divideByZero >= 0 && booleanFormula >= 0 && valueError >= 0);
        const qsizetype text = afterRecord(valid, textFormula);
        QCOMPARE(quint8(valid[text]), quint8(0x07)); // the STRING record follows
        const QString valueKept = QStringLiteral("error #VALUE!");

        QTest::newRow("text result runs past the stream")
            << changed(text, [](QByteArray &b, qsizetype at) { b[at + 2] = char(0xFF); b[at + 3] = char(0xFF); })
            << 1 << 2 << "no value" << "absent";
        QTest::newRow("text result longer than its record")
            << changed(text, [](QByteArray &b, qsizetype at) { b[at + 4] = char(0x20); })
            << 1 << 2 << "no value" << valueKept;
        QTest::newRow("STRING record not after its formula")
            << changed(text, [](QByteArray &b, qsizetype at) { b[at] = 0x08; })
            << 1 << 2 << "no value" << valueKept;
        QTest::newRow("unknown result tag")
            << changed(divideByZero, [](QByteArray &b, qsizetype at) { b[at + 10] = 9; })
            << 1 << 5 << "no value" << valueKept;
        QTest::newRow("unknown error code in a formula")
            << changed(divideByZero, [](QByteArray &b, qsizetype at) { b[at + 12] = 0x2B; })
            << 1 << 5 << "no value" << valueKept;
        QTest::newRow("boolean result neither 0 nor 1")
            << changed(booleanFormula, [](QByteArray &b, qsizetype at) { b[at + 12] = 2; })
            << 1 << 8 << "no value" << valueKept;
        QTest::newRow("unknown error code")
            << changed(valueError, [](QByteArray &b, qsizetype at) { b[at + 10] = 0x2B; })
            << 4 << 5 << "no value" << "no value";
        QTest::newRow("error flag neither 0 nor 1")
            << changed(valueError, [](QByteArray &b, qsizetype at) { b[at + 11] = 2; })
            << 4 << 5 << "no value" << "no value";
        QTest::newRow("file cut inside the sheet")
            << valid.left(valueError) << 1 << 1 << "absent" << "absent";
    }

    void damageLeavesValuesUnknown()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, expected);
        QFETCH(QString, later);
        const XlsStoredValues values = scan(bytes);
        QCOMPARE(describe(values, {std::uint32_t(row), std::uint32_t(column)}), expected);
        QCOMPARE(describe(values, {4, 5}), later);
    }

    // A long text result goes on in CONTINUE records, each saying again how wide its
    // characters are; UTF-16 is read whole, a surrogate without its partner as U+FFFD;
    // a chart's records inside the sheet are not the sheet's cells.
    void textResultsAreReadWhole()
    {
        const QString wide(1000, QChar(0x4E2D));
        const QString narrow(2000, u'a');
        const QByteArray bytes = workbookWithSheet([&](QByteArray &stream) {
            AppendBiff8Record(stream, Bof, bofBody(0x0020));
            AppendBiff8Record(stream, Formula, textFormulaBody(0, 0));
            AppendBiff8Record(stream, StringResult, Biff8Body().u16(1).u8(0).u8('x').data());
            AppendBiff8Record(stream, Eof, {});

            AppendBiff8Record(stream, Formula, textFormulaBody(1, 2));
            AppendBiff8Record(stream, StringResult,
                              Biff8Body().u16(quint16(wide.size() + narrow.size())).u8(1)
                                  .bytes(Biff8Characters(wide, false)).data());
            AppendBiff8Record(stream, Continue,
                              Biff8Body().u8(0).bytes(Biff8Characters(narrow, true)).data());

            AppendBiff8Record(stream, Formula, textFormulaBody(2, 3));
            AppendBiff8Record(stream, StringResult,
                              Biff8Body().u16(4).u8(1).u16(0xD83D).u16(0xDE00).u16(0xD800)
                                  .u16('x').data());
        });
        QVERIFY(!bytes.isEmpty());
        const XlsStoredValues values = scan(bytes);
        QCOMPARE(values.size(), std::size_t(2));
        QCOMPARE(describe(values, {1, 2}), QStringLiteral("text \"%1\"").arg(wide + narrow));
        QCOMPARE(describe(values, {2, 3}), QStringLiteral("text \"\U0001F600\uFFFDx\""));
    }

    // BOUNDSHEET's offset is only taken as where a sheet may begin.
    void offsetNotAtTheSheetFindsNothing()
    {
        QVERIFY(scan(fixture(), 252, 11, 1).empty());
        QVERIFY(scan(fixture(), 252, 11, 1u << 30).empty());
    }
};

QTEST_GUILESS_MAIN(TestXlsSheetValuesScan)
#include "tst_xlssheetvaluesscan.moc"

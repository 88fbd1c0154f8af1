// The editor's side of the cell stream: everything the .xls helper writes is checked as a
// whole before a grid is built, so a damaged or hostile stream never yields cells.
#include "xlsscan/XlsCellStream.h"
#include "workbook/XlsCellStreamParser.h"

#include <QTest>

#include <iterator>
#include <limits>
#include <utility>

namespace {

QByteArray bytesOf(const std::string &stream)
{
    return QByteArray(stream.data(), qsizetype(stream.size()));
}

// A 2 x 3 grid holding a number, an accented text and a CJK text.
std::string validStream()
{
    std::string s;
    XlsCellStream::appendHeader(s, 2, 3);
    XlsCellStream::appendNumber(s, 1, 1, 12.7);
    XlsCellStream::appendText(s, 1, 3, "Café, \"quoted\"\r\n");
    XlsCellStream::appendText(s, 2, 2, "中文");
    XlsCellStream::appendEnd(s, 3);
    return s;
}

const SheetReadLimits Limits{252, 11};

QString problemOf(const Result<SheetGrid> &parsed)
{
    return parsed ? QString() : parsed.error().reason;
}

} // namespace

class TestXlsCellStream : public QObject
{
    Q_OBJECT
private slots:
    void validStreamBuildsTheGrid()
    {
        const Result<SheetGrid> parsed = ParseXlsCellStream(bytesOf(validStream()), Limits);
        QVERIFY2(parsed.ok(), qPrintable(problemOf(parsed)));
        const SheetGrid &grid = *parsed;
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(grid.columnCount(), 3);
        QCOMPARE(grid.cell(1, 1), SheetCell::fromNumber(12.7));
        QCOMPARE(grid.cell(1, 2), SheetCell());
        QCOMPARE(grid.cell(1, 3), SheetCell::fromText(QStringLiteral("Café, \"quoted\"\r\n")));
        QCOMPARE(grid.cell(2, 2), SheetCell::fromText(QStringLiteral("中文")));
    }

    void leadingByteOrderMarkStaysInTheText()
    {
        std::string s;
        XlsCellStream::appendHeader(s, 1, 1);
        XlsCellStream::appendText(s, 1, 1, "\xEF\xBB\xBFmark");
        XlsCellStream::appendEnd(s, 1);
        const Result<SheetGrid> parsed = ParseXlsCellStream(bytesOf(s), Limits);
        QVERIFY2(parsed.ok(), qPrintable(problemOf(parsed)));
        QCOMPARE(parsed->cell(1, 1).text, QStringLiteral("\uFEFFmark"));
    }

    // The sheet's name, right after the header, says where the cells came from; one that
    // is not UTF-8 is dropped, the cells are kept.
    void sheetNameIsTaken_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("Paper") << QStringLiteral("Paper");
        QTest::newRow("accents and CJK") << QByteArray("Übung 中文") << QStringLiteral("Übung 中文");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("not UTF-8") << QByteArray("caf\xE9") << QString();
    }
    void sheetNameIsTaken()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, expected);
        std::string s;
        XlsCellStream::appendHeader(s, 1, 1);
        XlsCellStream::appendName(s, name.toStdString());
        XlsCellStream::appendNumber(s, 1, 1, 3);
        XlsCellStream::appendEnd(s, 1);
        const Result<SheetGrid> parsed = ParseXlsCellStream(bytesOf(s), Limits);
        QVERIFY2(parsed.ok(), qPrintable(problemOf(parsed)));
        QCOMPARE(parsed->name, expected);
        QCOMPARE(parsed->cell(1, 1), SheetCell::fromNumber(3));
    }

    // Formula results and error values of an .xls come as booleans and error codes, and a
    // formula without a stored value as such.
    void booleansErrorValuesAndUncalculatedFormulasAreTaken()
    {
        using namespace XlsCellStream;
        const std::pair<std::uint8_t, QString> errors[] = {
            {0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
            {0x1D, "#NAME?"}, {0x24, "#NUM!"}, {0x2A, "#N/A"}};
        std::string s;
        appendHeader(s, 3, 7);
        appendBoolean(s, 1, 1, true);
        appendBoolean(s, 1, 2, false);
        appendNumber(s, 1, 3, 5);
        for (std::uint32_t i = 0; i < std::size(errors); ++i)
            appendError(s, 2, i + 1, errors[i].first);
        appendUncalculated(s, 3, 6);
        appendText(s, 3, 7, "after");
        appendEnd(s, 3 + std::uint32_t(std::size(errors)) + 2);
        const Result<SheetGrid> parsed = ParseXlsCellStream(bytesOf(s), Limits);
        QVERIFY2(parsed.ok(), qPrintable(problemOf(parsed)));
        QCOMPARE(parsed->cell(1, 1), SheetCell::fromBoolean(true));
        QCOMPARE(parsed->cell(1, 2), SheetCell::fromBoolean(false));
        QCOMPARE(parsed->cell(1, 3), SheetCell::fromNumber(5));
        for (int i = 0; i < int(std::size(errors)); ++i)
            QCOMPARE(parsed->cell(2, i + 1), SheetCell::fromError(errors[i].second));
        QCOMPARE(parsed->cell(3, 6), SheetCell::uncalculated());
        QCOMPARE(parsed->cell(3, 7), SheetCell::fromText(QStringLiteral("after")));
    }

    void damagedStreamsAreRefused_data()
    {
        using namespace XlsCellStream;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");

        const std::string valid = validStream();
        QTest::newRow("nothing") << QByteArray() << 252 << 11;
        QTest::newRow("wrong magic") << bytesOf("PXC2" + valid.substr(4)) << 252 << 11;
        QTest::newRow("cut inside the header") << bytesOf(valid.substr(0, 7)) << 252 << 11;
        QTest::newRow("cut before the end record")
            << bytesOf(valid.substr(0, valid.size() - 5)) << 252 << 11;
        QTest::newRow("cut inside the end record")
            << bytesOf(valid.substr(0, valid.size() - 2)) << 252 << 11;
        QTest::newRow("bytes after the end") << bytesOf(valid + "x") << 252 << 11;
        QTest::newRow("grid taller than asked") << bytesOf(valid) << 1 << 11;
        QTest::newRow("grid wider than asked") << bytesOf(valid) << 252 << 2;

        auto stream = [](auto &&body) {
            std::string s;
            appendHeader(s, 2, 3);
            body(s);
            return bytesOf(s);
        };
        QTest::newRow("row 0") << stream([](std::string &s) {
            appendNumber(s, 0, 1, 1);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("column past the grid") << stream([](std::string &s) {
            appendNumber(s, 1, 4, 1);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("row past the grid") << stream([](std::string &s) {
            appendNumber(s, 3, 1, 1);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("same cell twice") << stream([](std::string &s) {
            appendNumber(s, 1, 2, 1);
            appendText(s, 1, 2, "again");
            appendEnd(s, 2);
        }) << 252 << 11;
        QTest::newRow("cells out of order") << stream([](std::string &s) {
            appendNumber(s, 2, 1, 1);
            appendNumber(s, 1, 3, 1);
            appendEnd(s, 2);
        }) << 252 << 11;
        QTest::newRow("end counts too many") << stream([](std::string &s) {
            appendNumber(s, 1, 1, 1);
            appendEnd(s, 2);
        }) << 252 << 11;
        QTest::newRow("end counts too few") << stream([](std::string &s) {
            appendNumber(s, 1, 1, 1);
            appendNumber(s, 1, 2, 1);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("name after a cell") << stream([](std::string &s) {
            appendNumber(s, 1, 1, 1);
            appendName(s, "late");
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("name twice") << stream([](std::string &s) {
            appendName(s, "one");
            appendName(s, "two");
            appendEnd(s, 0);
        }) << 252 << 11;
        QTest::newRow("name longer than a sheet's") << stream([](std::string &s) {
            s += NameTag;
            appendU32(s, MaxNameBytes + 1);
            s += std::string(MaxNameBytes + 1, 'n');
            appendEnd(s, 0);
        }) << 252 << 11;
        QTest::newRow("name cut short") << stream([](std::string &s) {
            s += NameTag;
            appendU32(s, 10);
            s += "abc";
        }) << 252 << 11;
        QTest::newRow("unknown record") << stream([](std::string &s) {
            s += 'Z';
            appendU32(s, 1);
            appendU32(s, 1);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("not a number") << stream([](std::string &s) {
            appendNumber(s, 1, 1, std::numeric_limits<double>::quiet_NaN());
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("infinite number") << stream([](std::string &s) {
            appendNumber(s, 1, 1, std::numeric_limits<double>::infinity());
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("invalid UTF-8") << stream([](std::string &s) {
            appendText(s, 1, 1, "caf\xE9");
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("UTF-8 surrogate") << stream([](std::string &s) {
            appendText(s, 1, 1, "\xED\xA0\x80");
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("text longer than the stream") << stream([](std::string &s) {
            s += TextTag;
            appendU32(s, 1);
            appendU32(s, 1);
            appendU32(s, 100);
            s += "short";
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("boolean cut short") << stream([](std::string &s) {
            s += BooleanTag;
            appendU32(s, 1);
            appendU32(s, 1);
        }) << 252 << 11;
        QTest::newRow("boolean neither 0 nor 1") << stream([](std::string &s) {
            s += BooleanTag;
            appendU32(s, 1);
            appendU32(s, 1);
            s += char(2);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("error value cut short") << stream([](std::string &s) {
            s += ErrorTag;
            appendU32(s, 1);
            appendU32(s, 1);
        }) << 252 << 11;
        QTest::newRow("unknown error code") << stream([](std::string &s) {
            appendError(s, 1, 1, 0x2B);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("error value outside the grid") << stream([](std::string &s) {
            appendError(s, 3, 1, 0x2A);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("boolean outside the grid") << stream([](std::string &s) {
            appendBoolean(s, 1, 4, true);
            appendEnd(s, 1);
        }) << 252 << 11;
        QTest::newRow("error value out of order") << stream([](std::string &s) {
            appendNumber(s, 2, 1, 1);
            appendError(s, 1, 3, 0x07);
            appendEnd(s, 2);
        }) << 252 << 11;
        QTest::newRow("boolean on a cell already given") << stream([](std::string &s) {
            appendError(s, 1, 2, 0x07);
            appendBoolean(s, 1, 2, false);
            appendEnd(s, 2);
        }) << 252 << 11;
        QTest::newRow("text longer than a cell") << stream([](std::string &s) {
            appendText(s, 1, 1, std::string(MaxTextBytes + 1, 'a'));
            appendEnd(s, 1);
        }) << 252 << 11;
    }

    void damagedStreamsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(int, columns);
        const Result<SheetGrid> parsed = ParseXlsCellStream(bytes, SheetReadLimits{rows, columns});
        QVERIFY(!problemOf(parsed).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestXlsCellStream)
#include "tst_xlscellstream.moc"

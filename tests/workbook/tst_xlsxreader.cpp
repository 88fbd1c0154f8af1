#include "TestZipArchive.h"
#include "workbook/XlsxReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SheetGrid)

namespace {

const QByteArray MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

const QByteArray ContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/></Types>)";

QByteArray RootRels(const QByteArray &target = "xl/workbook.xml")
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
           R"(<Relationship Id="rId1" Type=")"
           + RelNs + R"(/officeDocument" Target=")" + target + R"("/></Relationships>)";
}

// sheets: the <sheet> elements; activeTab: the attribute's text, or nothing when empty.
QByteArray Workbook(const QByteArray &sheets, const QByteArray &activeTab = "0")
{
    QByteArray views;
    if (!activeTab.isEmpty())
        views = R"(<bookViews><workbookView activeTab=")" + activeTab + R"("/></bookViews>)";
    return R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns=")" + MainNs
           + R"(" xmlns:r=")" + RelNs + R"(">)" + views + "<sheets>" + sheets
           + "</sheets></workbook>";
}

const QByteArray OneSheet = R"(<sheet name="Sheet1" sheetId="1" r:id="rId1"/>)";

QByteArray Relationship(const QByteArray &id, const QByteArray &type, const QByteArray &target)
{
    return R"(<Relationship Id=")" + id + R"(" Type=")" + RelNs + "/" + type + R"(" Target=")"
           + target + R"("/>)";
}

QByteArray WorkbookRels(const QByteArray &relationships)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
           + relationships + "</Relationships>";
}

const QByteArray DefaultWorkbookRels =
    WorkbookRels(Relationship("rId1", "worksheet", "worksheets/sheet1.xml")
                 + Relationship("rId2", "sharedStrings", "sharedStrings.xml"));

QByteArray Sheet(const QByteArray &rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns=")" + MainNs
           + R"("><sheetData>)" + rows + "</sheetData></worksheet>";
}

QByteArray Strings(const QByteArray &items)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns=")" + MainNs + R"(">)" + items
           + "</sst>";
}

// A package of one sheet; strings is the shared-string part, left out when null.
QList<TestZipEntry> Package(const QByteArray &sheet, const QByteArray &strings = {})
{
    QList<TestZipEntry> entries = {
        TestZipEntry::text("[Content_Types].xml", ContentTypes),
        TestZipEntry::text("_rels/.rels", RootRels()),
        TestZipEntry::text("xl/workbook.xml", Workbook(OneSheet)),
        TestZipEntry::text("xl/_rels/workbook.xml.rels", DefaultWorkbookRels),
        TestZipEntry::text("xl/worksheets/sheet1.xml", sheet),
    };
    if (!strings.isNull())
        entries.append(TestZipEntry::text("xl/sharedStrings.xml", strings));
    return entries;
}

QList<TestZipEntry> Replaced(QList<TestZipEntry> entries, const TestZipEntry &replacement)
{
    for (TestZipEntry &entry : entries) {
        if (entry.name == replacement.name) {
            entry = replacement;
            return entries;
        }
    }
    entries.append(replacement);
    return entries;
}

QList<TestZipEntry> Without(QList<TestZipEntry> entries, const QString &name)
{
    entries.removeIf([&](const TestZipEntry &entry) { return entry.name == name; });
    return entries;
}

// A part of `repeat` copies of unit between prefix and suffix, declared as 1000 bytes.
TestZipEntry LyingPart(const QString &name, const QByteArray &prefix, const QByteArray &unit,
                       qint64 repeat, const QByteArray &suffix)
{
    TestZipEntry entry;
    entry.name = name;
    entry.prefix = prefix;
    entry.unit = unit;
    entry.repeat = repeat;
    entry.suffix = suffix;
    entry.declaredSize = 1000;
    return entry;
}

// "B3" -> row 3, column 2 (columns A to Z are enough here).
SheetGrid Grid(int rows, int columns, const QList<QPair<QString, SheetCell>> &cells)
{
    SheetGrid grid(rows, columns);
    for (const auto &[reference, cell] : cells)
        grid.setCell(reference.mid(1).toInt(), reference.at(0).unicode() - 'A' + 1, cell);
    return grid;
}

SheetCell T(const QString &text) { return SheetCell::fromText(text); }
SheetCell N(double number) { return SheetCell::fromNumber(number); }

// One line per non-empty cell, for a readable difference when a comparison fails.
QString Describe(const SheetGrid &grid)
{
    QStringList lines{QStringLiteral("%1x%2").arg(grid.rowCount()).arg(grid.columnCount())};
    for (int row = 1; row <= grid.rowCount(); ++row) {
        for (int column = 1; column <= grid.columnCount(); ++column) {
            const SheetCell &cell = grid.cell(row, column);
            const QString place = QStringLiteral("R%1C%2 ").arg(row).arg(column);
            switch (cell.kind) {
            case SheetCell::Kind::Empty:
                break;
            case SheetCell::Kind::Number:
                lines << place + QStringLiteral("number ") + QString::number(cell.number, 'g', 17);
                break;
            case SheetCell::Kind::Boolean:
                lines << place + QStringLiteral("boolean ") + QString::number(cell.number);
                break;
            case SheetCell::Kind::Text:
                lines << place + QStringLiteral("text [") + cell.text + u']';
                break;
            case SheetCell::Kind::Error:
                lines << place + QStringLiteral("error [") + cell.text + u']';
                break;
            case SheetCell::Kind::Uncalculated:
                lines << place + QStringLiteral("formula without a value");
                break;
            }
        }
    }
    return lines.join(u'\n');
}

class Workspace
{
public:
    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("book%1.xlsx").arg(++m_count));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test workbook");
        return path;
    }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

// The paper that make_xlsx_fixtures.py writes, as the reader should deliver it.
SheetGrid FixturePaper(int rows, bool emptyLastHeader)
{
    SheetGrid grid(rows, 11);
    const QStringList headers = {"Question NO", "Mark", "Answer", "Question Title",
                                 "Time Limit", "Option A", "Option B", "Option C",
                                 "Option D", "Option E", "Option F"};
    for (int column = 1; column <= 11; ++column) {
        if (column < 11 || !emptyLastHeader)
            grid.setCell(1, column, T(headers.at(column - 1)));
    }
    const QList<QList<SheetCell>> questions = {
        {N(1), N(12.7), T("A"), T(u"Which, of these, is \"right\"?"_qs), N(15),
         T("line one\r\nline two"), T("first\nsecond"), T(u"Café crème, naïve"_qs),
         T(u"中文题目：哪个正确？"_qs), T("  padded both ends  "), T("plain F")},
        {N(2), N(10), T("BD"), T("Second question"), N(-0.5), T("a"), T("b"), T("c"), T("d"),
         T("e"), T("f")},
        {N(3), N(0), T("Uncertain"), T("Third, last"), N(250), T("x"), {}, T("z"), {}, {}, {}},
    };
    for (int q = 0; q < questions.size(); ++q) {
        for (int column = 1; column <= 11; ++column)
            grid.setCell(q + 2, column, questions[q][column - 1]);
    }
    return grid;
}

QByteArray LittleEndian(quint64 value, int width)
{
    QByteArray bytes;
    for (int i = 0; i < width; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
    return bytes;
}

// A zip that is nothing but an end-of-central-directory record announcing entries
// whose directory (at directoryOffset) is not there; zip64 writes the count in a ZIP64
// end record and its locator, as a writer must past 65535 entries.
QByteArray ForgedDirectoryZip(quint64 entries, quint64 directoryOffset, bool zip64)
{
    const QByteArray padding(64, '\0');
    QByteArray zip = padding;
    if (zip64) {
        const qint64 recordOffset = zip.size();
        zip += "PK\x06\x06" + LittleEndian(44, 8) + LittleEndian(45, 2) + LittleEndian(45, 2)
               + LittleEndian(0, 4) + LittleEndian(0, 4) + LittleEndian(entries, 8)
               + LittleEndian(entries, 8) + LittleEndian(entries * 46, 8)
               + LittleEndian(directoryOffset, 8);
        zip += "PK\x06\x07" + LittleEndian(0, 4) + LittleEndian(recordOffset, 8)
               + LittleEndian(1, 4);
    }
    const quint64 classicCount = zip64 ? 0xFFFF : entries;
    const quint64 classicOffset = zip64 ? 0xFFFFFFFF : directoryOffset;
    zip += "PK\x05\x06" + LittleEndian(0, 2) + LittleEndian(0, 2) + LittleEndian(classicCount, 2)
           + LittleEndian(classicCount, 2) + LittleEndian(0xFFFFFFFF, 4)
           + LittleEndian(classicOffset, 4) + LittleEndian(0, 2);
    return zip;
}

} // namespace

class TestXlsxReader : public QObject
{
    Q_OBJECT

private slots:
    void readsWorkbooksFromOtherWriters_data();
    void readsWorkbooksFromOtherWriters();
    void readsHandBuiltSheets_data();
    void readsHandBuiltSheets();
    void refusesBadFiles_data();
    void refusesBadFiles();
    void refusesMissingFile();

private:
    Workspace m_workspace;
};

void TestXlsxReader::readsWorkbooksFromOtherWriters_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<SheetGrid>("expected");

    QTest::newRow("openpyxl paper, one row past the end") << "paper_openpyxl.xlsx" << 5 << 11
                                                           << FixturePaper(5, false);
    QTest::newRow("openpyxl paper, first two rows only") << "paper_openpyxl.xlsx" << 2 << 3
                                                          << Grid(2, 3, {{"A1", T("Question NO")},
                                                                         {"B1", T("Mark")},
                                                                         {"C1", T("Answer")},
                                                                         {"A2", N(1)},
                                                                         {"B2", N(12.7)},
                                                                         {"C2", T("A")}});
    QTest::newRow("openpyxl, second sheet active, empty header 11")
        << "second_sheet_active_openpyxl.xlsx" << 4 << 11 << FixturePaper(4, true);

    // gnumeric writes a CR LF inside <t> as raw characters, which XML reads as one line
    // feed; its formulas carry the values it calculated (B3 = 4*2.5, D4 a text formula).
    SheetGrid gnumeric = FixturePaper(4, false);
    gnumeric.setCell(2, 6, T("line one\nline two"));
    QTest::newRow("gnumeric paper with formulas") << "paper_gnumeric.xlsx" << 4 << 11 << gnumeric;

    QTest::newRow("libxlsxwriter: shared and rich strings, formulas, active second sheet")
        << "rich_libxlsxwriter.xlsx" << 4 << 4
        << Grid(4, 4,
                {{"A1", T("Question NO")},
                 {"B1", T("Mark")},
                 {"C1", T("Answer")},
                 {"D1", T("Question Title")},
                 {"A2", N(1)},
                 {"B2", N(12.7)},
                 {"C2", T("AC")},
                 {"D2", T("Which is bold, and \"why\"?")},
                 {"A3", N(2)},
                 {"B3", N(-0.5)},
                 {"C3", T("BD")},
                 {"D3", T("Answer")},
                 {"A4", SheetCell::fromBoolean(true)}});
}

void TestXlsxReader::readsWorkbooksFromOtherWriters()
{
    QFETCH(QString, file);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(SheetGrid, expected);

    const Result<SheetGrid> result =
        ReadXlsxSheet(QStringLiteral(TEST_DATA_DIR "/workbooks/") + file, {rows, columns});
    if (!result)
        QFAIL(qPrintable(result.error().text()));
    const SheetGrid &grid = *result;
    QCOMPARE(Describe(grid), Describe(expected));
    QVERIFY(grid == expected);
}

void TestXlsxReader::readsHandBuiltSheets_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<SheetGrid>("expected");

    QTest::newRow("rows and cells without r follow the previous ones")
        << BuildTestZip(Package(Sheet(R"(<row><c><v>1</v></c><c><v>2</v></c></row>)"
                                      R"(<row r="3"><c r="B3"><v>3</v></c><c><v>4</v></c></row>)"
                                      R"(<row><c><v>5</v></c><c r="D4"><v>6</v></c><c><v>7</v></c></row>)")))
        << 4 << 5
        << Grid(4, 5, {{"A1", N(1)}, {"B1", N(2)}, {"B3", N(3)}, {"C3", N(4)},
                       {"A4", N(5)}, {"D4", N(6)}, {"E4", N(7)}});

    QTest::newRow("cell types b, e, str, d, n, inlineStr; formula without value")
        << BuildTestZip(Package(Sheet(
               R"(<row r="1"><c r="A1" t="b"><v>1</v></c><c r="B1" t="b"><v>0</v></c>)"
               R"(<c r="C1" t="e"><v>#N/A</v></c><c r="D1" t="str"><f>A1&amp;"x"</f><v>TRUEx</v></c>)"
               R"(<c r="E1" t="d"><v>2024-02-29T00:00:00</v></c></row>)"
               R"(<row r="2"><c r="A2"><v>-0.5</v></c><c r="B2" t="n"><v>1.5E+2</v></c>)"
               R"(<c r="C2"><f>1/0</f></c><c r="D2" t="str"><f>"a"</f></c>)"
               R"(<c r="E2" t="inlineStr"><is><t xml:space="preserve"> in line </t></is></c></row>)"
               R"(<row r="3"><c r="A3" t="inlineStr"><is><r><t>run </t></r><r><rPr><b/></rPr><t>two</t></r>)"
               R"(<rPh sb="0" eb="1"><t>PHONETIC</t></rPh></is></c><c r="B3" s="3"/></row>)")))
        << 3 << 5
        << Grid(3, 5,
                {{"A1", SheetCell::fromBoolean(true)},
                 {"B1", SheetCell::fromBoolean(false)},
                 {"C1", SheetCell::fromError("#N/A")},
                 {"D1", T("TRUEx")},
                 {"E1", T("2024-02-29T00:00:00")},
                 {"A2", N(-0.5)},
                 {"B2", N(150)},
                 {"C2", SheetCell::uncalculated()},
                 {"D2", SheetCell::uncalculated()},
                 {"E2", T(" in line ")},
                 {"A3", T("run two")}});

    QTest::newRow("shared strings: empty item keeps its index, runs joined, rPh skipped")
        << BuildTestZip(Package(
               Sheet(R"(<row r="1"><c r="A1" t="s"><v>3</v></c><c r="B1" t="s"><v>0</v></c>)"
                     R"(<c r="C1" t="s"><v>1</v></c><c r="D1" t="s"><v>2</v></c><c r="E1" t="s"><v>3</v></c></row>)"),
               Strings("<si><t>zero</t></si><si/>"
                       "<si><r><t xml:space=\"preserve\">  rich </t></r><r><rPr><i/></rPr><t>text\n</t></r>"
                       "<rPh sb=\"0\" eb=\"2\"><t>yomi</t></rPh></si>"
                       "<si><t>\r\nthree&#13;\n</t></si>")))
        << 1 << 5
        << Grid(1, 5, {{"A1", T("\nthree\r\n")}, {"B1", T("zero")}, {"C1", T("")},
                       {"D1", T("  rich text\n")}, {"E1", T("\nthree\r\n")}});

    QTest::newRow("_xHHHH_ escapes in shared, inline, str and error text")
        << BuildTestZip(Package(
               Sheet(R"(<row r="1"><c r="A1" t="s"><v>0</v></c>)"
                     R"(<c r="B1" t="inlineStr"><is><t>tab_x0009_end</t></is></c>)"
                     R"(<c r="C1" t="str"><v>_x005F_x0041_</v></c>)"
                     R"(<c r="D1" t="s"><v>1</v></c></row>)"),
               Strings("<si><t>line_x000D__x000A_break _x0041_ _x41_ _X0041_</t></si>"
                       "<si><r><t>_x00</t></r><r><t>41_</t></r></si>")))
        << 1 << 4
        << Grid(1, 4, {{"A1", T("line\r\nbreak A _x41_ _X0041_")}, {"B1", T("tab\tend")},
                       {"C1", T("_x0041_")}, {"D1", T("_x0041_")}});

    QTest::newRow("cells outside the wanted rectangle are dropped")
        << BuildTestZip(Package(Sheet(R"(<row r="1"><c r="A1"><v>1</v></c><c r="C1"><v>3</v></c>)"
                                      R"(<c r="XFD1"><v>9</v></c></row>)"
                                      R"(<row r="2"><c r="B2"><v>4</v></c></row>)")))
        << 1 << 2 << Grid(1, 2, {{"A1", N(1)}});

    // Everything after row 3 is broken: reading stops before it is inflated or parsed.
    const QByteArray brokenTail = R"(<row r="4"><c r="A4"><v>4</v></c></row><row <<< not xml)";
    QList<TestZipEntry> manyRows = Package({});
    manyRows = Replaced(manyRows,
                        LyingPart("xl/worksheets/sheet1.xml",
                                  Sheet("").chopped(int(qstrlen("</sheetData></worksheet>"))),
                                  R"(<row><c t="s"><v>0</v></c><c><v>7</v></c></row>)", 100000,
                                  brokenTail));
    manyRows = Replaced(manyRows, TestZipEntry::text("xl/sharedStrings.xml",
                                                     Strings("<si><t>first</t></si><si <<< broken")));
    QTest::newRow("stops after the last wanted row and the highest wanted string")
        << BuildTestZip(manyRows) << 3 << 2
        << Grid(3, 2, {{"A1", T("first")}, {"B1", N(7)}, {"A2", T("first")}, {"B2", N(7)},
                       {"A3", T("first")}, {"B3", N(7)}});

    QTest::newRow("reading ends with the cells; what follows them is never parsed")
        << BuildTestZip(Package("<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                                "</sheetData><mergeCells <<< not xml"))
        << 5 << 1 << Grid(5, 1, {{"A1", N(1)}});

    QTest::newRow("sheet with no rows at all")
        << BuildTestZip(Package(Sheet(""))) << 2 << 2 << SheetGrid(2, 2);

    QTest::newRow("absolute targets, active tab 1, other sheet broken")
        << BuildTestZip(Replaced(
               Replaced(Replaced(Package("<<< never read"),
                                 TestZipEntry::text("xl/workbook.xml",
                                                    Workbook(OneSheet + R"(<sheet name="B" sheetId="2" r:id="rId9"/>)", "1"))),
                        TestZipEntry::text("xl/_rels/workbook.xml.rels",
                                           WorkbookRels(Relationship("rId1", "worksheet", "worksheets/sheet1.xml")
                                                        + Relationship("rId9", "worksheet", "/xl/worksheets/other.xml")))),
               TestZipEntry::text("xl/worksheets/other.xml", Sheet(R"(<row r="1"><c r="A1"><v>2</v></c></row>)"))))
        << 1 << 1 << Grid(1, 1, {{"A1", N(2)}});

    QTest::newRow("active tab out of range reads the first sheet")
        << BuildTestZip(Replaced(Package(Sheet(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")),
                                 TestZipEntry::text("xl/workbook.xml", Workbook(OneSheet, "7"))))
        << 1 << 1 << Grid(1, 1, {{"A1", N(1)}});

    QTest::newRow("no book views, workbook in a folder of its own, relative ../ target")
        << BuildTestZip({TestZipEntry::text("_rels/.rels", RootRels("/book/main.xml")),
                         TestZipEntry::text("book/main.xml", Workbook(OneSheet, "")),
                         TestZipEntry::text("book/_rels/main.xml.rels",
                                            WorkbookRels(Relationship("rId1", "worksheet", "../sheets/s.xml"))),
                         TestZipEntry::text("sheets/s.xml", Sheet(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>ok</t></is></c></row>)"))})
        << 1 << 1 << Grid(1, 1, {{"A1", T("ok")}});

    QTest::newRow("shared strings unused need no table")
        << BuildTestZip(Package(Sheet(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")))
        << 1 << 1 << Grid(1, 1, {{"A1", N(1)}});
}

void TestXlsxReader::readsHandBuiltSheets()
{
    QFETCH(QByteArray, file);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(SheetGrid, expected);

    const Result<SheetGrid> result = ReadXlsxSheet(m_workspace.write(file), {rows, columns});
    if (!result)
        QFAIL(qPrintable(result.error().text()));
    const SheetGrid &grid = *result;
    QCOMPARE(Describe(grid), Describe(expected));
    QVERIFY(grid == expected);
}

void TestXlsxReader::refusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    const QString notXlsx = QStringLiteral("The file is not an .xlsx workbook.");
    const QByteArray goodSheet = Sheet(R"(<row r="1"><c r="A1" t="s"><v>1</v></c></row>)");
    const QByteArray twoStrings = Strings("<si><t>a</t></si><si><t>b</t></si>");
    const QByteArray good = BuildTestZip(Package(goodSheet, twoStrings));

    QTest::newRow("empty file") << QByteArray() << 5 << notXlsx << 0 << 0;
    QTest::newRow("text, not a zip") << QByteArray("Question NO,Mark\r\n1,10\r\n") << 5 << notXlsx
                                     << 0 << 0;
    QTest::newRow("old .xls compound file")
        << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, '\0') << 5 << notXlsx << 0 << 0;
    QTest::newRow("zip of something else")
        << BuildTestZip({TestZipEntry::text("readme.txt", "hello")}) << 5 << notXlsx << 0 << 0;
    QTest::newRow("truncated workbook") << good.left(good.size() / 2) << 5
                                        << "The workbook is damaged: the file is incomplete." << 0 << 0;
    QTest::newRow("truncated by one byte") << good.chopped(1) << 5
                                           << "The workbook is damaged: the file is incomplete." << 0 << 0;

    QTest::newRow("zip bomb in the sheet")
        << BuildTestZip(Replaced(Package({}), LyingPart("xl/worksheets/sheet1.xml",
                                                        "<worksheet><sheetPr>",
                                                        "<x>" + QByteArray(1000, 'a') + "</x>",
                                                        100000, "</sheetPr></worksheet>")))
        << 5
        << "The workbook is too large to read: xl/worksheets/sheet1.xml unpacks to more than 64 MiB."
        << 0 << 0;
    QTest::newRow("zip bomb in the workbook part")
        << BuildTestZip(Replaced(Package(goodSheet, twoStrings),
                                 LyingPart("xl/workbook.xml", "<workbook><fileVersion>",
                                           "<x>" + QByteArray(1000, 'a') + "</x>", 10000,
                                           "</fileVersion></workbook>")))
        << 5 << "The workbook is too large to read: xl/workbook.xml unpacks to more than 4 MiB."
        << 0 << 0;
    QTest::newRow("zip bomb in a phonetic run of a wanted string")
        << BuildTestZip(Replaced(Package(goodSheet),
                                 LyingPart("xl/sharedStrings.xml", "<sst><si><t>a</t><rPh><t>",
                                           QByteArray(1000, 'a'), 100000, "</t></rPh></si></sst>")))
        << 5 << "The workbook is too large to read: xl/sharedStrings.xml unpacks to more than 64 MiB."
        << 0 << 0;

    // One tag of a megabyte of attributes; a '>' inside a quoted value does not end it.
    QTest::newRow("tag crowded with attributes")
        << BuildTestZip(Replaced(Package({}), LyingPart("xl/worksheets/sheet1.xml",
                                                        "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"",
                                                        " a=\"x>y\"", 100000,
                                                        "><v>1</v></c></row></sheetData></worksheet>")))
        << 5 << "The workbook is damaged: xl/worksheets/sheet1.xml holds a tag of more than 64 attributes."
        << 0 << 0;
    // Well within the length, but a thousand attributes, which the parser would compare
    // pairwise (a second a megabyte of such tags).
    QTest::newRow("tags of a thousand attributes each")
        << BuildTestZip(Replaced(Package({}), LyingPart("xl/worksheets/sheet1.xml",
                                                        "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"",
                                                        " a=\"1\"", 1000,
                                                        "><v>1</v></c></row></sheetData></worksheet>")))
        << 5 << "The workbook is damaged: xl/worksheets/sheet1.xml holds a tag of more than 64 attributes."
        << 0 << 0;
    // One attribute whose value is longer than any tag may be.
    QTest::newRow("tag longer than 64 KiB")
        << BuildTestZip(Replaced(Package({}), LyingPart("xl/worksheets/sheet1.xml",
                                                        "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" a=\"",
                                                        "x", 100000,
                                                        "\"><v>1</v></c></row></sheetData></worksheet>")))
        << 5 << "The workbook is damaged: xl/worksheets/sheet1.xml holds a tag of more than 64 KiB."
        << 0 << 0;
    QTest::newRow("elements nested without end")
        << BuildTestZip(Replaced(Package({}), LyingPart("xl/worksheets/sheet1.xml", "<worksheet>",
                                                        "<x>", 1000000, "")))
        << 5 << "The workbook is damaged: xl/worksheets/sheet1.xml nests its elements too deeply."
        << 0 << 0;

    QList<TestZipEntry> crowded = Package(goodSheet, twoStrings);
    for (int i = 0; i < 10000; ++i)
        crowded.append(TestZipEntry::text(QStringLiteral("customXml/item%1.xml").arg(i), "<a/>"));
    QTest::newRow("too many zip entries")
        << BuildTestZip(crowded) << 5
        << "The workbook is too large to read: its zip directory lists 10006 parts, more than 10000."
        << 0 << 0;
    // The count is refused from the end record, before a directory of millions is read.
    QTest::newRow("forged ZIP64 directory count")
        << ForgedDirectoryZip(5000000, 0x7FFFFFFF, true) << 5
        << "The workbook is too large to read: its zip directory lists 5000000 parts, more than 10000."
        << 0 << 0;
    QTest::newRow("forged directory count")
        << ForgedDirectoryZip(60000, 0x7FFFFFF0, false) << 5
        << "The workbook is too large to read: its zip directory lists 60000 parts, more than 10000."
        << 0 << 0;

    const QByteArray farString = Sheet(R"(<row r="1"><c r="A1" t="s"><v>1200000</v></c></row>)");
    QTest::newRow("huge shared-string table")
        << BuildTestZip(Replaced(Package(farString),
                                 LyingPart("xl/sharedStrings.xml", "<sst>", "<si/>", 1300000, "</sst>")))
        << 5 << "The workbook is too large to read: it holds more than 1000000 shared strings."
        << 0 << 0;

    // The same sheet as in the hand-built reads, asked for two rows more than it stops at.
    QList<TestZipEntry> brokenAfterRow3 = Package(Sheet(
        R"(<row r="1"/><row r="2"/><row r="3"/><row r="4"><c r="A4"><v>4</v></c></row><row <<< not xml)"));
    QTest::newRow("broken XML below the wanted rows is found when they are wanted")
        << BuildTestZip(brokenAfterRow3) << 5
        << "The workbook is damaged: xl/worksheets/sheet1.xml is not well-formed XML (line 1)."
        << 0 << 0;
    QTest::newRow("sheet not well-formed on line 3")
        << BuildTestZip(Package("<?xml version=\"1.0\"?>\n<worksheet><sheetData>\n<row r=\"1\"><c r=\"A1\"><v>1</v></row>\n</sheetData></worksheet>"))
        << 5 << "The workbook is damaged: xl/worksheets/sheet1.xml is not well-formed XML (line 3)."
        << 0 << 0;
    QTest::newRow("sheet cut off inside the data")
        << BuildTestZip(Package(Sheet("").left(60))) << 5
        << "The workbook is damaged: xl/worksheets/sheet1.xml is not well-formed XML (line 1)."
        << 0 << 0;
    QTest::newRow("document type declaration")
        << BuildTestZip(Replaced(Package(goodSheet, twoStrings),
                                 TestZipEntry::text("xl/workbook.xml",
                                                    "<?xml version=\"1.0\"?><!DOCTYPE workbook [<!ENTITY a \"aaaa\">]>" + Workbook(OneSheet).mid(38))))
        << 5 << "The workbook is damaged: xl/workbook.xml holds a document type declaration." << 0 << 0;

    QTest::newRow("missing sheet part")
        << BuildTestZip(Without(Package(goodSheet, twoStrings), "xl/worksheets/sheet1.xml")) << 5
        << "The workbook is damaged: xl/worksheets/sheet1.xml is missing." << 0 << 0;
    QTest::newRow("missing workbook part")
        << BuildTestZip(Without(Package(goodSheet, twoStrings), "xl/workbook.xml")) << 5
        << "The workbook is damaged: xl/workbook.xml is missing." << 0 << 0;
    QTest::newRow("missing workbook relationships")
        << BuildTestZip(Without(Package(goodSheet, twoStrings), "xl/_rels/workbook.xml.rels")) << 5
        << "The workbook is damaged: xl/_rels/workbook.xml.rels is missing." << 0 << 0;
    QTest::newRow("shared-string part named but missing")
        << BuildTestZip(Package(goodSheet)) << 5
        << "The workbook is damaged: xl/sharedStrings.xml is missing." << 0 << 0;
    QTest::newRow("no shared-string table at all")
        << BuildTestZip(Replaced(Package(Sheet(R"(<row r="2"><c r="C2" t="s"><v>0</v></c></row>)")),
                                 TestZipEntry::text("xl/_rels/workbook.xml.rels",
                                                    WorkbookRels(Relationship("rId1", "worksheet", "worksheets/sheet1.xml")))))
        << 5
        << "The workbook is damaged: the cell refers to a shared string, but the workbook has no shared string table."
        << 2 << 3;
    QTest::newRow("shared-string index out of range")
        << BuildTestZip(Package(Sheet(R"(<row r="1"><c r="A1" t="s"><v>1</v></c></row><row r="4"><c r="B4" t="s"><v>2</v></c></row>)"),
                                twoStrings))
        << 5 << "The workbook is damaged: the cell refers to shared string 2, which does not exist."
        << 4 << 2;
    QTest::newRow("shared-string index not a number")
        << BuildTestZip(Package(Sheet(R"(<row r="1"><c r="A1" t="s"><v>-1</v></c></row>)"), twoStrings))
        << 5 << "The workbook is damaged: the shared string number \"-1\" is not a number." << 1 << 1;
    QTest::newRow("number that is not one")
        << BuildTestZip(Package(Sheet(R"(<row r="3"><c r="E3"><v>12,7</v></c></row>)"))) << 5
        << "The workbook is damaged: the number \"12,7\" cannot be read." << 3 << 5;
    QTest::newRow("number that is infinite")
        << BuildTestZip(Package(Sheet(R"(<row r="3"><c r="E3"><v>inf</v></c></row>)"))) << 5
        << "The workbook is damaged: the number \"inf\" cannot be read." << 3 << 5;
    QTest::newRow("truth value that is neither")
        << BuildTestZip(Package(Sheet(R"(<row r="1"><c r="B1" t="b"><v>2</v></c></row>)"))) << 5
        << "The workbook is damaged: the truth value \"2\" cannot be read." << 1 << 2;
    QTest::newRow("column past XFD")
        << BuildTestZip(Package(Sheet(R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)"))) << 5
        << "The workbook is damaged: xl/worksheets/sheet1.xml has a bad cell reference \"XFE1\" in row 1."
        << 0 << 0;
    QTest::newRow("cell reference outside its row")
        << BuildTestZip(Package(Sheet(R"(<row r="2"><c r="A3"><v>1</v></c></row>)"))) << 5
        << "The workbook is damaged: xl/worksheets/sheet1.xml has a bad cell reference \"A3\" in row 2."
        << 0 << 0;
    QTest::newRow("row number zero")
        << BuildTestZip(Package(Sheet(R"(<row r="0"><c><v>1</v></c></row>)"))) << 5
        << "The workbook is damaged: xl/worksheets/sheet1.xml has a bad row number \"0\"." << 0 << 0;

    TestZipEntry encrypted = TestZipEntry::text("xl/worksheets/sheet1.xml", goodSheet);
    encrypted.markEncrypted = true;
    QTest::newRow("encrypted entry")
        << BuildTestZip(Replaced(Package(goodSheet, twoStrings), encrypted)) << 5
        << "The workbook is encrypted and cannot be read." << 0 << 0;
    TestZipEntry badCrc = TestZipEntry::text("xl/workbook.xml", Workbook(OneSheet));
    badCrc.corruptChecksum = true;
    QTest::newRow("checksum mismatch")
        << BuildTestZip(Replaced(Package(goodSheet, twoStrings), badCrc)) << 5
        << "The workbook is damaged: xl/workbook.xml fails its checksum." << 0 << 0;

    QTest::newRow("active sheet is a chart sheet")
        << BuildTestZip(Replaced(Package(goodSheet, twoStrings),
                                 TestZipEntry::text("xl/_rels/workbook.xml.rels",
                                                    WorkbookRels(Relationship("rId1", "chartsheet", "chartsheets/sheet1.xml")))))
        << 5 << "The workbook's active sheet is not a worksheet." << 0 << 0;
    QTest::newRow("workbook without sheets")
        << BuildTestZip(Replaced(Package(goodSheet, twoStrings),
                                 TestZipEntry::text("xl/workbook.xml", Workbook(""))))
        << 5 << "The workbook is damaged: it has no sheets." << 0 << 0;
}

void TestXlsxReader::refusesBadFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, rows);
    QFETCH(QString, reason);
    QFETCH(int, row);
    QFETCH(int, column);

    const Result<SheetGrid> result = ReadXlsxSheet(m_workspace.write(file), {rows, 11});
    if (result)
        QFAIL(qPrintable("read as a sheet:\n" + Describe(*result)));
    QCOMPARE(result.error().reason, reason);
    QCOMPARE(result.error().row, row);
    QCOMPARE(result.error().column, column);

    // A workbook held in memory is refused for the same reason.
    const Result<SheetGrid> fromBytes = ReadXlsxSheetFromBytes(file, {rows, 11});
    if (fromBytes)
        QFAIL(qPrintable("read from memory as a sheet:\n" + Describe(*fromBytes)));
    QCOMPARE(fromBytes.error().reason, reason);
}

void TestXlsxReader::refusesMissingFile()
{
    QTemporaryDir dir;
    const QString absent = dir.filePath("absent.xlsx");
    const Result<SheetGrid> result = ReadXlsxSheet(absent, {5, 11});
    QVERIFY(!result);
    QCOMPARE(result.error().reason, QStringLiteral("cannot open %1: No such file or directory").arg(absent));
}

QTEST_GUILESS_MAIN(TestXlsxReader)
#include "tst_xlsxreader.moc"

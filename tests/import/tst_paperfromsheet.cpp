// The import's reading of a worksheet: which rows are questions, the header check, the
// value conversions and the limits, on sheets built in memory.
#include "paper/PaperFromSheet.h"
#include "paper/PaperSheetLayout.h"
#include "paper/SheetValues.h"

#include <QTest>
#include <functional>

namespace {
using Edit = std::function<void(SheetGrid &)>;

// A sheet as the export writes it: question k has mark k, time limit 15, answer "A".
SheetGrid paperSheet(int questions)
{
    QuestionTable table;
    for (int k = 1; k <= questions; ++k) {
        table.AddNew();
        table.setField(QuestionField::QuestionNo, k);
        table.setField(QuestionField::Score, k % 250);
        table.setField(QuestionField::TimeLimit, 15);
        table.setField(QuestionField::Answer, QStringLiteral("A"));
        table.setField(QuestionField::Title, QStringLiteral("Question %1").arg(k));
        for (int i = 0; i < 6; ++i)
            table.setField(OptionField(i), QStringLiteral("%1-%2").arg(k).arg(i));
        table.Update();
    }
    SheetGrid sheet = PaperToSheet(table).cells;
    SheetGrid sized(PaperSheetReadLimits().rows, PaperSheetReadLimits().columns);
    for (int row = 1; row <= sheet.rowCount(); ++row)
        for (int column = 1; column <= sheet.columnCount(); ++column)
            sized.setCell(row, column, sheet.cell(row, column));
    return sized;
}

Edit setCell(int row, int column, SheetCell cell)
{
    return [=](SheetGrid &sheet) { sheet.setCell(row, column, cell); };
}
Edit setText(int row, int column, const QString &text)
{
    return setCell(row, column, SheetCell::fromText(text));
}
Edit setNumber(int row, int column, double number)
{
    return setCell(row, column, SheetCell::fromNumber(number));
}
Edit both(Edit first, Edit second)
{
    return [=](SheetGrid &sheet) { first(sheet); second(sheet); };
}

BuiltPaper paperOf(Result<SheetImport> result)
{
    if (!result)
        qFatal("refused: %s", qPrintable(result.error().listText()));
    return std::move(result->paper);
}
} // namespace

Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(SheetCell)

class TestPaperFromSheet : public QObject
{
    Q_OBJECT
private slots:
    void acceptedSheets_data();
    void acceptedSheets();
    void refusedSheets_data();
    void refusedSheets();
    void fieldConversions_data();
    void fieldConversions();
    void textsAreTakenUntrimmed();
    void questionsAreRenumberedInRowOrder();
    void marksTableFollowsTheRows();
    void reportSaysWhereTheQuestionsEnd_data();
    void reportSaysWhereTheQuestionsEnd();
    void reportListsEveryCellTheRulesChanged();
    void refusalListsEveryFaultInRowOrder();
    void tooLongTextIsNamedByItsCell();
};

void TestPaperFromSheet::acceptedSheets_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("expectedCount");

    const Edit none = [](SheetGrid &) {};
    QTest::newRow("one question") << 1 << none << 1;
    QTest::newRow("250 questions") << 250 << none << 250;
    QTest::newRow("blank mark in row 6 ends the questions")
        << 10 << setCell(6, 2, SheetCell()) << 4;
    QTest::newRow("spaces-only number in row 4 ends them")
        << 10 << setText(4, 1, QStringLiteral("   ")) << 2;
    QTest::newRow("rows below the end are never read, even when bad")
        << 10 << both(setCell(3, 1, SheetCell()), setNumber(5, 2, 999)) << 1;
    QTest::newRow("header with spaces around it")
        << 3 << setText(1, 2, QStringLiteral("  Mark  ")) << 3;
    QTest::newRow("empty header in column 11") << 3 << setCell(1, 11, SheetCell()) << 3;
    QTest::newRow("spaces-only header in column 11")
        << 3 << setText(1, 11, QStringLiteral("  ")) << 3;
    QTest::newRow("mark as text that is a number") << 3 << setText(2, 2, QStringLiteral(" 7 ")) << 3;
    QTest::newRow("title and option F of the longest length")
        << 3 << both(setText(2, 4, QString(32767, u'x')), setText(3, 11, QString(32767, u'y'))) << 3;
    QTest::newRow("mark as text that is not a number counts as 0")
        << 3 << setText(2, 2, QStringLiteral("ten")) << 3;
}

void TestPaperFromSheet::acceptedSheets()
{
    QFETCH(int, questions);
    QFETCH(Edit, edit);
    QFETCH(int, expectedCount);
    SheetGrid sheet = paperSheet(questions);
    edit(sheet);
    const BuiltPaper paper = paperOf(PaperFromSheet(sheet));
    QCOMPARE(paper.table->RecordCount(), expectedCount);
}

void TestPaperFromSheet::refusedSheets_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    const Edit none = [](SheetGrid &) {};
    QTest::newRow("header only") << 0 << none << 2 << 0;
    QTest::newRow("first question lacks its number") << 3 << setCell(2, 1, SheetCell()) << 2 << 0;
    QTest::newRow("251 questions") << 251 << none << 252 << 0;
    QTest::newRow("header in other letter case") << 3 << setText(1, 2, QStringLiteral("MARK")) << 1 << 2;
    QTest::newRow("header of column 11 is another text")
        << 3 << setText(1, 11, QStringLiteral("Option G")) << 1 << 11;
    QTest::newRow("empty header in column 10") << 3 << setCell(1, 10, SheetCell()) << 1 << 10;
    QTest::newRow("header as a number") << 3 << setNumber(1, 4, 4) << 1 << 4;
    QTest::newRow("mark -0.5 reads as -1") << 3 << setNumber(3, 2, -0.5) << 3 << 2;
    QTest::newRow("mark 251") << 3 << setNumber(4, 2, 251) << 4 << 2;
    QTest::newRow("mark beyond 16 bits reads as 0, time limit too")
        << 3 << both(setNumber(2, 2, 40000), setNumber(2, 5, 40000)) << 2 << 5;
    QTest::newRow("time limit 0.5 reads as 0") << 3 << setNumber(2, 5, 0.5) << 2 << 5;
    QTest::newRow("time limit 251") << 3 << setNumber(3, 5, 251) << 3 << 5;
    QTest::newRow("time limit as text that is not a number")
        << 3 << setText(3, 5, QStringLiteral("soon")) << 3 << 5;
    QTest::newRow("empty time limit") << 3 << setCell(4, 5, SheetCell()) << 4 << 5;
    QTest::newRow("time limit an error value")
        << 3 << setCell(2, 5, SheetCell::fromError(QStringLiteral("#N/A"))) << 2 << 5;
    QTest::newRow("title of 32768 characters") << 3 << setText(3, 4, QString(32768, u'x')) << 3 << 4;
    QTest::newRow("option A of 32768 characters") << 3 << setText(2, 6, QString(32768, u'x')) << 2 << 6;
}

void TestPaperFromSheet::refusedSheets()
{
    QFETCH(int, questions);
    QFETCH(Edit, edit);
    QFETCH(int, row);
    QFETCH(int, column);
    SheetGrid sheet = paperSheet(questions);
    edit(sheet);
    const Result<SheetImport> result = PaperFromSheet(sheet);
    QVERIFY2(!result, "the sheet was accepted");
    QCOMPARE(result.error().row, row);
    QCOMPARE(result.error().column, column);
    QVERIFY(!result.error().reason.isEmpty());
}

void TestPaperFromSheet::fieldConversions_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<SheetCell>("cell");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("mark 12.7 floors to 12") << 2 << SheetCell::fromNumber(12.7) << QVariant(12);
    QTest::newRow("mark as text 1e2") << 2 << SheetCell::fromText(QStringLiteral("1e2")) << QVariant(100);
    QTest::newRow("mark TRUE is no number") << 2 << SheetCell::fromBoolean(true) << QVariant(0);
    QTest::newRow("time limit 15.99") << 5 << SheetCell::fromNumber(15.99) << QVariant(15);
    QTest::newRow("answer c a with spaces")
        << 3 << SheetCell::fromText(QStringLiteral("  ca  ")) << QVariant(QStringLiteral("AC"));
    QTest::newRow("answer FDB") << 3 << SheetCell::fromText(QStringLiteral("FDB"))
                                << QVariant(QStringLiteral("BDF"));
    QTest::newRow("answer G") << 3 << SheetCell::fromText(QStringLiteral("G"))
                              << QVariant(QStringLiteral("Uncertain"));
    QTest::newRow("answer Uncertain") << 3 << SheetCell::fromText(QStringLiteral("Uncertain"))
                                      << QVariant(QStringLiteral("Uncertain"));
    QTest::newRow("answer empty") << 3 << SheetCell() << QVariant(QStringLiteral("Uncertain"));
    QTest::newRow("title as a number") << 4 << SheetCell::fromNumber(3.25)
                                       << QVariant(QStringLiteral("3.25"));
    QTest::newRow("title as a large number") << 4 << SheetCell::fromNumber(1e20)
                                             << QVariant(QStringLiteral("1E+20"));
    QTest::newRow("option A an error value") << 6 << SheetCell::fromError(QStringLiteral("#DIV/0!"))
                                             << QVariant(QString());
    QTest::newRow("option F boolean") << 11 << SheetCell::fromBoolean(false)
                                      << QVariant(QStringLiteral("FALSE"));
}

void TestPaperFromSheet::fieldConversions()
{
    QFETCH(int, column);
    QFETCH(SheetCell, cell);
    QFETCH(QVariant, expected);
    SheetGrid sheet = paperSheet(1);
    sheet.setCell(2, column, cell);
    const BuiltPaper paper = paperOf(PaperFromSheet(sheet));
    const QuestionField fields[] = {QuestionField::QuestionNo, QuestionField::Score,
                                    QuestionField::Answer, QuestionField::Title,
                                    QuestionField::TimeLimit, QuestionField::ItemA,
                                    QuestionField::ItemB, QuestionField::ItemC,
                                    QuestionField::ItemD, QuestionField::ItemE,
                                    QuestionField::ItemF};
    QCOMPARE(paper.table->row(0).value(fields[column - 1]), expected);
}

void TestPaperFromSheet::textsAreTakenUntrimmed()
{
    SheetGrid sheet = paperSheet(1);
    const QString title = QStringLiteral("  \"Quoted\", with comma\r\nand line \u00e9\u4e2d  ");
    sheet.setCell(2, 4, SheetCell::fromText(title));
    sheet.setCell(2, 9, SheetCell::fromText(QStringLiteral(" d ")));
    const BuiltPaper paper = paperOf(PaperFromSheet(sheet));
    QCOMPARE(paper.table->row(0).Title, title);
    QCOMPARE(paper.table->row(0).Items[3], QStringLiteral(" d "));
}

void TestPaperFromSheet::questionsAreRenumberedInRowOrder()
{
    SheetGrid sheet = paperSheet(3);
    sheet.setCell(2, 1, SheetCell::fromNumber(7));
    sheet.setCell(3, 1, SheetCell::fromNumber(3));
    sheet.setCell(4, 1, SheetCell::fromText(QStringLiteral("nine")));
    const BuiltPaper paper = paperOf(PaperFromSheet(sheet));
    QCOMPARE(paper.table->RecordCount(), 3);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(paper.table->row(k).QuestionNo, k + 1);
        QCOMPARE(paper.table->row(k).Title, QStringLiteral("Question %1").arg(k + 1));
    }
}

void TestPaperFromSheet::marksTableFollowsTheRows()
{
    SheetGrid sheet = paperSheet(5);
    sheet.setCell(3, 2, SheetCell::fromNumber(250));
    const BuiltPaper paper = paperOf(PaperFromSheet(sheet));
    QCOMPARE(paper.scores[1], 1);
    QCOMPARE(paper.scores[2], 250);
    QCOMPARE(paper.scores[5], 5);
    QCOMPARE(paper.scores[6], 0);
    QCOMPARE(paper.scores.total(5), 1 + 250 + 3 + 4 + 5);
}

void TestPaperFromSheet::reportSaysWhereTheQuestionsEnd_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("expectedCount");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("warnings");

    const Edit none = [](SheetGrid &) {};
    QTest::newRow("a whole sheet")
        << 3 << none << 3
        << "3 questions, from rows 2-4.\nThe questions end at row 5: the Question NO and Mark cells are empty."
        << QStringList();
    QTest::newRow("one question")
        << 1 << none << 1
        << "1 question, from row 2.\nThe questions end at row 3: the Question NO and Mark cells are empty."
        << QStringList();
    QTest::newRow("an empty mark in row 10 of 30 questions")
        << 30 << setCell(10, 2, SheetCell()) << 8
        << "8 questions, from rows 2-9.\nThe questions end at row 10: the Mark cell is empty."
        << QStringList{"22 rows from row 10 down still hold data and were not imported."};
    QTest::newRow("an empty number in the last row")
        << 5 << setCell(6, 1, SheetCell()) << 4
        << "4 questions, from rows 2-5.\nThe questions end at row 6: the Question NO cell is empty."
        << QStringList{"1 row from row 6 down still holds data and was not imported."};
    QTest::newRow("a stray cell far below")
        << 2 << setText(200, 9, QStringLiteral("note")) << 2
        << "2 questions, from rows 2-3.\nThe questions end at row 4: the Question NO and Mark cells are empty."
        << QStringList{"1 row from row 4 down still holds data and was not imported."};
    QTest::newRow("data down to the last row read")
        << 5 << both(setCell(4, 2, SheetCell()), setText(252, 4, QStringLiteral("more"))) << 2
        << "2 questions, from rows 2-3.\nThe questions end at row 4: the Mark cell is empty."
        << QStringList{"at least 4 rows from row 4 down still hold data and were not imported."};
    QTest::newRow("250 questions fill the sheet read")
        << 250 << none << 250
        << "250 questions, from rows 2-251.\nThe questions end at row 252: the Question NO and Mark cells are empty."
        << QStringList();
    QTest::newRow("an error value as the number does not end the questions")
        << 4 << setCell(3, 1, SheetCell::fromError(QStringLiteral("#N/A"))) << 4
        << "4 questions, from rows 2-5.\nThe questions end at row 6: the Question NO and Mark cells are empty."
        << QStringList();
    QTest::newRow("a formula without a stored value as the mark ends them, named")
        << 4 << setCell(4, 2, SheetCell::uncalculated()) << 2
        << "2 questions, from rows 2-3.\nThe questions end at row 4: the Mark cell holds a formula without a stored value."
        << QStringList{"2 rows from row 4 down still hold data and were not imported."};
    QTest::newRow("an error value as the mark does not end them")
        << 4 << setCell(3, 2, SheetCell::fromError(QStringLiteral("#N/A"))) << 4
        << "4 questions, from rows 2-5.\nThe questions end at row 6: the Question NO and Mark cells are empty."
        << QStringList();
}

void TestPaperFromSheet::reportSaysWhereTheQuestionsEnd()
{
    QFETCH(int, questions);
    QFETCH(Edit, edit);
    QFETCH(int, expectedCount);
    QFETCH(QString, summary);
    QFETCH(QStringList, warnings);
    SheetGrid sheet = paperSheet(questions);
    edit(sheet);
    const Result<SheetImport> imported = PaperFromSheet(sheet);
    QVERIFY2(imported, qPrintable(imported ? QString() : imported.error().listText()));
    QCOMPARE(imported->paper.table->RecordCount(), expectedCount);
    QCOMPARE(imported->report.summary, summary);
    QCOMPARE(imported->report.warnings, warnings);
}

void TestPaperFromSheet::reportListsEveryCellTheRulesChanged()
{
    SheetGrid sheet = paperSheet(4);
    sheet.name = QStringLiteral("Week 1");
    sheet.setCell(2, 2, SheetCell::fromText(QStringLiteral("2 pts")));
    sheet.setCell(2, 3, SheetCell::fromText(QStringLiteral("B, D")));
    sheet.setCell(3, 2, SheetCell::fromNumber(12.7));
    sheet.setCell(3, 3, SheetCell::fromText(QStringLiteral(" ca "))); // kept: read as AC
    sheet.setCell(3, 5, SheetCell::fromText(QStringLiteral("20")));
    sheet.setCell(4, 2, SheetCell::fromError(QStringLiteral("#N/A")));
    sheet.setCell(4, 3, SheetCell::fromText(QStringLiteral("Uncertain"))); // kept
    sheet.setCell(4, 4, SheetCell::fromError(QStringLiteral("#REF!")));
    sheet.setCell(5, 2, SheetCell::fromNumber(40000));
    sheet.setCell(5, 3, SheetCell()); // kept: an empty answer is "Uncertain"
    sheet.setCell(5, 5, SheetCell::fromNumber(9.5));
    sheet.setCell(5, 7, SheetCell::uncalculated());

    const Result<SheetImport> imported = PaperFromSheet(sheet);
    QVERIFY2(imported, qPrintable(imported ? QString() : imported.error().listText()));
    QCOMPARE(imported->report.summary,
             "4 questions, from rows 2-5 of sheet \"Week 1\".\n"
             "The questions end at row 6: the Question NO and Mark cells are empty.");
    const QStringList expected{
        "row 2, column B (Mark): the text \"2 pts\" is not a number and was read as 0",
        "row 2, column C (Answer): \"B, D\" is not an answer of the letters A-F and became \"Uncertain\"",
        "row 3, column B (Mark): 12.7 was rounded down to 12",
        "row 3, column E (Time Limit): the text \"20\" was read as the number 20",
        "row 4, column B (Mark): the error value #N/A is not a number and was read as 0",
        "row 4, column D (Question Title): the error value #REF! is no text and was left empty",
        "row 5, column B (Mark): 40000 is outside the numbers a paper holds and was read as 0",
        "row 5, column E (Time Limit): 9.5 was rounded down to 9",
        "row 5, column G (Option B): the cell holds a formula without a stored value and was left empty",
    };
    QCOMPARE(imported->report.changes, expected);
    const QuestionTable &table = *imported->paper.table;
    QCOMPARE(table.row(0).Score, 0);
    QCOMPARE(table.row(0).Answer, QStringLiteral("Uncertain"));
    QCOMPARE(table.row(1).Answer, QStringLiteral("AC"));
    QCOMPARE(table.row(1).TimeLimit, 20);
    QCOMPARE(table.row(3).TimeLimit, 9);
}

void TestPaperFromSheet::tooLongTextIsNamedByItsCell()
{
    SheetGrid sheet = paperSheet(3);
    sheet.setCell(3, 11, SheetCell::fromText(QString(40000, u'z')));
    const Result<SheetImport> result = PaperFromSheet(sheet);
    QVERIFY2(!result, "the sheet was accepted");
    QCOMPARE(result.error().text(),
             QStringLiteral("row 3, column K (Option F): the text has 40000 characters, more than "
                            "the 32767 a text holds"));
}

void TestPaperFromSheet::refusalListsEveryFaultInRowOrder()
{
    SheetGrid sheet = paperSheet(10);
    sheet.setCell(1, 2, SheetCell::fromText(QStringLiteral("Marks")));
    sheet.setCell(6, 2, SheetCell::fromNumber(300));
    sheet.setCell(8, 5, SheetCell::fromText(QStringLiteral("soon")));
    sheet.setCell(8, 2, SheetCell::fromNumber(-3));
    const Result<SheetImport> refused = PaperFromSheet(sheet);
    QVERIFY(!refused);
    QCOMPARE(refused.error().listText().split(u'\n'),
             (QStringList{"row 1, column B (Mark): the header is \"Marks\" where \"Mark\" belongs",
                          "row 6, column B (Mark): 300 is outside 0-250",
                          "row 8, column B (Mark): -3 is outside 0-250",
                          "row 8, column E (Time Limit): \"soon\" (read as 0) is outside 1-250"}));

    // A fault in every question is listed to the end, not only the first twenty.
    SheetGrid everyRow = paperSheet(30);
    for (int row = 2; row <= 31; ++row)
        everyRow.setCell(row, 5, SheetCell::fromNumber(0));
    const Result<SheetImport> all = PaperFromSheet(everyRow);
    QVERIFY(!all);
    QCOMPARE(all.error().further.size(), std::size_t(29));
    QCOMPARE(all.error().further.back().row, 31);
    QVERIFY(all.error().listText().endsWith(QStringLiteral("\nand 10 more")));
}

QTEST_GUILESS_MAIN(TestPaperFromSheet)
#include "tst_paperfromsheet.moc"

// The paper as the export lays it out on a worksheet.
#include "paper/PaperSheetLayout.h"
#include "paper/QuestionTable.h"

#include <QTest>

class TestPaperSheetLayout : public QObject
{
    Q_OBJECT
private slots:
    void threeQuestionsFillFourRows();
};

void TestPaperSheetLayout::threeQuestionsFillFourRows()
{
    QuestionTable table;
    const QString answers[] = {QStringLiteral("AC"), QStringLiteral("Uncertain"),
                               QStringLiteral("F")};
    for (int k = 1; k <= 3; ++k) {
        table.AddNew();
        table.setField(QuestionField::QuestionNo, k);
        table.setField(QuestionField::Score, 10 * k);
        table.setField(QuestionField::TimeLimit, 200 + k);
        table.setField(QuestionField::Answer, answers[k - 1]);
        table.setField(QuestionField::Title, QStringLiteral("Title, \"%1\"\r\n").arg(k));
        for (int i = 0; i < 5; ++i) // option F stays empty
            table.setField(OptionField(i), QStringLiteral("opt %1").arg(k) + QString::number(i));
        table.Update();
    }
    table.MoveTo(2);

    const SheetContent sheet = PaperToSheet(table);
    QCOMPARE(table.AbsolutePosition(), 2); // the cursor stays where it was
    QCOMPARE(sheet.cells.rowCount(), 4);
    QCOMPARE(sheet.cells.columnCount(), 11);
    QCOMPARE(sheet.columnWidths, (QList<double>{6, 6, 6, 30, 6, 13, 13, 13, 13, 13, 13}));
    QVERIFY(sheet.wrapText);

    const QStringList headers = {"Question NO", "Mark", "Answer", "Question Title",
                                 "Time Limit", "Option A", "Option B", "Option C",
                                 "Option D", "Option E", "Option F"};
    for (int column = 1; column <= 11; ++column)
        QCOMPARE(sheet.cells.cell(1, column), SheetCell::fromText(headers[column - 1]));

    for (int k = 1; k <= 3; ++k) {
        const int row = k + 1;
        QCOMPARE(sheet.cells.cell(row, 1), SheetCell::fromNumber(k));
        QCOMPARE(sheet.cells.cell(row, 2), SheetCell::fromNumber(10 * k));
        QCOMPARE(sheet.cells.cell(row, 3), SheetCell::fromText(answers[k - 1]));
        QCOMPARE(sheet.cells.cell(row, 4),
                 SheetCell::fromText(QStringLiteral("Title, \"%1\"\r\n").arg(k)));
        QCOMPARE(sheet.cells.cell(row, 5), SheetCell::fromNumber(200 + k));
        QCOMPARE(sheet.cells.cell(row, 6), SheetCell::fromText(QStringLiteral("opt %1").arg(k) + u'0'));
        QCOMPARE(sheet.cells.cell(row, 11), SheetCell::fromText(QString()));
    }
}

QTEST_GUILESS_MAIN(TestPaperSheetLayout)
#include "tst_papersheetlayout.moc"

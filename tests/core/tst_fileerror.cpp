#include "core/FileError.h"

#include <QTest>

Q_DECLARE_METATYPE(FileError)

// What the user reads when a file is refused: the reason after its place, the place of a
// text file by line and header name, of a sheet by row and column letter.
class TestFileError : public QObject
{
    Q_OBJECT
private slots:
    void textPutsThePlaceBeforeTheReason_data()
    {
        QTest::addColumn<FileError>("error");
        QTest::addColumn<QString>("text");
        const QString reason = QStringLiteral("251 is outside 0-250");
        QTest::newRow("no place") << FileError{reason} << reason;
        QTest::newRow("line") << FileError::atLine(reason, 7) << "line 7: " + reason;
        QTest::newRow("line and column")
            << FileError::atLine(reason, 7, QStringLiteral("Mark"))
            << "line 7, column \"Mark\": " + reason;
        QTest::newRow("column name alone")
            << FileError::atLine(reason, 0, QStringLiteral("Mark")) << "column \"Mark\": " + reason;
        QTest::newRow("row") << FileError::atRow(reason, 6) << "row 6: " + reason;
        QTest::newRow("row and column") << FileError::atRow(reason, 6, 2)
                                        << "row 6, column B: " + reason;
        QTest::newRow("row, column and its name")
            << FileError::atRow(reason, 6, 2, QStringLiteral("Mark"))
            << "row 6, column B (Mark): " + reason;
        QTest::newRow("column alone") << FileError::atRow(reason, 0, 11) << "column K: " + reason;
        QTest::newRow("column past Z") << FileError::atRow(reason, 3, 28) << "row 3, column AB: " + reason;
        QTest::newRow("last .xlsx column") << FileError::atRow(reason, 1, 16384)
                                           << "row 1, column XFD: " + reason;
        QTest::newRow("a header holding %1")
            << FileError::atLine(reason, 3, QStringLiteral("%1 %2"))
            << "line 3, column \"%1 %2\": " + reason;
    }
    void textPutsThePlaceBeforeTheReason()
    {
        QFETCH(FileError, error);
        QFETCH(QString, text);
        QCOMPARE(error.text(), text);
    }

    // A file checked whole lists its faults in order, at most twenty, then how many more.
    void listTextListsTwentyFaultsThenHowManyMore_data()
    {
        QTest::addColumn<int>("faults");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("one") << 1 << 1 << "row 2: fault 1";
        QTest::newRow("three") << 3 << 3 << "row 4: fault 3";
        QTest::newRow("twenty") << 20 << 20 << "row 21: fault 20";
        QTest::newRow("twenty-one") << 21 << 21 << "and 1 more";
        QTest::newRow("sixty") << 60 << 21 << "and 40 more";
    }
    void listTextListsTwentyFaultsThenHowManyMore()
    {
        QFETCH(int, faults);
        QFETCH(int, lines);
        QFETCH(QString, lastLine);
        FileError error = FileError::atRow(QStringLiteral("fault 1"), 2);
        for (int i = 2; i <= faults; ++i)
            error.further.push_back(FileError::atRow(QStringLiteral("fault %1").arg(i), i + 1));
        const QStringList listed = error.listText().split(u'\n');
        QCOMPARE(listed.size(), lines);
        QCOMPARE(listed.first(), QStringLiteral("row 2: fault 1"));
        QCOMPARE(listed.last(), lastLine);
        QCOMPARE(error.text(), QStringLiteral("row 2: fault 1"));
    }
};

QTEST_GUILESS_MAIN(TestFileError)
#include "tst_fileerror.moc"

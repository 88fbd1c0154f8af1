#include "core/FileError.h"

#include <QTest>

Q_DECLARE_METATYPE(FileError)

// What the user reads when a file is refused: the reason after its place, the place of a
// text file by line and header name, of a sheet by row and column number.
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
                                        << "row 6, column 2: " + reason;
        QTest::newRow("column number alone") << FileError::atRow(reason, 0, 11)
                                             << "column 11: " + reason;
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
};

QTEST_GUILESS_MAIN(TestFileError)
#include "tst_fileerror.moc"

#include "paper/SplitFilePath.h"

#include <QTest>

class TestSplitFilePath : public QObject
{
    Q_OBJECT
private slots:
    void splits_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("split");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("folder");

        QTest::newRow("full path") << "/home/t/papers/week 1.csv" << true << "week 1.csv"
                                   << "/home/t/papers/";
        QTest::newRow("file in the root") << "/a.csv" << true << "a.csv" << "/";
        QTest::newRow("relative") << "papers/a.csv" << true << "a.csv" << "papers/";
        QTest::newRow("bare file name") << "a.csv" << false << "a.csv" << "";
        QTest::newRow("ends in a separator") << "/home/t/" << false << "" << "/home/t/";
        QTest::newRow("backslash is part of a name") << "/x/a\\b.csv" << true << "a\\b.csv"
                                                     << "/x/";
    }
    void splits()
    {
        QFETCH(QString, path);
        QFETCH(bool, split);
        QFETCH(QString, fileName);
        QFETCH(QString, folder);
        QString gotName = QStringLiteral("old name");
        QString gotFolder = QStringLiteral("old folder");
        QCOMPARE(SplitFilePath(path, gotName, gotFolder), split);
        QCOMPARE(gotName, fileName);
        QCOMPARE(gotFolder, folder);
    }

    void emptyPathLeavesBothAlone()
    {
        QString name = QStringLiteral("kept");
        QString folder = QStringLiteral("kept/");
        QVERIFY(!SplitFilePath(QString(), name, folder));
        QCOMPARE(name, "kept");
        QCOMPARE(folder, "kept/");
    }
};

QTEST_GUILESS_MAIN(TestSplitFilePath)
#include "tst_splitfilepath.moc"

#include "core/Utf8Check.h"

#include <QTest>

class TestUtf8Check : public QObject
{
    Q_OBJECT
private slots:
    void checks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");

        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("ASCII") << QByteArray("Mark,10") << true;
        QTest::newRow("two, three and four bytes") << QByteArray("\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80") << true;
        QTest::newRow("highest code point") << QByteArray("\xF4\x8F\xBF\xBF") << true;
        QTest::newRow("windows-1252 e-acute") << QByteArray("caf\xE9") << false;
        QTest::newRow("lead then ASCII") << QByteArray("\xE9t\xE9") << false;
        QTest::newRow("stray continuation") << QByteArray("a\x80") << false;
        QTest::newRow("truncated at the end") << QByteArray("\xE4\xB8") << false;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("GBK") << QByteArray("\xC4\xE3\xBA\xC3") << false;
    }
    void checks()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(IsValidUtf8(bytes), valid);
    }
};

QTEST_GUILESS_MAIN(TestUtf8Check)
#include "tst_utf8check.moc"

#include "core/AnswerEncoding.h"

#include <QTest>

class TestAnswerEncoding : public QObject
{
    Q_OBJECT
private slots:
    void maskToText_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << "Uncertain";
        QTest::newRow("all six") << 63 << "ABCDEF";
        QTest::newRow("A and C") << 5 << "AC";
        QTest::newRow("F alone") << 32 << "F";
        QTest::newRow("bit 6 ignored") << 64 << "Uncertain";
        QTest::newRow("bit 6 and A") << 65 << "A";
        QTest::newRow("bits 6 and 7 with B, F") << (128 | 64 | 32 | 2) << "BF";
    }
    void maskToText()
    {
        QFETCH(int, mask);
        QFETCH(QString, text);
        QCOMPARE(AnswerMaskToText(AnswerMask(mask)), text);
    }

    void textToMask_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mask");
        QTest::newRow("ABCDEF") << "ABCDEF" << 63;
        QTest::newRow("fedcba") << "fedcba" << 63;
        QTest::newRow("aAbB repeats") << "aAbB" << 3;
        QTest::newRow("BA unordered") << "BA" << 3;
        QTest::newRow("seven letters") << "ABCDEFA" << 0;
        QTest::newRow("blank between") << "A B" << 0;
        QTest::newRow("leading blank") << " A" << 0;
        QTest::newRow("comma") << "A,B" << 0;
        QTest::newRow("Uncertain") << "Uncertain" << 0;
        QTest::newRow("uncertain lower case") << "uncertain" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("G") << "G" << 0;
        QTest::newRow("AG") << "AG" << 0;
        QTest::newRow("digit") << "1" << 0;
        QTest::newRow("fullwidth A") << QString(QChar(0xFF21)) << 0;
    }
    void textToMask()
    {
        QFETCH(QString, text);
        QFETCH(int, mask);
        QCOMPARE(int(AnswerTextToMask(text)), mask);
    }

    void everyMaskRoundTrips()
    {
        for (int mask = 0; mask <= 63; ++mask) {
            const QString text = AnswerMaskToText(AnswerMask(mask));
            QCOMPARE(int(AnswerTextToMask(text)), mask);
            QCOMPARE(AnswerMaskToText(AnswerTextToMask(text)), text);
        }
    }
};

QTEST_APPLESS_MAIN(TestAnswerEncoding)
#include "tst_answerencoding.moc"

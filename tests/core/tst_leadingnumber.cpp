#include "core/LeadingNumber.h"

#include <QTest>
#include <limits>
#include <cmath>

class TestLeadingNumber : public QObject
{
    Q_OBJECT
private slots:
    void readsTheNumberAtTheStart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("digits") << "250" << 250.0;
        QTest::newRow("percent after digits") << "12%" << 12.0;
        QTest::newRow("apostrophe after digits") << "7'3" << 7.0;
        QTest::newRow("starts with percent") << "%12" << 0.0;
        QTest::newRow("blanks, tabs, line feeds anywhere") << " 1 \t2\n3" << 123.0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0;
        QTest::newRow("minus sign") << "-3" << -3.0;
        QTest::newRow("plus sign") << "+4" << 4.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("two signs") << "--1" << 0.0;
        QTest::newRow("fraction") << "12.75" << 12.75;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("exponent") << "2.5e2" << 250.0;
        QTest::newRow("D exponent, signed") << "25000d-2" << 250.0;
        QTest::newRow("marker without digits") << "7e+x" << 7.0;
        QTest::newRow("comma stops") << "1,000" << 1.0;
        QTest::newRow("letter first") << "a1" << 0.0;
        QTest::newRow("fullwidth digit is no digit") << QString(QChar(0xFF11)) << 0.0;
    }
    void readsTheNumberAtTheStart()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(ReadLeadingNumber(text), value);
    }

    void hugeAndTinyNumbers()
    {
        QVERIFY(std::isinf(ReadLeadingNumber(u"1e400")));
        QVERIFY(ReadLeadingNumber(u"-1e99999999999999999999") < -1e308);
        QCOMPARE(ReadLeadingNumber(u"1e-400"), 0.0);
        QVERIFY(std::isinf(ReadLeadingNumber(QString(400, u'9'))));
        QCOMPARE(ReadLeadingNumber(u"0.000000000000000000000000000000000000001e39"), 1.0);
    }

    void tellsWhetherTheNumberIsTheWholeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::newRow("digits") << "12" << true;
        QTest::newRow("blanks around") << " 1 2 " << true;
        QTest::newRow("fraction") << "3.75" << true;
        QTest::newRow("trailing letter") << "12a" << false;
        QTest::newRow("no digits") << "abc" << false;
        QTest::newRow("empty") << "" << false;
    }
    void tellsWhetherTheNumberIsTheWholeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        bool wholeText = !whole;
        ReadLeadingNumber(text, &wholeText);
        QCOMPARE(wholeText, whole);
    }

    void roundsHalvesToEvenWithinSixteenBits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("-0.5") << -0.5 << 0;
        QTest::newRow("250.4") << 250.4 << 250;
        QTest::newRow("beyond 16 bits") << 1e9 << 32767;
        QTest::newRow("below 16 bits") << -1e9 << -32768;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 32767;
    }
    void roundsHalvesToEvenWithinSixteenBits()
    {
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(int(RoundHalfEvenToInt16(value)), rounded);
    }

    void wholeNumberWithinRange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("expected"); // -1: refused
        QTest::newRow("empty is 0") << "" << 0 << 250 << 0;
        QTest::newRow("empty below 1") << "" << 1 << 250 << -1;
        QTest::newRow("upper bound") << "250" << 1 << 250 << 250;
        QTest::newRow("above") << "251" << 1 << 250 << -1;
        QTest::newRow("12%") << "12%" << 1 << 250 << 12;
        QTest::newRow("half rounds to even, down") << "12.5" << 0 << 250 << 12;
        QTest::newRow("half rounds to even, up") << "13.5" << 0 << 250 << 14;
        QTest::newRow("250.5 rounds to 250") << "250.5" << 0 << 250 << 250;
        QTest::newRow("250.6 rounds past") << "250.6" << 0 << 250 << -1;
        QTest::newRow("minus 0.4 rounds to 0") << "-0.4" << 0 << 250 << 0;
        QTest::newRow("negative") << "-1" << 0 << 250 << -1;
        QTest::newRow("32767 is only out of range") << "32767" << 0 << 250 << -1;
        QTest::newRow("40000 is not wrapped") << "40000" << 0 << 250 << -1;
        // 65536 + 10 would wrap to 10 in 16 bits.
        QTest::newRow("65546 is not wrapped") << "65546" << 0 << 250 << -1;
        QTest::newRow("overflow") << "1e400" << 0 << 250 << -1;
    }
    void wholeNumberWithinRange()
    {
        QFETCH(QString, text);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, expected);
        const std::optional<std::int16_t> value = ReadWholeNumberWithin(text, min, max);
        if (expected < 0)
            QVERIFY2(!value, qPrintable(QString::number(value.value_or(0))));
        else
            QCOMPARE(value, std::optional<std::int16_t>(std::int16_t(expected)));
    }
};

QTEST_APPLESS_MAIN(TestLeadingNumber)
#include "tst_leadingnumber.moc"

#include "LeadingNumber.h"

#include <QTest>

class TestLeadingNumber : public QObject
{
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("wholeText");

        QTest::newRow("empty") << "" << 0.0 << false;
        QTest::newRow("zero") << "0" << 0.0 << true;
        QTest::newRow("no digits") << "abc" << 0.0 << false;
        QTest::newRow("sign alone") << "-" << 0.0 << false;
        QTest::newRow("point alone") << "." << 0.0 << false;
        QTest::newRow("integer") << "250" << 250.0 << true;
        QTest::newRow("fraction") << "12.9" << 12.9 << true;
        QTest::newRow("leading point") << "-.5" << -0.5 << true;
        QTest::newRow("trailing point") << "5." << 5.0 << true;
        QTest::newRow("blanks, tabs, line feeds anywhere") << " 1\t2\n.5 " << 12.5 << true;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0 << false;
        QTest::newRow("stops at a letter") << "7 points" << 7.0 << false;
        QTest::newRow("stops at a second point") << "3.5.2" << 3.5 << false;
        QTest::newRow("stops at a comma") << "1,5" << 1.0 << false;
        QTest::newRow("exponent") << "1.5e2" << 150.0 << true;
        QTest::newRow("signed exponent") << "25E-1" << 2.5 << true;
        QTest::newRow("E without digits ends the number") << "3e" << 3.0 << false;
        QTest::newRow("E and sign without digits") << "3e+x" << 3.0 << false;
        QTest::newRow("percent stops") << "%5" << 0.0 << false;
        QTest::newRow("overflow") << "1e999" << qInf() << true;
    }
    void reads()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(bool, wholeText);
        const LeadingNumber number = ReadLeadingNumber(text);
        QCOMPARE(number.value, value);
        QCOMPARE(number.wholeText, wholeText);
        QCOMPARE(number.hasDigits, value != 0.0 || text.contains(u'0'));
    }
};

QTEST_GUILESS_MAIN(TestLeadingNumber)
#include "tst_leadingnumber.moc"

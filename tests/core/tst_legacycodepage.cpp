#include "core/LegacyCodePage.h"

#include <QStringDecoder>
#include <QTest>

class TestLegacyCodePage : public QObject
{
    Q_OBJECT
private slots:
    void codePageOfLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("codePage");

        QTest::newRow("C") << "C" << "windows-1252";
        QTest::newRow("English") << "en_US" << "windows-1252";
        QTest::newRow("French") << "fr_FR" << "windows-1252";
        QTest::newRow("simplified Chinese") << "zh_CN" << "GBK";
        QTest::newRow("traditional Chinese") << "zh_TW" << "Big5";
        QTest::newRow("Hong Kong") << "zh_HK" << "Big5";
        QTest::newRow("Japanese") << "ja_JP" << "Shift_JIS";
        QTest::newRow("Korean") << "ko_KR" << "windows-949";
        QTest::newRow("Russian") << "ru_RU" << "windows-1251";
        QTest::newRow("Serbian Cyrillic") << "sr_RS" << "windows-1251";
        QTest::newRow("Serbian Latin") << "sr_Latn_RS" << "windows-1250";
        QTest::newRow("Polish") << "pl_PL" << "windows-1250";
        QTest::newRow("Greek") << "el_GR" << "windows-1253";
        QTest::newRow("Turkish") << "tr_TR" << "windows-1254";
        QTest::newRow("Hebrew") << "he_IL" << "windows-1255";
        QTest::newRow("Arabic") << "ar_EG" << "windows-1256";
        QTest::newRow("Lithuanian") << "lt_LT" << "windows-1257";
        QTest::newRow("Vietnamese") << "vi_VN" << "windows-1258";
        QTest::newRow("Thai") << "th_TH" << "windows-874";
    }
    void codePageOfLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, codePage);
        const QString got = LegacyCodePageFor(QLocale(locale));
        QCOMPARE(got, codePage);
        // The name must be one the decoder knows, or the reader could not use it.
        QVERIFY(QStringDecoder(got.toLatin1().constData()).isValid());
    }

    void userLocaleGivesADecoderName()
    {
        QVERIFY(QStringDecoder(LegacyCodePage().toLatin1().constData()).isValid());
    }
};

QTEST_GUILESS_MAIN(TestLegacyCodePage)
#include "tst_legacycodepage.moc"

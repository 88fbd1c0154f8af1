#include "core/TypeInfoRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray recordBytes(std::int16_t type, std::uint8_t sigLow, std::uint8_t sigHigh)
{
    QByteArray bytes(TypeInfoRecord::Size, '\0');
    bytes[2] = char(type & 0xFF);
    bytes[3] = char((type >> 8) & 0xFF);
    bytes[60] = char(sigLow);
    bytes[61] = char(sigHigh);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}
} // namespace

class TestTypeInfo : public QObject
{
    Q_OBJECT
private slots:
    void readsRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("type");
        QTest::newRow("type 3, signature B6 06") << recordBytes(3, 0xB6, 0x06) << true << 3;
        QTest::newRow("type 1") << recordBytes(1, 0xB6, 0x06) << true << 1;
        QTest::newRow("type 7") << recordBytes(7, 0xB6, 0x06) << true << 7;
        QTest::newRow("negative type") << recordBytes(-2, 0xB6, 0x06) << true << -2;
        QTest::newRow("signature byte-swapped") << recordBytes(3, 0x06, 0xB6) << false << 3;
        QTest::newRow("signature zero") << recordBytes(4, 0, 0) << false << 4;
        QTest::newRow("empty file") << QByteArray() << false << 0;
        QTest::newRow("short, before the signature") << recordBytes(2, 0xB6, 0x06).left(60) << false << 2;
        QTest::newRow("short, half the signature") << recordBytes(2, 0xB6, 0x06).left(61) << false << 2;
        QByteArray longer = recordBytes(3, 0xB6, 0x06) + recordBytes(1, 0, 0);
        QTest::newRow("second record ignored") << longer << true << 3;
    }
    void readsRecords()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QFETCH(int, type);
        QTemporaryDir dir;
        const QString path = dir.filePath(TypeInfoFileName);
        writeFile(path, bytes);
        const TypeInfoReadResult result = ReadTypeInfoFile(path);
        QCOMPARE(result.ok, ok);
        QCOMPARE(int(result.record.installationType), type);
        QCOMPARE(result.reason.isEmpty(), ok);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes); // never written
    }

    void missingFileIsCreatedEmpty()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(TypeInfoFileName);
        const TypeInfoReadResult result = ReadTypeInfoFile(path);
        QVERIFY(!result.ok);
        QCOMPARE(result.record.installationType, std::int16_t(0));
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void unreadablePathGivesTypeZero()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(TypeInfoFileName);
        QVERIFY(QDir(dir.path()).mkdir(TypeInfoFileName)); // a folder where the file belongs
        const TypeInfoReadResult result = ReadTypeInfoFile(path);
        QVERIFY(!result.ok);
        QCOMPARE(result.record.installationType, std::int16_t(0));
        QVERIFY(result.reason.contains(QStringLiteral("cannot be read")));
    }

    void validBytesReadBack()
    {
        const QByteArray bytes = TypeInfoRecord::validBytes(7);
        QCOMPARE(bytes.size(), TypeInfoRecord::Size);
        QCOMPARE(quint8(bytes[60]), quint8(0xB6));
        QCOMPARE(quint8(bytes[61]), quint8(0x06));
        const TypeInfoRecord record = TypeInfoRecord::fromBytes(bytes);
        QVERIFY(record.hasValidSignature());
        QCOMPARE(record.installationType, std::int16_t(7));
        QCOMPARE(bytes.count('\0'), TypeInfoRecord::Size - 3);
    }

    void variantsByType()
    {
        for (int type = -1; type <= 8; ++type) {
            QCOMPARE(UsesMultipleChoiceAnswers(std::int16_t(type)), type >= 2 && type <= 4);
            QCOMPARE(HidesOptionF(std::int16_t(type)), type == 0 || type == 1);
        }
    }
};

QTEST_APPLESS_MAIN(TestTypeInfo)
#include "tst_typeinfo.moc"

// File names that are not UTF-8 keep their bytes: carried in a QString without loss,
// shown readably, and read, written, replaced and found through a file dialog under the
// very name the system holds.
#include "core/AtomicFileWriter.h"
#include "core/ChosenFileName.h"
#include "core/FileNameBytes.h"
#include "core/FolderMaking.h"
#include "core/RegularFileReading.h"
#include "RawNames.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray contentOf(const QByteArray &path)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "(missing)";
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, got);
    ::close(fd);
    return bytes;
}

bool writeRaw(const QByteArray &path, QByteArrayView bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written = fd >= 0 && ::write(fd, bytes.data(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

struct RawFolder
{
    QTemporaryDir folder;
    QByteArray bytes = QFile::encodeName(folder.path());
    ~RawFolder()
    {
        for (const QByteArray &name : RawNamesIn(bytes))
            RemoveRawTree(bytes + '/' + name); // which QTemporaryDir cannot
    }
    QString name(QByteArrayView tail) const { return FileNameOfBytes(bytes + '/' + tail.toByteArray()); }
};
} // namespace

class TestFileNameBytes : public QObject
{
    Q_OBJECT
private slots:
    // Every byte string comes back as itself; only the bytes that are no part of a
    // well-formed UTF-8 sequence show as \xNN.
    void namesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readable");
        QTest::addColumn<bool>("nonUtf8");
        QTest::newRow("ASCII") << QByteArray("/tmp/week 1.csv") << QStringLiteral("/tmp/week 1.csv") << false;
        QTest::newRow("UTF-8 accents and CJK") << QByteArray("caf\xC3\xA9 \xE8\xA9\xA6.csv")
                                               << QStringLiteral("caf\u00E9 \u8A66.csv") << false;
        // Its low surrogate, DC80, is the one that would stand for the byte 0x80.
        QTest::newRow("U+1F480, a pair ending in DC80") << QByteArray("\xF0\x9F\x92\x80.csv")
                                                       << QString::fromUtf8("\xF0\x9F\x92\x80.csv") << false;
        QTest::newRow("Latin-1 e acute") << QByteArray("caf\xE9.csv") << QStringLiteral("caf\\xE9.csv") << true;
        QTest::newRow("lowest and highest byte") << QByteArray("\x80-\xFF") << QStringLiteral("\\x80-\\xFF") << true;
        QTest::newRow("U+1F480 then a stray 0x80") << QByteArray("\xF0\x9F\x92\x80\x80")
                                                  << QString::fromUtf8("\xF0\x9F\x92\x80") + QStringLiteral("\\x80")
                                                  << true;
        QTest::newRow("cut sequence") << QByteArray("a\xE2\x82") << QStringLiteral("a\\xE2\\x82") << true;
        QTest::newRow("a surrogate written as UTF-8") << QByteArray("\xED\xB2\x80")
                                                      << QStringLiteral("\\xED\\xB2\\x80") << true;
        QTest::newRow("overlong slash") << QByteArray("a\xC0\xAF" "b") << QStringLiteral("a\\xC0\\xAFb") << true;
    }
    void namesKeepTheirBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readable);
        QFETCH(bool, nonUtf8);
        const QString name = FileNameOfBytes(bytes);
        QCOMPARE(FileNameBytes(name), bytes);
        QCOMPARE(ReadableFileName(name), readable);
        QCOMPARE(HoldsNonUtf8Bytes(name), nonUtf8);
        if (!nonUtf8)
            QCOMPARE(name, QString::fromUtf8(bytes));
    }

    // A paper under such a name, and in such a folder, is read, written new and replaced
    // under that name; nothing else is left in the folder.
    void filesAreReadAndWrittenUnderTheirOwnName_data()
    {
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("name") << QByteArray() << QByteArray("caf\xE9.csv");
        QTest::newRow("folder and name") << QByteArray("Pr\xFC" "fungen") << QByteArray("\xC4rger.csv");
        // The temporary name beside it must be shortened through the raw bytes.
        QTest::newRow("longest name") << QByteArray() << QByteArray(251, '\xE9') + ".csv";
    }
    void filesAreReadAndWrittenUnderTheirOwnName()
    {
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, file);
        RawFolder base;
        const QByteArray inside = folder.isEmpty() ? file : folder + '/' + file;
        const QString path = base.name(inside);
        if (!folder.isEmpty())
            QVERIFY(MakeFolderWithParents(base.name(folder)));

        const Result<void> created = WriteFileAtomically(path, QByteArrayView("first"));
        QVERIFY2(created, qPrintable(created ? QString() : created.error().text()));
        QCOMPARE(contentOf(base.bytes + '/' + inside), QByteArray("first"));
        QFile read;
        QVERIFY(OpenRegularFileForReading(read, path));
        QCOMPARE(read.readAll(), QByteArray("first"));

        ::chmod((base.bytes + '/' + inside).constData(), 0640);
        const Result<void> replaced = WriteFileAtomically(path, QByteArrayView("second"));
        QVERIFY2(replaced, qPrintable(replaced ? QString() : replaced.error().text()));
        QCOMPARE(contentOf(base.bytes + '/' + inside), QByteArray("second"));
        struct stat status;
        QCOMPARE(::stat((base.bytes + '/' + inside).constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, mode_t(0640));
        QCOMPARE(RawNamesIn(folder.isEmpty() ? base.bytes : base.bytes + '/' + folder), QList<QByteArray>{file});
    }

    // A reason names the file with its other bytes as \xNN.
    void reasonsShowTheBytes()
    {
        RawFolder base;
        const Result<void> written = WriteFileAtomically(base.name("gone\xE9/a.csv"), QByteArrayView("x"));
        QVERIFY(!written);
        QVERIFY2(written.error().text().contains(u"gone\\xE9"), qPrintable(written.error().text()));
        QFile read;
        const Result<void> opened = OpenRegularFileForReading(read, base.name("caf\xE9.csv"));
        QVERIFY(!opened);
        QVERIFY2(opened.error().text().contains(u"caf\\xE9.csv"), qPrintable(opened.error().text()));
    }

    // What a file dialog gives back for a name it showed with U+FFFD is the entry it
    // showed, when only one entry shows so; otherwise the path stays as given.
    void dialogNamesFindTheFile()
    {
        RawFolder base;
        QCOMPARE(::mkdir((base.bytes + "/t\xE9st").constData(), 0755), 0);
        QVERIFY(writeRaw(base.bytes + "/t\xE9st/caf\xE9.csv", "x"));
        QVERIFY(writeRaw(base.bytes + "/t\xE9st/a\xE8", "x"));
        QVERIFY(writeRaw(base.bytes + "/t\xE9st/a\xE9", "x"));
        const QString shownFolder = QFile::decodeName(base.bytes + "/t\xE9st");
        QVERIFY(shownFolder.contains(QChar(0xFFFD)));

        QCOMPARE(FileNameBytes(ChosenFileName(QFile::decodeName(base.bytes + "/t\xE9st/caf\xE9.csv"))),
                 base.bytes + "/t\xE9st/caf\xE9.csv");
        // A new name typed into the folder: the folder is found, the name kept.
        QCOMPARE(FileNameBytes(ChosenFileName(shownFolder + QStringLiteral("/new.csv"))),
                 base.bytes + "/t\xE9st/new.csv");
        // Two entries show alike: the name is not guessed (the folder still is found).
        const QString alike = QStringLiteral("/a") + QChar(0xFFFD);
        QCOMPARE(ChosenFileName(shownFolder + alike), base.name("t\xE9st") + alike);
        // A UTF-8 path is not looked up at all.
        QCOMPARE(ChosenFileName(QStringLiteral("/nowhere/caf\u00E9.csv")), QStringLiteral("/nowhere/caf\u00E9.csv"));
    }
};

QTEST_GUILESS_MAIN(TestFileNameBytes)
#include "tst_filenamebytes.moc"

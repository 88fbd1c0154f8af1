// Every reader refuses a FIFO, named or linked to, without waiting on it. Each read runs
// on its own thread under a watchdog: a reader that blocks is unblocked by opening the
// FIFO's other end and fails the test instead of hanging it.
#include "formats/PlatformImport.h"
#include "paper/PaperFileReader.h"
#include "workbook/XlsxPackage.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <future>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using Reader = std::function<QString(const QString &)>; // the reason, empty on success

template<typename T>
QString reasonOf(const Result<T> &result)
{
    return result ? QString() : result.error().text();
}
} // namespace

Q_DECLARE_METATYPE(Reader)

class TestRegularFileReading : public QObject
{
    Q_OBJECT
private slots:
    void fifoIsRefusedWithoutWaiting_data()
    {
        QTest::addColumn<Reader>("read");
        QTest::addColumn<bool>("throughLink");
        const std::vector<std::pair<const char *, Reader>> readers{
            {"paper file", [](const QString &p) { return reasonOf(ReadPaperFile(p, {})); }},
            {"platform file", [](const QString &p) { return reasonOf(platform::ReadPlatformFileBytes(p)); }},
            {"xlsx", [](const QString &p) { return reasonOf(XlsxPackage::open(p)); }},
            {".xls helper", [](const QString &p) {
                 QProcess helper;
                 helper.start(QStringLiteral(PAPERXLSREAD_PATH), {p, "10", "10"});
                 if (!helper.waitForFinished(30000)) {
                     helper.kill();
                     helper.waitForFinished();
                 }
                 return helper.exitCode() == 0 ? QString()
                                               : QString::fromLocal8Bit(helper.readAllStandardError());
             }},
        };
        for (const auto &[name, read] : readers)
            for (bool link : {false, true})
                QTest::addRow("%s, %s", name, link ? "link to a fifo" : "fifo") << read << link;
    }
    void fifoIsRefusedWithoutWaiting()
    {
        QFETCH(Reader, read);
        QFETCH(bool, throughLink);
        QTemporaryDir dir;
        const QString fifo = dir.filePath("paper.csv");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        const QString path = throughLink ? dir.filePath("link.csv") : fifo;
        if (throughLink)
            QVERIFY(QFile::link(fifo, path));

        std::future<QString> reading = std::async(std::launch::async, read, path);
        if (reading.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            // Opening the other end lets a blocked open go on, to the end of the file.
            const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
            ::close(writer);
            reading.wait();
            QFAIL("the reader waited on the FIFO");
        }
        const QString reason = reading.get();
        QVERIFY2(!reason.isEmpty(), "a FIFO was read as a file");
        QVERIFY2(reason.contains("not a regular file"), qPrintable(reason));
    }
};

QTEST_GUILESS_MAIN(TestRegularFileReading)
#include "tst_regularfilereading.moc"

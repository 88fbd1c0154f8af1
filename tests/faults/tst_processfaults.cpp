// paperconv writes with the editor's own writers; here it is killed part-way through its
// save hundreds of times, and it writes onto a real, small, full disk. After every kill
// the target must be the old file byte for byte or the complete new one.
//
// FAULT_KILL_SEED and FAULT_KILLS (kills per case) replay or lengthen the kill runs.
#include "FaultPapers.h"
#include "paper/PaperFileWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstring>
#include <map>
#include <unistd.h>

using namespace FaultPapers;

Q_DECLARE_METATYPE(FaultPapers::Format)

namespace {
constexpr quint32 DefaultSeed = 20240611;
constexpr int DefaultKills = 60;
constexpr auto ReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
const QStringList ShimOps{"write", "sync", "close", "link", "rename"};

// The programs the build made, or their copies where the environment names them (the
// unprivileged run copies them where its user can reach them).
QString paperconvPath()
{
    return qEnvironmentVariable("PAPERCONV_PATH", QStringLiteral(PAPERCONV_PATH));
}
QString faultShimPath()
{
    return qEnvironmentVariable("FAULT_SHIM_PATH", QStringLiteral(FAULT_SHIM_PATH));
}

struct Outcome
{
    bool killed = false;
    int exitCode = 0;
    QString errors;
};

// Runs paperconv IN OUT with the fault shim set up by plan and its temporary files in
// tmpdir; a delay of zero or more microseconds kills it from here after that delay.
Outcome runConverter(const QString &in, const QString &out, const QString &plan,
                     const QString &tmpdir, qint64 killAfterMicroseconds = -1)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), faultShimPath());
    environment.insert(QStringLiteral("FAULT_SHIM"), plan);
    environment.insert(QStringLiteral("TMPDIR"), tmpdir);
    process.setProcessEnvironment(environment);
    process.start(paperconvPath(), {in, out});
    if (!process.waitForStarted())
        return {false, -1, process.errorString()};
    if (killAfterMicroseconds >= 0) {
        QThread::usleep(quint64(killAfterMicroseconds)); // drawn from the seed
        process.kill();
    }
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::CrashExit, process.exitCode(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

std::map<QString, long long> readReport(const QString &path)
{
    std::map<QString, long long> counts;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split('=');
            if (parts.size() == 2)
                counts[QString::fromLatin1(parts[0])] = parts[1].toLongLong();
        }
    }
    return counts;
}

// The file's own permission bits, without the flags that describe the running user.
QFile::Permissions modeOf(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Whether name is a temporary file of a save of target: the target's name, a dot and six
// letters or digits.
bool isSaveTemporary(const QString &name, const QString &target)
{
    static const QRegularExpression suffix(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
    return name.startsWith(target) && suffix.match(name.mid(target.size())).hasMatch();
}
} // namespace

class TestProcessFaults : public QObject
{
    Q_OBJECT
    QTemporaryDir work_;
    QString longPaperPath_;
    QString oldPaperPath_;
    std::vector<QuestionRow> longRows_;
    quint32 seed_ = DefaultSeed;
    int kills_ = DefaultKills;

private slots:
    void initTestCase()
    {
        QVERIFY(work_.isValid());
        if (qEnvironmentVariableIsSet("FAULT_KILL_SEED"))
            seed_ = qEnvironmentVariable("FAULT_KILL_SEED").toUInt();
        if (qEnvironmentVariableIsSet("FAULT_KILLS"))
            kills_ = qEnvironmentVariableIntValue("FAULT_KILLS");
        qInfo("kills per case: %d, seed %u; replay with FAULT_KILL_SEED=%u FAULT_KILLS=%d",
              kills_, seed_, seed_, kills_);
        const auto paper = longPaper();
        longRows_ = paper->rows();
        longPaperPath_ = work_.filePath(QStringLiteral("long.csv"));
        oldPaperPath_ = work_.filePath(QStringLiteral("old.csv"));
        const Result<void> longWritten = WritePaperFile(*paper, longPaperPath_);
        QVERIFY2(longWritten, qPrintable(errorText(longWritten)));
        const Result<void> oldWritten = WritePaperFile(*oldPaper(), oldPaperPath_);
        QVERIFY2(oldWritten, qPrintable(errorText(oldWritten)));
    }

    void killedSave_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("csv, old file") << Format::Paper << true << false;
        QTest::newRow("csv, read-only old file") << Format::Paper << true << true;
        QTest::newRow("csv, new file") << Format::Paper << false << false;
        QTest::newRow("xls, old file") << Format::Xls << true << false;
        QTest::newRow("xls, read-only old file") << Format::Xls << true << true;
        QTest::newRow("xlsx, old file") << Format::Xlsx << true << false;
        QTest::newRow("xlsx, new file") << Format::Xlsx << false << false;
    }
    void killedSave()
    {
        QFETCH(Format, format);
        QFETCH(bool, existing);
        QFETCH(bool, readOnly);
        QTemporaryDir folder;
        QTemporaryDir scratch; // the converter's TMPDIR
        const QString name = QStringLiteral("target.") + extensionOf(format);
        const QString target = folder.filePath(name);
        const QString under = QStringLiteral("under=") + folder.path();

        // The old file, and the new one as a clean run writes it.
        QByteArray oldBytes;
        QFile::Permissions oldPermissions;
        const QString reference = work_.filePath(QStringLiteral("reference.") + extensionOf(format));
        QCOMPARE(runConverter(longPaperPath_, reference, {}, scratch.path()).exitCode, 0);
        const QByteArray newBytes = bytesOf(reference);
        if (existing) {
            QCOMPARE(runConverter(oldPaperPath_, target, {}, scratch.path()).exitCode, 0);
            oldBytes = bytesOf(target);
            if (readOnly)
                QVERIFY(QFile::setPermissions(target, ReadOnly));
            oldPermissions = modeOf(target);
        }
        auto restoreOld = [&] {
            QFile::remove(target);
            if (existing) {
                QVERIFY(writeBytes(target, oldBytes));
                QVERIFY(QFile::setPermissions(target, oldPermissions));
            }
        };
        // A .xlsx holds the time it was written, so a new one is recognised by reading it.
        auto isNew = [&](const QByteArray &bytes) {
            if (format != Format::Xlsx)
                return bytes == newBytes;
            return bytes != oldBytes && rowsIn(target, format) == longRows_;
        };

        // One clean run with the shim counting: how many calls and bytes a save makes,
        // and how long it takes.
        const QString reportPath = work_.filePath(QStringLiteral("report.txt"));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(runConverter(longPaperPath_, target, under + ",report=" + reportPath,
                              scratch.path()).exitCode, 0);
        const qint64 runMicroseconds = clock.nsecsElapsed() / 1000;
        const auto counts = readReport(reportPath);
        QVERIFY(counts.at("bytes") > 0);
        restoreOld();

        QRandomGenerator random(seed_ ^ qHash(QString::fromLatin1(QTest::currentDataTag())));
        int killed = 0, oldKept = 0, newWritten = 0, finished = 0;
        int tempsLeft = 0, tempsLeftAfterNextSave = 0, scratchLeft = 0;
        QStringList kinds;
        for (int run = 0; run < kills_; ++run) {
            // A third each: at a byte offset of the file, at one of the save's calls, and
            // from outside after a delay.
            QString plan = under;
            qint64 delay = -1;
            QString kind;
            if (run % 3 == 0) {
                const long long offset = random.bounded(counts.at("bytes") + 1);
                plan += QStringLiteral(",op=write,action=kill,after=%1").arg(offset);
                kind = QStringLiteral("byte %1").arg(offset);
            } else if (run % 3 == 1) {
                QStringList made;
                for (const QString &op : ShimOps)
                    if (counts.at(op) > 0)
                        made << op;
                const QString op = made[random.bounded(int(made.size()))];
                const long long call = 1 + random.bounded(counts.at(op));
                plan += QStringLiteral(",op=%1,action=kill,call=%2").arg(op).arg(call);
                kind = QStringLiteral("%1 call %2").arg(op).arg(call);
            } else {
                delay = random.bounded(runMicroseconds + 1);
                kind = QStringLiteral("after %1 us").arg(delay);
            }
            const Outcome outcome = runConverter(longPaperPath_, target, plan, scratch.path(), delay);
            const QString context = QStringLiteral("run %1 (%2)").arg(run).arg(kind);

            if (outcome.killed) {
                ++killed;
            } else {
                ++finished;
                QVERIFY2(outcome.exitCode == 0, qPrintable(context + ": " + outcome.errors));
            }
            const bool present = QFileInfo::exists(target);
            const QByteArray bytes = bytesOf(target);
            if (existing && present && bytes == oldBytes) {
                ++oldKept;
                QVERIFY2(outcome.killed, qPrintable(context + ": finished without saving"));
            } else if (present) {
                QVERIFY2(isNew(bytes), qPrintable(context + ": the file is neither old nor new"));
                ++newWritten;
            } else {
                QVERIFY2(!existing, qPrintable(context + ": the old file is gone"));
                QVERIFY2(outcome.killed, qPrintable(context + ": finished without saving"));
            }
            if (existing && present)
                QVERIFY2(modeOf(target) == oldPermissions,
                         qPrintable(context + ": the file's permissions changed"));

            // A killed process cannot remove its temporary files: count them, check what
            // they are and that the next save still works beside them.
            const QStringList left = otherEntries(folder.path(), {name});
            for (const QString &entry : left)
                QVERIFY2(isSaveTemporary(entry, name), qPrintable(context + ": stray " + entry));
            if (!left.isEmpty()) {
                tempsLeft += int(left.size());
                kinds << kind;
                QCOMPARE(runConverter(longPaperPath_, target, {}, scratch.path()).exitCode, 0);
                QVERIFY(isNew(bytesOf(target)));
                tempsLeftAfterNextSave += int(otherEntries(folder.path(), {name}).size());
                for (const QString &entry : otherEntries(folder.path(), {name}))
                    QFile::remove(folder.filePath(entry));
            }
            const QStringList scratchEntries = otherEntries(scratch.path(), {});
            scratchLeft += int(scratchEntries.size());
            for (const QString &entry : scratchEntries)
                QDir(scratch.filePath(entry)).removeRecursively();
            restoreOld();
        }
        qInfo("%d runs: %d killed, %d finished; old file kept %d, new file complete %d; "
              "temporary files left beside the target %d (%s), still there after the next "
              "save %d; scratch folders left in TMPDIR %d",
              kills_, killed, finished, oldKept, newWritten, tempsLeft,
              qPrintable(kinds.join(", ")), tempsLeftAfterNextSave, scratchLeft);
    }

    // A real full disk: a small tmpfs, in a mount namespace of its own so that it goes
    // away with the process, with the old file in it and a filler taking the room.
    void realDiskFull_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<qint64>("freeBytes");
        const std::map<Format, qint64> approximateSizes{
            {Format::Paper, 500000}, {Format::Xls, 870000}, {Format::Xlsx, 79000}};
        for (const auto &[format, size] : approximateSizes) {
            for (qint64 free : {qint64(0), qint64(4096), qint64(12288), size / 2 / 4096 * 4096,
                                (size - 4096) / 4096 * 4096})
                QTest::addRow("%s, %lld bytes free", qPrintable(extensionOf(format)), free)
                    << format << free;
            QTest::addRow("%s, room enough", qPrintable(extensionOf(format)))
                << format << qint64(-1);
        }
    }
    void realDiskFull()
    {
        if (geteuid() != 0)
            QSKIP("mounting a tmpfs needs root (CAP_SYS_ADMIN); not running as root");
        const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
        if (unshare.isEmpty())
            QSKIP("unshare is missing, so no private mount namespace can be made");
        QFETCH(Format, format);
        QFETCH(qint64, freeBytes);
        QTemporaryDir mountPoint, results, scratch;
        const QString name = QStringLiteral("target.") + extensionOf(format);
        const QString oldFile = work_.filePath(QStringLiteral("old.") + extensionOf(format));
        if (!QFileInfo::exists(oldFile))
            QCOMPARE(runConverter(oldPaperPath_, oldFile, {}, scratch.path()).exitCode, 0);
        const QByteArray oldBytes = bytesOf(oldFile);

        constexpr qint64 Page = 4096;
        const qint64 size = 4 * 1024 * 1024;
        const qint64 oldPages = (oldBytes.size() + Page - 1) / Page;
        const qint64 filler = freeBytes < 0 ? 0 : size - oldPages * Page - freeBytes;
        const QString script = QStringLiteral(
            "set -e\n"
            "mount -t tmpfs -o size=$3 paperfaults \"$1\"\n"
            "cp \"$6\" \"$1/$7\"\n"
            "if [ \"$4\" -gt 0 ]; then head -c \"$4\" /dev/zero > \"$1/filler\"; fi\n"
            "set +e\n"
            "\"$5\" \"$8\" \"$1/$7\" 2> \"$2/stderr\"; echo $? > \"$2/code\"\n"
            "cp \"$1/$7\" \"$2/result\"; ls -A \"$1\" > \"$2/listing\"\n");
        QProcess process;
        process.start(unshare, {"--mount", "--propagation", "private", "sh", "-c", script, "sh",
                                mountPoint.path(), results.path(), QString::number(size),
                                QString::number(filler), paperconvPath(),
                                oldFile, name, longPaperPath_});
        QVERIFY(process.waitForFinished(120000));
        if (!QFileInfo::exists(results.filePath(QStringLiteral("code"))))
            QSKIP(qPrintable(QStringLiteral("no tmpfs could be mounted: ")
                             + QString::fromLocal8Bit(process.readAllStandardError())));

        const int code = bytesOf(results.filePath(QStringLiteral("code"))).trimmed().toInt();
        const QString errors = QString::fromLocal8Bit(bytesOf(results.filePath(QStringLiteral("stderr"))));
        const QStringList listing = QString::fromLocal8Bit(
            bytesOf(results.filePath(QStringLiteral("listing")))).split(u'\n', Qt::SkipEmptyParts);
        const QString result = results.filePath(QStringLiteral("result"));
        if (freeBytes < 0) {
            QVERIFY2(code == 0, qPrintable(errors));
            QVERIFY(rowsIn(result, format) == longRows_);
            QCOMPARE(listing, QStringList{name});
            return;
        }
        QCOMPARE(code, 1);
        QVERIFY2(errors.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), qPrintable(errors));
        QVERIFY2(bytesOf(result) == oldBytes, "the old file was changed");
        QStringList expected{name};
        if (filler > 0)
            expected << QStringLiteral("filler");
        expected.sort();
        QCOMPARE(listing, expected);
    }
};

QTEST_GUILESS_MAIN(TestProcessFaults)
#include "tst_processfaults.moc"

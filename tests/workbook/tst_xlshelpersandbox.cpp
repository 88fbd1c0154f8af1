// The .xls helper's sandbox, tried from inside: a probe built on the same sandbox code
// enters it and attempts what the sandbox must stop, and the real helper still reads
// every .xls sample of the tests through it.
#include "xlsscan/XlsCellStream.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>
#include <vector>

extern char **environ;

namespace {

#ifdef __SANITIZE_ADDRESS__
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

// A program started with pipes on its standard input and output, so that its exit
// status, a signal included, can be read (QProcess does not tell which signal).
class Started
{
public:
    Started(const QString &program, const QStringList &arguments)
    {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        QList<QByteArray> texts{QFile::encodeName(program)};
        for (const QString &argument : arguments)
            texts << QFile::encodeName(argument);
        std::vector<char *> argv;
        for (QByteArray &text : texts)
            argv.push_back(text.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~Started()
    {
        finish();
    }

    pid_t pid() const { return pid_; }

    QByteArray readLine()
    {
        QByteArray line;
        char byte;
        while (read(output_, &byte, 1) == 1 && byte != '\n')
            line += byte;
        return line;
    }

    // Closes its input, reads what it writes until it ends, and waits for it.
    QByteArray finish()
    {
        if (input_ >= 0)
            close(std::exchange(input_, -1));
        QByteArray written;
        char block[4096];
        for (ssize_t got; output_ >= 0 && (got = read(output_, block, sizeof block)) > 0;)
            written.append(block, got);
        if (output_ >= 0)
            close(std::exchange(output_, -1));
        if (pid_ > 0 && waitpid(std::exchange(pid_, -1), &status_, 0) < 0)
            status_ = -1;
        return written;
    }
    int status() const { return status_; }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int status_ = -1;
};

QString describe(int status)
{
    if (WIFSIGNALED(status))
        return QStringLiteral("killed by signal %1").arg(WTERMSIG(status));
    if (WIFEXITED(status))
        return QStringLiteral("exit code %1").arg(WEXITSTATUS(status));
    return QStringLiteral("status %1").arg(status);
}

bool killedByFilter(int status)
{
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGSYS;
}

QString probe()
{
    return QStringLiteral(SANDBOX_PROBE);
}

QMap<QString, QString> statusFields(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    QMap<QString, QString> fields;
    if (!file.open(QIODevice::ReadOnly))
        return fields;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0)
            fields.insert(QString::fromLatin1(line.left(colon)),
                          QString::fromLatin1(line.mid(colon + 1).trimmed()));
    }
    return fields;
}

// The link's own text, such as "user:[4026531837]" (QFileInfo would make a path of it).
QByteArray namespaceOf(const QString &process, const char *kind)
{
    char target[64] = {};
    const QByteArray link = QStringLiteral("/proc/%1/ns/%2").arg(process, kind).toLatin1();
    const ssize_t length = readlink(link.constData(), target, sizeof target - 1);
    return length > 0 ? QByteArray(target, length) : QByteArray();
}

// Whether the kernel gives a process of this user a user and network namespace of its
// own: a child of this process (one thread, as the helper has) tries.
bool kernelGivesNamespaces()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(unshare(CLONE_NEWUSER | CLONE_NEWNET) == 0 ? 0 : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)
           && WEXITSTATUS(status) == 0;
}

} // namespace

class TestXlsHelperSandbox : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder_;
    QString book_;  // a copy of a sample workbook, writable, in a folder of the test's
    QString other_; // another readable file beside it

private slots:
    void initTestCase()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        QVERIFY(status.open(QIODevice::ReadOnly));
        if (!status.readAll().contains("\nSeccomp:"))
            QSKIP("this kernel has no seccomp (no Seccomp field in /proc/self/status), so "
                  "the helper runs without its filter");
        QVERIFY(folder_.isValid());
        book_ = folder_.filePath(QStringLiteral("book.xls"));
        other_ = folder_.filePath(QStringLiteral("other.txt"));
        QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/workbooks/paper-xlwt.xls"), book_));
        QVERIFY(QFile::setPermissions(book_, QFile::ReadOwner | QFile::WriteOwner
                                                 | QFile::ReadOther | QFile::ReadGroup));
        QFile other(other_);
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("not for the helper\n") > 0);
    }

    void attemptFromInside_data()
    {
        QTest::addColumn<QString>("attempt");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<QByteArray>("output"); // what an allowed attempt writes
        const QByteArray signature = "d0cf11e0a1b11ae1";
        QTest::newRow("read the workbook") << "read" << true << signature;
        QTest::newRow("convert a code page") << "convert" << true << QByteArray("done");
        QTest::newRow("open another file") << "open" << false << QByteArray();
        QTest::newRow("open the workbook for writing") << "write" << false << QByteArray();
        QTest::newRow("connect a socket") << "socket" << false << QByteArray();
        QTest::newRow("exec /bin/true") << "exec" << false << QByteArray();
        QTest::newRow("make the path's page writable") << "unseal" << false << QByteArray();
        QTest::newRow("unmap the path's page") << "unmap" << false << QByteArray();
    }
    void attemptFromInside()
    {
        QFETCH(QString, attempt);
        QFETCH(bool, allowed);
        QFETCH(QByteArray, output);
        if (Sanitized && (attempt == "unseal" || attempt == "unmap"))
            QSKIP("the sanitized build's filter lets the sanitizer change mappings anywhere");

        Started started(probe(), {attempt, book_, other_});
        QVERIFY(started.pid() > 0);
        const QByteArray written = started.finish().trimmed();
        const int status = started.status();
        if (allowed) {
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
                     qPrintable(describe(status) + ": " + written));
            QCOMPARE(written, output);
        } else {
            QVERIFY2(killedByFilter(status)
                         || (WIFEXITED(status) && WEXITSTATUS(status) == 1
                             && written.startsWith("refused: ")),
                     qPrintable(QStringLiteral("the attempt was not stopped (%1): %2")
                                    .arg(describe(status), QString::fromUtf8(written))));
        }
    }

    // From outside, while the probe sits inside: no capability, no way to gain one, the
    // filter in place, its own namespaces where the kernel gives them; and the workbook's
    // name pointed at another file meanwhile still reads the workbook that was checked.
    void seenFromOutside()
    {
        const QString held = folder_.filePath(QStringLiteral("held.xls"));
        QVERIFY(QFile::copy(book_, held));
        Started started(probe(), {QStringLiteral("hold"), held});
        QVERIFY(started.pid() > 0);
        QCOMPARE(started.readLine(), QByteArray("in"));

        const QMap<QString, QString> fields = statusFields(started.pid());
        QCOMPARE(fields.value("NoNewPrivs"), QStringLiteral("1"));
        QCOMPARE(fields.value("Seccomp"), QStringLiteral("2"));
        const QString none = QStringLiteral("0000000000000000");
        for (const char *set : {"CapInh", "CapPrm", "CapEff", "CapAmb"})
            QVERIFY2(fields.value(set) == none, qPrintable(QStringLiteral("%1 is %2").arg(set, fields.value(set))));
        // The bounding set can be emptied only with CAP_SETPCAP: root's, or the new user
        // namespace's.
        const QString pid = QString::number(started.pid());
        QVERIFY(!namespaceOf("self", "user").isEmpty());
        const bool ownNamespace = namespaceOf(pid, "user") != namespaceOf("self", "user");
        if (geteuid() == 0 || ownNamespace)
            QCOMPARE(fields.value("CapBnd"), none);

        if (Sanitized)
            qInfo("not compared: the namespaces (in a sanitized build the sanitizer may run "
                  "a thread of its own, and a process with threads gets no new user namespace)");
        else
            QCOMPARE(ownNamespace, kernelGivesNamespaces());
        QCOMPARE(namespaceOf(pid, "net") != namespaceOf("self", "net"), ownNamespace);

        QVERIFY(QFile::remove(held));
        QVERIFY(QFile::rename(other_, held));
        const QByteArray read = started.finish().trimmed();
        QVERIFY(QFile::rename(held, other_));
        QVERIFY2(WIFEXITED(started.status()) && WEXITSTATUS(started.status()) == 0,
                 qPrintable(describe(started.status())));
        QCOMPARE(read, QByteArray("d0cf11e0a1b11ae1"));
    }

    // Every .xls sample of the tests, read by the real helper: the filter kills it on none,
    // and each ends as it should.
    // The capabilities go before the parser opens the file, so the helper parses a copy it
    // made while it still had them: root still reads another user's private workbook.
    void rootReadsAnotherUsersPrivateWorkbook()
    {
        if (geteuid() != 0)
            QSKIP("not running as root: only root may read another user's private file");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("private.xls"));
        QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/workbooks/paper-xlwt.xls"), path));
        const QByteArray name = QFile::encodeName(path);
        QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(name.constData(), 0600), 0);
        Started helper(QStringLiteral(PAPERXLSREAD_PATH), {path, "252", "11"});
        QVERIFY(helper.pid() > 0);
        const QByteArray stream = helper.finish();
        const int status = helper.status();
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == XlsCellStream::Success,
                 qPrintable(describe(status)));
        QVERIFY(stream.startsWith("PXC1"));
    }

    void helperReadsEverySample()
    {
        // Where a sample is not read; all others are.
        const QMap<QString, QList<int>> refused{
            // The parser crashes on it, as the helper exists to survive (SIGSEGV, or under
            // the sanitizer its report's abort or exit).
            {"crash-freexl-open.xls", {}},
            {"text-over-two-continue-records-xlwt.xls", {XlsCellStream::TextTooLong}},
            // The parser's verdict on this cut-short string table varies from run to run
            // (it reads memory the file never filled), with or without the sandbox.
            {"sst-cut-after-long-string.xls", {XlsCellStream::Success, XlsCellStream::NotReadable}},
        };
        QDirIterator samples(QStringLiteral(TEST_DATA_DIR), {QStringLiteral("*.xls")},
                             QDir::Files, QDirIterator::Subdirectories);
        int seen = 0;
        while (samples.hasNext()) {
            const QString sample = samples.next();
            const QString name = QFileInfo(sample).fileName();
            Started helper(QStringLiteral(PAPERXLSREAD_PATH), {sample, "252", "11"});
            QVERIFY(helper.pid() > 0);
            const QByteArray stream = helper.finish();
            const int status = helper.status();
            const QString what = name + QStringLiteral(": ") + describe(status);
            QVERIFY2(!killedByFilter(status), qPrintable(what));
            ++seen;
            if (!refused.contains(name)) {
                QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == XlsCellStream::Success,
                         qPrintable(what));
                QVERIFY2(stream.startsWith("PXC1"), qPrintable(what));
            } else if (!refused[name].isEmpty()) {
                QVERIFY2(WIFEXITED(status) && refused[name].contains(WEXITSTATUS(status)),
                         qPrintable(what));
            } else {
                QVERIFY2(!(WIFEXITED(status) && WEXITSTATUS(status) == XlsCellStream::Success),
                         qPrintable(what));
            }
        }
        QVERIFY2(seen > 0, "no .xls sample found under " TEST_DATA_DIR);
    }
};

QTEST_GUILESS_MAIN(TestXlsHelperSandbox)
#include "tst_xlshelpersandbox.moc"

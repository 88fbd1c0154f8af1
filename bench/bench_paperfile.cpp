// Reading and writing papers of 1, 50 and 250 questions, and refusing huge files that
// are not papers, each beside its floor: the least any program must do with the same
// bytes. The peak resident memory of each run is reported.
#include "paper/PaperFileFormat.h"
#include "paper/PaperFileReader.h"
#include "paper/PaperFileWriter.h"
#include "core/PaperLimits.h"
#include "paper/PaperRecipes.h"

#include "BenchCases.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString workFile(const QString &name)
{
    return workDir().filePath(name);
}

// A file of the given size whose first bytes are `start`; the rest is a hole that reads
// as NUL bytes and takes no disk space.
QString sparseFile(const char *name, const QByteArray &start, qint64 size)
{
    const QString path = workFile(QLatin1StringView(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(start) != start.size() || !file.resize(size))
        return {};
    return path;
}

// A paper file of `questions` full questions, written once.
QString paperFile(int questions)
{
    const QString path = workFile(QStringLiteral("paper-%1.csv").arg(questions));
    if (QFile::exists(path))
        return path;
    return WritePaperFile(*paperOf(questions), path) ? path : QString();
}

// The floor of reading: the file's bytes into memory and one pass over them.
QString scanBytes(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("open failed");
    struct stat info{};
    ::fstat(fd, &info);
    QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
    const ssize_t got = ::read(fd, bytes.data(), size_t(bytes.size()));
    ::close(fd);
    if (got != bytes.size())
        return QStringLiteral("short read");
    int lines = 0;
    for (const char *p = bytes.constData(), *end = p + bytes.size();
         (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))); ++p)
        ++lines;
    benchmark::DoNotOptimize(lines);
    return {};
}

// The floor of a safe save: the same bytes into a new file, flushed to the disk and
// renamed over the old one.
QString writeBytesSafely(const QByteArray &bytes, const QString &path)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".tmp";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return QStringLiteral("open failed");
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size()
                         && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temporary.constData(), target.constData()) != 0)
        return QStringLiteral("write failed");
    return {};
}

// Reading the file must be refused (the reader's tests check the reasons).
CaseRun refusal(const QString &path)
{
    if (path.isEmpty())
        return {};
    return [path]() -> QString {
        if (ReadPaperFile(path))
            return QStringLiteral("the file was not refused");
        return {};
    };
}

// The floor of refusing a file by its size: open it, ask its size, close it.
CaseRun statFloor(const QString &path)
{
    return [path]() -> QString {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        struct stat info{};
        const bool ok = fd >= 0 && ::fstat(fd, &info) == 0;
        ::close(fd);
        return ok ? QString() : QStringLiteral("stat failed");
    };
}

QString gigabyteOfNul()
{
    static const QString path = sparseFile("gigabyte.csv", QByteArray(), qint64(1) << 30);
    return path;
}

QString gigabyteOfQuestions()
{
    static const QString path = [] {
        QByteArray start = QByteArray(PaperHeaderLine) + PaperLineEnd;
        const QByteArray title(500, 't');
        for (int k = 1; k <= 600; ++k)
            start += QByteArray::number(k) + ",10,A," + title + ",15,a,b,c,d,e,f\r\n";
        return sparseFile("questions.csv", start, qint64(1) << 30);
    }();
    return path;
}

// Text all the way to the reader's total limit: a header, then 40 MiB of empty lines
// (which a reader skips) before the hole.
QString gigabyteOfEmptyLines()
{
    static const QString path = [] {
        QByteArray start = QByteArray(PaperHeaderLine) + PaperLineEnd;
        start += QByteArray(40 << 20, '\n');
        return sparseFile("empty-lines.csv", start, qint64(1) << 30);
    }();
    return path;
}

QString hundredMegabyteLine()
{
    static const QString path =
        sparseFile("one-line.csv", QByteArray(2 * MaxPaperLineBytes, 'x'), qint64(100) << 20);
    return path;
}

const bool registered = [] {
    // Gigabyte files that are not papers, each wrong in another way besides its size.
    addCase("RefuseGigabyteOfNul", [] { return refusal(gigabyteOfNul()); })
        ->Unit(benchmark::kMicrosecond);
    addCase("RefuseGigabyteOfQuestions", [] { return refusal(gigabyteOfQuestions()); })
        ->Unit(benchmark::kMicrosecond);
    addCase("RefuseGigabyteOfEmptyLines",
            [] { return refusal(gigabyteOfEmptyLines()); })
        ->Unit(benchmark::kMicrosecond);
    addCase("RefuseGigabyteOfNul/floor", [] { return statFloor(gigabyteOfNul()); })
        ->Unit(benchmark::kMicrosecond);
    addCase("RefuseHundredMegabyteLine", [] { return refusal(hundredMegabyteLine()); })
        ->Unit(benchmark::kMicrosecond);

    for (const int questions : PaperSizes) {
        const std::string size = "/" + std::to_string(questions);
        addCase("ReadPaper" + size, [questions]() -> CaseRun {
            const QString path = paperFile(questions);
            if (path.isEmpty())
                return {};
            return [path, questions]() -> QString {
                const Result<BuiltPaper> paper = ReadPaperFile(path);
                if (!paper || paper->table->RecordCount() != questions)
                    return QStringLiteral("the paper was refused");
                return {};
            };
        })->Unit(benchmark::kMicrosecond);
        addCase("ReadPaper" + size + "/floor", [questions]() -> CaseRun {
            const QString path = paperFile(questions);
            if (path.isEmpty())
                return {};
            return [path] { return scanBytes(path); };
        })->Unit(benchmark::kMicrosecond);

        addCase("WritePaper" + size, [questions]() -> CaseRun {
            auto table = std::shared_ptr<QuestionTable>(paperOf(questions));
            const QString path = workFile(QStringLiteral("written-%1.csv").arg(questions));
            return [table, path]() -> QString {
                const Result<void> written = WritePaperFile(*table, path);
                return written ? QString() : written.error().text();
            };
        })->Unit(benchmark::kMicrosecond);
        addCase("WritePaper" + size + "/floor", [questions]() -> CaseRun {
            const QByteArray bytes = FormatPaperFile(*paperOf(questions));
            const QString path = workFile(QStringLiteral("floor-%1.csv").arg(questions));
            return [bytes, path] { return writeBytesSafely(bytes, path); };
        })->Unit(benchmark::kMicrosecond);
    }
    return true;
}();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runBenchCases(argc, argv);
}

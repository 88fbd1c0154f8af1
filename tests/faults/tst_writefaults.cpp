// Every write of a paper or a workbook, with the file system failing under it: a full
// disk part-way through, failing sync, link, rename and close calls, a folder the user
// may not write to. The old file must stay byte for byte, nothing may be left beside it,
// and the editor must say what the command's message says.
#include "FaultPapers.h"
#include "FaultShim.h"
#include "paper/PaperFileWriter.h"
#include "PaperFixture.h"

#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace FaultPapers;

Q_DECLARE_METATYPE(FaultPapers::Format)

namespace {
const QString FileName = QStringLiteral("target");
constexpr auto ReadOnly = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A folder holding the target, with the old paper in it unless there is to be none.
struct Target
{
    QTemporaryDir dir;
    QString path;
    QByteArray oldBytes;
    QFile::Permissions permissions;
    bool existed = false;

    Target(Format format, bool existing)
        : path(dir.filePath(FileName + u'.' + extensionOf(format))), existed(existing)
    {
        if (existing && WritePaper(*oldPaper(), path)) {
            oldBytes = bytesOf(path);
            permissions = QFile::permissions(path);
        }
    }
    QString name() const { return QFileInfo(path).fileName(); }
    QString plan(const QString &fault) const
    {
        return QStringLiteral("under=%1,%2").arg(dir.path(), fault);
    }
};

struct FaultCase
{
    const char *name;
    const char *fault; // the shim's plan, without "under"
    int error;
    bool oldFileOnly = false;
};

// The rows (format, existing, fault, error) of each case in every format, over an old
// file and over a new name.
void addFaultRows(std::initializer_list<FaultCase> cases)
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("error");
    for (Format format : {Format::Paper, Format::Xls, Format::Xlsx})
        for (bool existing : {true, false})
            for (const FaultCase &c : cases)
                if (existing || !c.oldFileOnly)
                    QTest::addRow("%s, %s, %s", qPrintable(extensionOf(format)),
                                  existing ? "old file" : "new file", c.name)
                        << format << existing << QString::fromLatin1(c.fault) << c.error;
}

// After a write that failed: the old file as it was, or no file where there was none,
// and nothing beside it.
void verifyUntouched(const Target &target)
{
    if (target.existed) {
        QVERIFY(target.oldBytes.size() > 0);
        QVERIFY2(bytesOf(target.path) == target.oldBytes, "the old file was changed");
        QCOMPARE(QFile::permissions(target.path), target.permissions);
        QCOMPARE(otherEntries(target.dir.path(), {target.name()}), QStringList());
    } else {
        QCOMPARE(otherEntries(target.dir.path(), {}), QStringList());
    }
}

// After a write that succeeded: the complete new paper and nothing beside it.
void verifyReplaced(const Target &target, Format format, const QuestionTable &table)
{
    QVERIFY2(rowsIn(target.path, format) == table.rows(), "the new file is not complete");
    QCOMPARE(otherEntries(target.dir.path(), {target.name()}), QStringList());
}

} // namespace

class TestWriteFaults : public QObject
{
    Q_OBJECT
    std::unique_ptr<QuestionTable> paper_ = longPaper();
    std::map<Format, qint64> sizes_;

private slots:
    void initTestCase()
    {
        if (!FaultShim::loaded()) {
            if (qEnvironmentVariableIsSet("FAULT_SHIM_REQUIRED"))
                QFAIL("the fault shim is not preloaded although the test run says it is");
            QSKIP("the fault shim is not preloaded; run through ctest, which sets LD_PRELOAD");
        }
        // How many bytes each writer hands to the disk, from one clean write with the
        // shim counting.
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx}) {
            Target target(format, false);
            FaultShim::Armed counting(target.plan(QStringLiteral("op=write")));
            const Result<void> written = WritePaper(*paper_, target.path);
            QVERIFY2(written, qPrintable(errorText(written)));
            sizes_[format] = FaultShim::counts().bytes;
            QCOMPARE(sizes_[format], QFileInfo(target.path).size());
            qInfo("%s: %lld bytes", qPrintable(extensionOf(format)), sizes_[format]);
        }
    }

    // The disk fills up at every 4 KiB boundary of the file and at some odd offsets.
    void diskFullPartWay_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<qint64>("offset");
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx}) {
            const qint64 size = sizes_[format];
            // The .xlsx bytes hold the time they were written, which compresses to a
            // byte more or less: its last offset keeps clear of the end.
            const qint64 last = format == Format::Xlsx ? size - 64 : size - 1;
            std::set<qint64> offsets{0, 1, 511, 4095, 4097, 12345, size / 2 + 3, last};
            for (qint64 offset = 4096; offset < size; offset += 4096)
                offsets.insert(offset);
            for (qint64 offset : offsets)
                QTest::addRow("%s at %lld", qPrintable(extensionOf(format)), offset)
                    << format << offset;
        }
    }
    void diskFullPartWay()
    {
        QFETCH(Format, format);
        QFETCH(qint64, offset);
        Target target(format, true);
        Result<void> written;
        {
            FaultShim::Armed fault(target.plan(
                QStringLiteral("op=write,after=%1,errno=ENOSPC").arg(offset)));
            written = WritePaper(*paper_, target.path);
            QCOMPARE(FaultShim::counts().bytes, offset); // the disk really filled there
        }
        QVERIFY(!written);
        QVERIFY2(errorText(written).contains(errnoText(ENOSPC)), qPrintable(errorText(written)));
        QVERIFY2(errorText(written).contains(target.path), qPrintable(errorText(written)));
        verifyUntouched(target);
    }

    // One call of the save fails: the write, the sync that makes the data durable, the
    // link that names the finished file, the rename that puts it in place, the close.
    void failingCall_data()
    {
        // A rename fault is tried over an old file, the one a failure must keep.
        addFaultRows({
            {"first write, EIO", "op=write,call=1,errno=EIO", EIO},
            {"second write, quota", "op=write,call=2,errno=EDQUOT", EDQUOT},
            {"sync, EIO", "op=sync,call=1,errno=EIO", EIO},
            {"sync, disk full", "op=sync,call=1,errno=ENOSPC", ENOSPC},
            {"every link, disk full", "op=link,from=1,errno=ENOSPC", ENOSPC},
            {"rename, denied", "op=rename,call=1,errno=EACCES", EACCES, true},
            {"rename, read-only file system", "op=rename,call=1,errno=EROFS", EROFS, true},
        });
    }
    void failingCall()
    {
        QFETCH(Format, format);
        QFETCH(bool, existing);
        QFETCH(QString, fault);
        QFETCH(int, error);
        Target target(format, existing);
        Result<void> written;
        long calls[FaultShim::OpCount];
        {
            FaultShim::Armed armed(target.plan(fault));
            written = WritePaper(*paper_, target.path);
            std::copy_n(FaultShim::counts().calls, FaultShim::OpCount, calls);
        }
        // The call the fault names was made, or the case tests nothing.
        const QString op = fault.section(u',', 0, 0).section(u'=', 1);
        const int k = fault.section(u',', 1, 1).section(u'=', 1).toInt();
        const QStringList ops{"write", "sync", "close", "link", "rename", "chmod"};
        QVERIFY2(calls[ops.indexOf(op)] >= k, "the faulty call was never made");

        QVERIFY2(!written, "a failed call was reported as success");
        QVERIFY2(errorText(written).contains(errnoText(error)), qPrintable(errorText(written)));
        QVERIFY2(errorText(written).contains(target.path), qPrintable(errorText(written)));
        verifyUntouched(target);
    }

    // A failing close comes after the data is written and synced; whatever the writer
    // makes of it, the file is either the old one or the complete new one.
    void failingClose_data()
    {
        QTest::addColumn<Format>("format");
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx})
            QTest::addRow("%s", qPrintable(extensionOf(format))) << format;
    }
    void failingClose()
    {
        QFETCH(Format, format);
        Target target(format, true);
        Result<void> written;
        {
            FaultShim::Armed armed(target.plan(QStringLiteral("op=close,call=1,errno=EIO")));
            written = WritePaper(*paper_, target.path);
            QVERIFY(FaultShim::counts().calls[FaultShim::Close] >= 1);
        }
        if (written)
            verifyReplaced(target, format, *paper_);
        else
            verifyUntouched(target);
    }

    // A file system without files that have no name (FAT, some network and FUSE ones
    // refuse O_TMPFILE): the new file is made under a name beside the target and renamed
    // over it, and a failure on the way removes it.
    void withoutNamelessFiles_data()
    {
        // fault comes besides the refused O_TMPFILE; error 0: the save succeeds.
        addFaultRows({
            {"saved", "op=write", 0},
            {"disk full part-way", "op=write,after=5000,errno=ENOSPC", ENOSPC},
            {"sync fails", "op=sync,call=1,errno=EIO", EIO},
            {"rename refused", "op=rename,call=1,errno=EACCES", EACCES},
        });
    }
    void withoutNamelessFiles()
    {
        QFETCH(Format, format);
        QFETCH(bool, existing);
        QFETCH(QString, fault);
        QFETCH(int, error);
        Target target(format, existing);
        Result<void> written;
        long namelessAsked = 0;
        {
            FaultShim::Armed armed(target.plan(fault + QStringLiteral(",refuse=tmpfile:EOPNOTSUPP")));
            written = WritePaper(*paper_, target.path);
            namelessAsked = FaultShim::counts().calls[FaultShim::Tmpfile];
        }
        QVERIFY2(namelessAsked >= 1, "the writer never asked for a file without a name");
        if (error == 0) {
            QVERIFY2(written, qPrintable(errorText(written)));
            verifyReplaced(target, format, *paper_);
            return;
        }
        QVERIFY2(!written, "a failed call was reported as success");
        QVERIFY2(errorText(written).contains(errnoText(error)), qPrintable(errorText(written)));
        verifyUntouched(target);
    }

    // The editor's save and export report the failure with the command's message and
    // the reason, and leave the paper as it was.
    void editorReportsFailure_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("error");
        const struct { const char *name; const char *fault; int error; } cases[] = {
            {"disk full part-way", "op=write,after=50000,errno=ENOSPC", ENOSPC},
            {"sync fails", "op=sync,call=1,errno=EIO", EIO},
            {"rename refused", "op=rename,call=1,errno=EACCES", EACCES},
        };
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx}) {
            for (const auto &c : cases)
                QTest::addRow("%s, %s", format == Format::Paper ? "save" : format == Format::Xls
                                  ? "export xls" : "export xlsx", c.name)
                    << format << QString::fromLatin1(c.fault) << c.error;
        }
    }
    void editorReportsFailure()
    {
        QFETCH(Format, format);
        QFETCH(QString, fault);
        QFETCH(int, error);
        StartedEditor editor;
        const QString opened = openLongPaper(editor);
        QVERIFY(!opened.isEmpty());
        editor.document().setModified(true);
        const QString caption = editor.form().windowTitle();
        Target target(format, true);

        QStringList expected;
        {
            FaultShim::Armed armed(target.plan(fault));
            if (format == Format::Paper) {
                editor.seam.fileAnswers.push_back(
                    FileDialogChoice{target.path, QStringLiteral("Test Paper (*.csv)")});
                editor.seam.messageAnswers.push_back(QMessageBox::Yes); // overwrite
                editor.form().SavePaper_Click();
                expected = QStringList{"File exists. Overwrite it or not?", "Writing file error!"};
            } else {
                QString path = target.path;
                editor.form().DoExport(path);
                expected = QStringList{"Export File Error"};
            }
        }
        QCOMPARE(editor.seam.messageTexts(), expected);
        const QString details = editor.seam.messages.last().informativeText;
        QVERIFY2(details.contains(errnoText(error)), qPrintable(details));
        QVERIFY2(details.contains(target.path), qPrintable(details));
        verifyUntouched(target);
        QVERIFY(editor.document().isModified());
        QCOMPARE(editor.document().path(), opened);
        QCOMPARE(editor.form().windowTitle(), caption);
        QVERIFY(editor.form().questionTable()->rows() == paper_->rows());
    }

    // A folder the user may not write to: nothing can be replaced atomically there. A
    // file the user may write to gets its new content in place, with no message; else the
    // save and the export fail with their messages and leave the folder as it was.
    void unwritableFolder_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("readOnlyFile");
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx}) {
            const QString ext = extensionOf(format);
            QTest::addRow("%s, old file, saved in place", qPrintable(ext)) << format << true << false;
            QTest::addRow("%s, read-only old file", qPrintable(ext)) << format << true << true;
            QTest::addRow("%s, new file", qPrintable(ext)) << format << false << false;
        }
    }
    void unwritableFolder()
    {
        if (geteuid() == 0)
            QSKIP("running as root, which writes into any folder whatever its permissions; "
                  "tst_writefaults_unprivileged runs this as an ordinary user");
        QFETCH(Format, format);
        QFETCH(bool, existing);
        QFETCH(bool, readOnlyFile);
        StartedEditor editor;
        const QString opened = openLongPaper(editor);
        QVERIFY(!opened.isEmpty());
        Target target(format, existing);
        if (readOnlyFile) {
            QVERIFY(QFile::setPermissions(target.path, ReadOnly));
            target.permissions = QFile::permissions(target.path);
        }
        const auto folderMode = QFile::permissions(target.dir.path());
        QVERIFY(QFile::setPermissions(target.dir.path(), ReadOnly | QFile::ExeOwner | QFile::ExeUser));
        if (format == Format::Paper) {
            editor.seam.fileAnswers.push_back(
                FileDialogChoice{target.path, QStringLiteral("Test Paper (*.csv)")});
            editor.seam.messageAnswers.push_back(QMessageBox::Yes); // overwrite
            editor.form().SavePaper_Click();
        } else {
            QString path = target.path;
            editor.form().DoExport(path);
        }
        QVERIFY(QFile::setPermissions(target.dir.path(), folderMode));
        if (existing && !readOnlyFile) {
            QCOMPARE(editor.seam.messageTexts(),
                     format == Format::Paper
                         ? QStringList{QStringLiteral("File exists. Overwrite it or not?")}
                         : QStringList());
            verifyReplaced(target, format, *paper_);
            QCOMPARE(QFile::permissions(target.path), target.permissions);
            return;
        }
        QVERIFY(!editor.seam.messages.isEmpty());
        QCOMPARE(editor.seam.messageTexts().last(), format == Format::Paper
                                                        ? QStringLiteral("Writing file error!")
                                                        : QStringLiteral("Export File Error"));
        // The folder is what refuses the file, and the reason names it.
        const QString details = editor.seam.messages.last().informativeText;
        QVERIFY2(details.startsWith("cannot write to the folder " + target.dir.path() + ": "),
                 qPrintable(details));
        verifyUntouched(target);
        QCOMPARE(editor.document().path(), opened);
    }

    // A read-only file in a folder the user may write to is replaced, as the owner could
    // delete it, and it stays read-only.
    void readOnlyFileIsReplacedAndStaysReadOnly_data()
    {
        QTest::addColumn<Format>("format");
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx})
            QTest::addRow("%s", qPrintable(extensionOf(format))) << format;
    }
    void readOnlyFileIsReplacedAndStaysReadOnly()
    {
        QFETCH(Format, format);
        Target target(format, true);
        QVERIFY(QFile::setPermissions(target.path, ReadOnly));
        const QFile::Permissions before = QFile::permissions(target.path);
        const Result<void> written = WritePaper(*paper_, target.path);
        QVERIFY2(written, qPrintable(errorText(written)));
        verifyReplaced(target, format, *paper_);
        QCOMPARE(QFile::permissions(target.path), before);
    }

    // A failed write to a read-only file leaves its permissions as they were.
    void readOnlyFileKeepsItsPermissionsOnFailure_data()
    {
        QTest::addColumn<Format>("format");
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx})
            QTest::addRow("%s", qPrintable(extensionOf(format))) << format;
    }
    void readOnlyFileKeepsItsPermissionsOnFailure()
    {
        QFETCH(Format, format);
        Target target(format, true);
        QVERIFY(QFile::setPermissions(target.path, ReadOnly));
        target.permissions = QFile::permissions(target.path);
        {
            FaultShim::Armed fault(target.plan(QStringLiteral("op=write,after=5000,errno=ENOSPC")));
            QVERIFY(!WritePaper(*paper_, target.path));
        }
        verifyUntouched(target);
    }

    // A file system that keeps no permissions (FAT over FUSE) refuses every chmod; the
    // old file, writable or read-only, is still replaced. Any other failure of the
    // permission copy is a failed save that names the file.
    void permissionCopyRefused_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("saved");
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx}) {
            for (bool readOnly : {false, true}) {
                for (const char *error : {"EPERM", "ENOTSUP", "EOPNOTSUPP", "ENOSYS", "EIO"}) {
                    QTest::addRow("%s, %s, %s", qPrintable(extensionOf(format)),
                                  readOnly ? "read-only" : "writable", error)
                        << format << readOnly << QString::fromLatin1(error)
                        << (std::strcmp(error, "EIO") != 0);
                }
            }
        }
    }
    void permissionCopyRefused()
    {
        QFETCH(Format, format);
        QFETCH(bool, readOnly);
        QFETCH(QString, error);
        QFETCH(bool, saved);
        Target target(format, true);
        if (readOnly)
            QVERIFY(QFile::setPermissions(target.path, ReadOnly));
        target.permissions = QFile::permissions(target.path);
        Result<void> written;
        {
            FaultShim::Armed armed(target.plan(QStringLiteral("op=chmod,from=1,errno=") + error));
            written = WritePaper(*paper_, target.path);
            QVERIFY2(FaultShim::counts().calls[FaultShim::Chmod] >= 1,
                     "the save copied no permissions, so the case tests nothing");
        }
        if (saved) {
            QVERIFY2(written, qPrintable(errorText(written)));
            verifyReplaced(target, format, *paper_);
        } else {
            QVERIFY2(!written, "a failed permission copy was reported as success");
            QVERIFY2(errorText(written).contains(target.path), qPrintable(errorText(written)));
            verifyUntouched(target);
        }
    }

    // When the new file cannot be given the old one's owner (every chown refused, as a
    // file system that keeps root from giving files away does), the old file gets its
    // new content in place, through a complete copy beside it. A failure before the old
    // content is touched leaves it as it was and no copy; a failure after it keeps the
    // copy, which the error names and which holds the whole new file.
    void ownerNotKept_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("outcome"); // "saved", "untouched" or "copy kept"
        for (Format format : {Format::Paper, Format::Xls, Format::Xlsx}) {
            // The bytes go first to the new file that could not be given the owner, then
            // to the copy, then into the old file.
            const qint64 size = sizes_[format];
            const struct { const char *name; QString fault; const char *outcome; } cases[] = {
                {"no other fault", QString(), "saved"},
                {"copy, disk full part-way",
                 QStringLiteral("op=write,after=%1,errno=ENOSPC").arg(size + size / 2), "untouched"},
                {"copy, sync fails", QStringLiteral("op=sync,call=1,errno=EIO"), "untouched"},
                {"no room for the new content", QStringLiteral("op=allocate,call=1,errno=ENOSPC"),
                 "untouched"},
                {"in place, write fails part-way",
                 QStringLiteral("op=write,after=%1,errno=EIO").arg(2 * size + size / 2), "copy kept"},
                {"in place, truncate fails", QStringLiteral("op=truncate,call=1,errno=EIO"),
                 "copy kept"},
                {"in place, sync fails", QStringLiteral("op=sync,call=2,errno=EIO"), "copy kept"},
            };
            for (const auto &c : cases)
                QTest::addRow("%s, %s", qPrintable(extensionOf(format)), c.name)
                    << format << c.fault << QString::fromLatin1(c.outcome);
        }
    }
    void ownerNotKept()
    {
        QFETCH(Format, format);
        QFETCH(QString, fault);
        QFETCH(QString, outcome);
        if (geteuid() != 0)
            QSKIP("only root can give the old file another owner for the save to keep");
        constexpr uid_t OtherUser = 4321;
        Target target(format, true);
        QCOMPARE(::chown(QFile::encodeName(target.path).constData(), OtherUser, OtherUser), 0);
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(target.path).constData(), &before), 0);
        Result<void> written;
        {
            FaultShim::Armed armed(target.plan(QStringLiteral("refuse=chown:EPERM,") + fault));
            written = WritePaper(*paper_, target.path);
            QVERIFY2(FaultShim::counts().calls[FaultShim::Chown] >= 1,
                     "the save gave no owner, so the case tests nothing");
        }
        struct stat after;
        QCOMPARE(::stat(QFile::encodeName(target.path).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_uid, OtherUser);
        QCOMPARE(after.st_gid, gid_t(OtherUser));
        if (outcome == "saved") {
            QVERIFY2(written, qPrintable(errorText(written)));
            verifyReplaced(target, format, *paper_);
            QCOMPARE(QFile::permissions(target.path), target.permissions);
            return;
        }
        QVERIFY2(!written, "a failed write was reported as success");
        QVERIFY2(errorText(written).contains(target.path), qPrintable(errorText(written)));
        if (outcome == "untouched") {
            verifyUntouched(target);
            return;
        }
        const QString reason = errorText(written);
        const QStringList copies = otherEntries(target.dir.path(), {target.name()});
        QCOMPARE(copies.size(), 1);
        const QString copy = target.dir.filePath(copies.first());
        QVERIFY2(reason.endsWith("the complete new content is kept in " + copy), qPrintable(reason));
        QVERIFY2(rowsIn(copy, format) == paper_->rows(), "the copy is not the complete new file");
    }

private:
    // Opens the long paper in the editor from a folder of its own; its path, or an
    // empty text when it could not be opened.
    QString openLongPaper(StartedEditor &editor)
    {
        const QString path = editor.programFolder.filePath(QStringLiteral("long.csv"));
        if (!WritePaperFile(*paper_, path) || !editor.form().ReadCsvFile(path))
            return {};
        editor.document().setPath(path);
        return path;
    }
};

QTEST_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"

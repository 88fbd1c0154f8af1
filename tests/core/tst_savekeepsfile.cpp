// A save keeps what the file was besides its bytes: owner and group, permissions, ACL
// and extended attributes. Where a new file could not be given them (another user's file
// in a shared folder) or the folder takes no new file, the file's content is replaced in
// place. The cases with another user run as root, which makes the files and then saves
// as "nobody" in a child process.
#include "core/AtomicFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {
const QByteArray OldBytes = "the old content, longer than the new one\n";
const QByteArray NewBytes = "the new content\n";
constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;
constexpr uid_t OtherUser = 4321;
constexpr gid_t OtherGroup = 4322;

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct stat statOf(const QString &path)
{
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot);
}

bool setAttribute(const QString &path, const char *name, const QByteArray &value)
{
    return ::setxattr(QFile::encodeName(path).constData(), name, value.constData(),
                      size_t(value.size()), 0)
           == 0;
}

// The value of an attribute, or nothing when the file has none of that name.
std::optional<QByteArray> attributeOf(const QString &path, const char *name)
{
    QByteArray value(4096, '\0');
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), name, value.data(),
                                    size_t(value.size()));
    if (size < 0)
        return std::nullopt;
    value.resize(size);
    return value;
}

// An access ACL as the kernel keeps it in system.posix_acl_access: a version word, then
// (tag, permissions, id) entries in the order of their tags.
QByteArray aclGivingOneUserRead(uid_t user)
{
    QByteArray bytes;
    const auto put = [&bytes](quint64 value, int size) {
        for (int k = 0; k < size; ++k)
            bytes.append(char((value >> (8 * k)) & 0xff));
    };
    const quint32 noId = 0xffffffff;
    put(2, 4); // version
    const struct { quint16 tag, permissions; quint32 id; } entries[] = {
        {0x01, 6, noId},  // the owner: read, write
        {0x02, 4, user},  // one named user: read
        {0x04, 4, noId},  // the owning group: read
        {0x10, 4, noId},  // the mask: read
        {0x20, 0, noId},  // others: nothing
    };
    for (const auto &entry : entries) {
        put(entry.tag, 2);
        put(entry.permissions, 2);
        put(entry.id, 4);
    }
    return bytes;
}

// Runs save as "nobody" in a child process, as root can; the error text, empty for a
// success, or "unreachable" when nobody cannot reach the path.
QString saveAsNobody(const std::function<Result<void>()> &save, const QString &path)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        QByteArray text;
        if (::setgroups(0, nullptr) != 0 || ::setgid(NoGroup) != 0 || ::setuid(Nobody) != 0)
            text = "cannot become nobody";
        else if (::access(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), X_OK) != 0)
            text = "unreachable";
        else if (const Result<void> saved = save(); !saved)
            text = saved.error().text().toUtf8();
        if (::write(pipeEnds[1], text.constData(), size_t(text.size())) != text.size())
            ::_exit(2);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, got);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return QString::fromUtf8(text);
}

// A folder every user can reach, for the cases that save as "nobody".
struct SharedFolder
{
    QTemporaryDir dir;
    SharedFolder(mode_t mode, uid_t owner, gid_t group)
    {
        ::chown(QFile::encodeName(dir.path()).constData(), owner, group);
        ::chmod(QFile::encodeName(dir.path()).constData(), mode);
    }
    ~SharedFolder() { ::chmod(QFile::encodeName(dir.path()).constData(), 0700); }
    QString filePath(const QString &name) const { return dir.filePath(name); }
};
} // namespace

class TestSaveKeepsFile : public QObject
{
    Q_OBJECT
private slots:
    // Root gives the new file any owner and group: the file is replaced by a new one
    // (a new inode), which is its old owner's, group's and mode's.
    void ownerAndGroupKept_data()
    {
        QTest::addColumn<uint>("owner");
        QTest::addColumn<uint>("group");
        QTest::addColumn<uint>("mode");
        QTest::newRow("another user's file") << uint(OtherUser) << uint(OtherGroup) << 0640u;
        QTest::newRow("root's file in another group") << 0u << uint(OtherGroup) << 0660u;
        QTest::newRow("another user's read-only file") << uint(OtherUser) << uint(OtherUser)
                                                        << 0440u;
        QTest::newRow("set-group-ID bit") << uint(OtherUser) << uint(OtherGroup) << 02750u;
    }
    void ownerAndGroupKept()
    {
        if (::geteuid() != 0)
            QSKIP("only root can give a file another user as its owner");
        QFETCH(uint, owner);
        QFETCH(uint, group);
        QFETCH(uint, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), owner, group), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
        const ino_t oldInode = statOf(path).st_ino;

        const Result<void> saved = WriteFileAtomically(path, NewBytes);
        QVERIFY2(saved, qPrintable(saved ? QString() : saved.error().text()));
        QCOMPARE(bytesOf(path), NewBytes);
        const struct stat after = statOf(path);
        QCOMPARE(uint(after.st_uid), owner);
        QCOMPARE(uint(after.st_gid), group);
        QCOMPARE(uint(after.st_mode & 07777), mode);
        QVERIFY2(after.st_ino != oldInode, "root's save was not an atomic replacement");
        QCOMPARE(entriesOf(dir.path()), QStringList({"paper.csv"}));
    }

    // Extended attributes and an ACL go with the file to its new inode.
    void attributesAndAclKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        const QByteArray binary("\0\1\2 binary \xff", 13);
        if (!setAttribute(path, "user.x", "one") || !setAttribute(path, "user.binary", binary)) {
            if (errno == ENOTSUP || errno == EOPNOTSUPP)
                QSKIP("the file system of the temporary folder keeps no user attributes");
            QFAIL(std::strerror(errno));
        }
        const QByteArray acl = aclGivingOneUserRead(OtherUser);
        const bool aclSet = setAttribute(path, "system.posix_acl_access", acl);
        if (!aclSet && errno != ENOTSUP && errno != EOPNOTSUPP)
            QFAIL(std::strerror(errno));
        const mode_t mode = statOf(path).st_mode;

        const Result<void> saved = WriteFileAtomically(path, NewBytes);
        QVERIFY2(saved, qPrintable(saved ? QString() : saved.error().text()));
        QCOMPARE(bytesOf(path), NewBytes);
        QCOMPARE(attributeOf(path, "user.x"), std::optional<QByteArray>("one"));
        QCOMPARE(attributeOf(path, "user.binary"), std::optional<QByteArray>(binary));
        QCOMPARE(statOf(path).st_mode, mode);
        QCOMPARE(entriesOf(dir.path()), QStringList({"paper.csv"}));
        if (!aclSet)
            QSKIP("the file system of the temporary folder keeps no ACLs; the attributes held");
        QCOMPARE(attributeOf(path, "system.posix_acl_access"), std::optional<QByteArray>(acl));
    }

    // A colleague's save of a paper in a shared group folder: the new file could not be
    // given the owner, so the content is replaced in the same file, which stays its
    // owner's with its group, mode and attributes; nothing is left in the folder.
    void anotherUsersFileIsRewrittenInPlace_data()
    {
        QTest::addColumn<QByteArray>("newBytes");
        QTest::newRow("shorter than the old content") << NewBytes;
        QTest::newRow("longer than the old content") << QByteArray(100000, 'n');
        QTest::newRow("empty") << QByteArray();
    }
    void anotherUsersFileIsRewrittenInPlace()
    {
        QFETCH(QByteArray, newBytes);
        if (::geteuid() != 0)
            QSKIP("only root can make a file of another user for nobody to save");
        SharedFolder shared(0775, OtherUser, NoGroup);
        const QString path = shared.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), OtherUser, NoGroup), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0660), 0);
        const bool attributes = setAttribute(path, "user.x", "kept");
        const struct stat before = statOf(path);

        const QString error = saveAsNobody([&] { return WriteFileAtomically(path, newBytes); }, path);
        if (error == "unreachable")
            QSKIP("nobody cannot reach the temporary folder; set TMPDIR to one it can");
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(bytesOf(path), newBytes);
        const struct stat after = statOf(path);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_uid, OtherUser);
        QCOMPARE(after.st_gid, NoGroup);
        QCOMPARE(after.st_mode, before.st_mode);
        if (attributes)
            QCOMPARE(attributeOf(path, "user.x"), std::optional<QByteArray>("kept"));
        QCOMPARE(entriesOf(shared.dir.path()), QStringList({"paper.csv"}));
    }

    // Another user's file nobody may not write to is replaced by a new file, as before
    // (the folder lets nobody delete it); it keeps the group nobody is a member of.
    void anotherUsersReadOnlyFileIsReplaced()
    {
        if (::geteuid() != 0)
            QSKIP("only root can make a file of another user for nobody to save");
        SharedFolder shared(0777, OtherUser, NoGroup);
        const QString path = shared.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), OtherUser, NoGroup), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0444), 0);

        const QString error = saveAsNobody([&] { return WriteFileAtomically(path, NewBytes); }, path);
        if (error == "unreachable")
            QSKIP("nobody cannot reach the temporary folder; set TMPDIR to one it can");
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(bytesOf(path), NewBytes);
        QCOMPARE(statOf(path).st_uid, Nobody);
        QCOMPARE(statOf(path).st_gid, NoGroup);
        QCOMPARE(statOf(path).st_mode & 07777, mode_t(0444));
        QCOMPARE(entriesOf(shared.dir.path()), QStringList({"paper.csv"}));
    }

    // A writable file in a folder that takes no new file is saved in place, through a
    // copy in the system's temporary folder that is gone afterwards; a read-only one
    // there cannot be saved, and the reason names the folder.
    void fileInReadOnlyFolder_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("writable file") << true;
        QTest::newRow("read-only file") << false;
    }
    void fileInReadOnlyFolder()
    {
        QFETCH(bool, writable);
        const bool root = ::geteuid() == 0;
        SharedFolder folder(0755, root ? Nobody : ::geteuid(), root ? NoGroup : ::getegid());
        QTemporaryDir copies; // the system's temporary folder for the save
        ::chmod(QFile::encodeName(copies.path()).constData(), 0777);
        const QString path = folder.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        if (root)
            QCOMPARE(::chown(QFile::encodeName(path).constData(), Nobody, NoGroup), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), writable ? 0640 : 0440), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder.dir.path()).constData(), 0555), 0);
        const struct stat before = statOf(path);

        const QByteArray oldTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(copies.path()));
        const auto save = [&] { return WriteFileAtomically(path, NewBytes); };
        QString error;
        if (root) {
            error = saveAsNobody(save, path);
        } else if (const Result<void> saved = save(); !saved) {
            error = saved.error().text();
        }
        qputenv("TMPDIR", oldTemp);
        if (error == "unreachable")
            QSKIP("nobody cannot reach the temporary folder; set TMPDIR to one it can");
        if (writable) {
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(bytesOf(path), NewBytes);
            QCOMPARE(statOf(path).st_ino, before.st_ino);
            QCOMPARE(statOf(path).st_mode, before.st_mode);
        } else {
            QVERIFY2(error.startsWith("cannot write to the folder " + folder.dir.path() + ": "),
                     qPrintable(error));
            QCOMPARE(bytesOf(path), OldBytes);
        }
        QCOMPARE(entriesOf(folder.dir.path()), QStringList({"paper.csv"}));
        QCOMPARE(entriesOf(copies.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSaveKeepsFile)
#include "tst_savekeepsfile.moc"

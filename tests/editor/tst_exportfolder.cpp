// The folder EXPORT proposes: test_papers beside the program when the user may write
// there, else test_papers in the user's documents. Permissions do not bind root, so the
// read-only cases skip under root; tst_exportfolder_unprivileged runs them as "nobody".
#include "editor/ExportFolder.h"
#include "editor/ToolbarCommands.h"
#include "StartedEditor.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {
constexpr auto ReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser
                                | QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup
                                | QFile::ReadOther | QFile::ExeOther; // 0555
constexpr auto OwnFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                           | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

// A folder made read-only for the time of a test, writable again after it so that its
// temporary parent can be removed.
struct ReadOnly
{
    QString path;
    explicit ReadOnly(const QString &folder) : path(folder)
    {
        QVERIFY(QFile::setPermissions(path, ReadOnlyFolder));
    }
    ~ReadOnly() { QFile::setPermissions(path, OwnFolder); }
};

bool permissionsBindUs()
{
    return geteuid() != 0;
}
} // namespace

class TestExportFolder : public QObject
{
    Q_OBJECT
    QTemporaryDir home_;
    QString documents_;

private slots:
    // The documents folder of a home of the test's own, with no desktop settings.
    void initTestCase()
    {
        QVERIFY(home_.isValid());
        qputenv("HOME", QFile::encodeName(home_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.filePath("config")));
        documents_ = home_.filePath("Documents");
    }

    void init()
    {
        QDir(documents_).removeRecursively();
    }

    void besideAWritableProgram()
    {
        QTemporaryDir program;
        const QString beside = program.filePath("test_papers");
        QCOMPARE(ExportFolder(program.path()), beside); // made when missing
        QVERIFY(QFileInfo(beside).isDir());
        QCOMPARE(ExportFolder(program.path()), beside); // and used when there
        QVERIFY(!QFileInfo::exists(documents_));
    }

    void inTheDocumentsWhenTheProgramFolderIsReadOnly_data()
    {
        QTest::addColumn<bool>("besideExists");
        QTest::addColumn<bool>("documentsExist");
        QTest::newRow("no test_papers beside the program, no documents folder") << false << false;
        QTest::newRow("a read-only test_papers beside the program") << true << true;
    }
    void inTheDocumentsWhenTheProgramFolderIsReadOnly()
    {
        if (!permissionsBindUs())
            QSKIP("running as root, which writes into any folder whatever its permissions; "
                  "tst_exportfolder_unprivileged runs this as an ordinary user");
        QFETCH(bool, besideExists);
        QFETCH(bool, documentsExist);
        QTemporaryDir program;
        const QString beside = program.filePath("test_papers");
        if (besideExists)
            QVERIFY(QDir().mkdir(beside));
        if (documentsExist)
            QVERIFY(QDir().mkdir(documents_));
        ReadOnly programFolder(program.path());
        std::optional<ReadOnly> besideFolder;
        if (besideExists)
            besideFolder.emplace(beside);

        const QString mine = QDir(documents_).filePath("test_papers");
        QCOMPARE(ExportFolder(program.path()), mine);
        QVERIFY(QFileInfo(mine).isDir());
        QCOMPARE(QFileInfo::exists(beside), besideExists); // nothing made beside the program
    }

    void theDocumentsThemselvesWhenNothingCanBeMadeThere()
    {
        if (!permissionsBindUs())
            QSKIP("running as root, which writes into any folder whatever its permissions; "
                  "tst_exportfolder_unprivileged runs this as an ordinary user");
        QTemporaryDir program;
        QVERIFY(QDir().mkdir(documents_));
        ReadOnly programFolder(program.path());
        ReadOnly documents(documents_);
        QCOMPARE(ExportFolder(program.path()), documents_);
        QVERIFY(!QFileInfo::exists(QDir(documents_).filePath("test_papers")));
    }

    // The editor's EXPORT proposes the folder in its save dialog.
    void exportProposesTheDocumentsFolder()
    {
        if (!permissionsBindUs())
            QSKIP("running as root, which writes into any folder whatever its permissions; "
                  "tst_exportfolder_unprivileged runs this as an ordinary user");
        StartedEditor editor;
        ReadOnly programFolder(editor.programFolder.path());
        editor.form().CommandTools_Click(ToolbarCommand::Export); // the dialog is cancelled

        QCOMPARE(editor.seam.fileDialogs.size(), 1);
        QCOMPARE(editor.seam.fileDialogs.first().directory,
                 QDir(documents_).filePath("test_papers"));
        QVERIFY(editor.seam.messages.isEmpty());
    }
};

QTEST_MAIN(TestExportFolder)
#include "tst_exportfolder.moc"

#include "paper/QuestionTable.h"
#include "StartedEditor.h"
#include "widgets/TypingLengthLimit.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
QByteArray withSignature(std::int16_t type, std::uint8_t low, std::uint8_t high)
{
    QByteArray bytes = TypeInfoRecord::validBytes(type);
    bytes[60] = char(low);
    bytes[61] = char(high);
    return bytes;
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void blankPaperAfterStartup()
    {
        StartedEditor editor;
        QVERIFY(editor.seam.messages.isEmpty());
        QCOMPARE(editor.form().windowTitle(), QStringLiteral("Test Paper Editor  "));
        QVERIFY(editor.form().isVisible());
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("1"));
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("10"));
        QCOMPARE(editor.document().isModified(), false);
        QCOMPARE(editor.state().startupFlag, false);
        QCOMPARE(editor.document().path(), QString());
        QCOMPARE(editor.document().scores()[1], std::int16_t(10));

        const QuestionTable *table = editor.form().questionTable();
        QVERIFY(table);
        QCOMPARE(table->RecordCount(), 1);
        QCOMPARE(table->AbsolutePosition(), 1);

        // The panel and the grid both show question 1.
        QCOMPARE(editor.child<QLabel>("LabelNo")->text(), QStringLiteral("1"));
        QCOMPARE(editor.child<QLineEdit>("TextScore")->text(), QStringLiteral("10"));
        QCOMPARE(editor.child<QLineEdit>("TextTimeLimit")->text(), QStringLiteral("15"));
        QCOMPARE(editor.child<QLineEdit>("LabelAnswer")->text(), QStringLiteral("Uncertain"));
        QCOMPARE(editor.child<QPlainTextEdit>("TextTitle")->toPlainText(), QString());
        for (int i = 0; i < 6; ++i)
            QCOMPARE(editor.child<QLineEdit>(QStringLiteral("TextItems_%1").arg(i))->text(), QString());
        auto *grid = editor.child<QTableView>("DataGrid1");
        QCOMPARE(grid->model()->rowCount(), 1);
        const QStringList expected = {"1", "10", "Uncertain", "", "15", "", "", "", "", "", ""};
        for (int column = 0; column < expected.size(); ++column)
            QCOMPARE(grid->model()->index(0, column).data().toString(), expected[column]);
    }

    void captionsAfterLoad()
    {
        StartedEditor editor;
        const QStringList words = {"NEW", "OPEN", "IMPORT", "EXPORT", "SAVE", "ADD",
                                   "DEL", "UP", "DOWN", "EXIT", "HELP"};
        for (int i = 0; i < words.size(); ++i) {
            auto *button = editor.child<QPushButton>(QStringLiteral("CommandTools_%1").arg(i));
            QVERIFY2(button, qPrintable(words[i]));
            QCOMPARE(button->text(), words[i]);
            QCOMPARE(button->toolTip(), words[i]);
        }
        const QList<std::pair<const char *, const char *>> labels = {
            {"LabNo", "NO.:"}, {"Label2", "Mark:"}, {"Label3", "Answer:"},
            {"Label5", "Total Questions:"}, {"Label7", "Total Points:"},
            {"LabelTimeLimit", "Time limit"}, {"Label1", "(0-250)"}, {"Label4", "(1-250)"},
            {"LabItem_0", "OptionA:"}, {"LabItem_5", "OptionF:"}};
        for (const auto &[name, caption] : labels)
            QCOMPARE(editor.child<QLabel>(name)->text(), QString::fromLatin1(caption));
        QCOMPARE(editor.child<QPushButton>("CmdSetAnswer")->text(), QStringLiteral("SET"));
        QCOMPARE(editor.child<QGroupBox>("Frame2")->title(), QStringLiteral("Question tile"));

        auto *grid = editor.child<QTableView>("DataGrid1");
        const QStringList headers = {"NO.", "Mark", "Answer", "Question tile", "Time limit",
                                     "OptionA", "OptionB", "OptionC", "OptionD", "OptionE", "OptionF"};
        for (int column = 0; column < headers.size(); ++column)
            QCOMPARE(grid->model()->headerData(column, Qt::Horizontal).toString(), headers[column]);
        QCOMPARE(editor.child<QLineEdit>("TextScore")->maxLength(), 3);
        QCOMPARE(editor.child<QLineEdit>("TextTimeLimit")->maxLength(), 3);
        // The options and the title limit typing only, so a longer text from a file stays whole.
        const auto *optionLimit =
            qobject_cast<const TypingLengthLimit *>(editor.child<QLineEdit>("TextItems_2")->validator());
        QVERIFY(optionLimit);
        QCOMPARE(optionLimit->limit(), 100);
        const auto *title = qobject_cast<LengthLimitedTextEdit *>(editor.child<QPlainTextEdit>("TextTitle"));
        QVERIFY(title);
        QCOMPARE(title->limit(), 250);
    }

    void installationTypeAdjustsOptionF_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("optionF");
        QTest::newRow("type 0") << 0 << false;
        QTest::newRow("type 1") << 1 << false;
        QTest::newRow("type 3") << 3 << true;
        QTest::newRow("type 7") << 7 << true;
    }
    void installationTypeAdjustsOptionF()
    {
        QFETCH(int, type);
        QFETCH(bool, optionF);
        StartedEditor editor(TypeInfoRecord::validBytes(std::int16_t(type)));
        QVERIFY(editor.seam.messages.isEmpty());
        QCOMPARE(int(editor.state().installationType()), type);
        QCOMPARE(editor.child<QLabel>("LabItem_5")->isEnabled(), optionF);
        QCOMPARE(editor.child<QLineEdit>("TextItems_5")->isEnabled(), optionF);
        QVERIFY(editor.child<QLineEdit>("TextItems_4")->isEnabled());
        auto *grid = editor.child<QTableView>("DataGrid1");
        QCOMPARE(grid->isColumnHidden(10), !optionF);
        QVERIFY(!grid->isColumnHidden(9));
    }

    void recordFailuresWarnOnceAndGoOn_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("bytes");
        QTest::addColumn<int>("type");
        QTest::newRow("missing") << std::optional<QByteArray>() << 0;
        QTest::newRow("empty") << std::optional<QByteArray>(QByteArray()) << 0;
        QTest::newRow("short") << std::optional<QByteArray>(TypeInfoRecord::validBytes(2).left(40)) << 2;
        QTest::newRow("wrong signature") << std::optional<QByteArray>(withSignature(3, 0x06, 0xB6)) << 3;
    }
    void recordFailuresWarnOnceAndGoOn()
    {
        QFETCH(std::optional<QByteArray>, bytes);
        QFETCH(int, type);
        StartedEditor editor(bytes);
        QCOMPARE(editor.seam.messages.size(), 1);
        const MessageBoxRequest &warning = editor.seam.messages.first();
        QCOMPARE(warning.text, QStringLiteral("Type Information Error!"));
        QCOMPARE(warning.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(warning.icon, QMessageBox::NoIcon);
        QCOMPARE(warning.title, QStringLiteral("Test Paper Editor"));
        QCOMPARE(int(editor.state().installationType()), type);
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("1"));

        const QString path = editor.programFolder.filePath(TypeInfoFileName);
        QVERIFY(QFile::exists(path)); // a missing file is left behind empty
        if (!bytes)
            QCOMPARE(QFileInfo(path).size(), 0);
    }

    void unreadableRecordWarnsAndUsesTypeZero()
    {
        StartedEditor editor(std::nullopt, {}, StartedEditor::TypeInfoPath::Folder);
        QCOMPARE(editor.seam.messageTexts(), QStringList({"Type Information Error!"}));
        QCOMPARE(int(editor.state().installationType()), 0);
        QVERIFY(!editor.child<QLineEdit>("TextItems_5")->isEnabled());
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"

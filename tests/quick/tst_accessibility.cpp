#include "StartedEditor.h"
#include "quick/DialogQuickNew.h"
#include "quick/QuickAnswerSheet.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QTest>
#include <memory>

// What a screen reader is told about the boxes and the answer buttons, read through
// the accessibility interfaces it reads them through.
namespace {
constexpr std::int16_t CheckBoxType = 3;
constexpr std::int16_t ChoiceType = 1;

QAccessibleInterface *accessibleOf(QWidget *widget)
{
    return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

struct Sheet
{
    SharedState state;
    std::unique_ptr<QuickSheetBase> sheet;

    explicit Sheet(std::int16_t type)
    {
        state.typeInfo.installationType = type;
        state.quickQuestionAmount = 250;
        sheet = CreateQuickAnswerSheet(state);
        sheet->show();
    }
    QAbstractButton *box(int k) const
    {
        return sheet->findChild<QAbstractButton *>(QStringLiteral("OptionAnswer_%1").arg(k));
    }
};
} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void panelBoxesAreNamedAfterTheirCaptions_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::newRow("mark") << "TextScore" << "Mark" << QAccessible::EditableText;
        QTest::newRow("answer") << "LabelAnswer" << "Answer" << QAccessible::EditableText;
        QTest::newRow("time limit") << "TextTimeLimit" << "Time limit" << QAccessible::EditableText;
        QTest::newRow("title") << "TextTitle" << "Question tile" << QAccessible::EditableText;
        for (int i = 0; i < 6; ++i) {
            const QString letter(QChar(u'A' + i));
            QTest::addRow("option %s", qPrintable(letter))
                << QStringLiteral("TextItems_%1").arg(i) << QStringLiteral("Option") + letter
                << QAccessible::EditableText;
        }
    }
    void panelBoxesAreNamedAfterTheirCaptions()
    {
        QFETCH(QString, box);
        QFETCH(QString, name);
        QFETCH(QAccessible::Role, role);
        StartedEditor editor;
        QAccessibleInterface *accessible = accessibleOf(editor.child<QWidget>(box));
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), name);
        QCOMPARE(accessible->role(), role);
    }

    void quickNewBoxesAreNamedAfterTheirCaptions()
    {
        SharedState state;
        FakeModalSeam seam;
        DialogQuickNew dialog(state, seam);
        const QList<std::pair<const char *, QString>> boxes = {{"TextQuNo", "Question amount"},
                                                               {"TextScore", "Default score"},
                                                               {"TextTimeLimit", "Default time limit"}};
        for (const auto &[box, name] : boxes) {
            QAccessibleInterface *accessible = accessibleOf(dialog.findChild<QWidget *>(box));
            QVERIFY2(accessible, box);
            QCOMPARE(accessible->text(QAccessible::Name), name);
            QCOMPARE(accessible->role(), QAccessible::EditableText);
        }
    }

    // The page box says what it is and which page shows; each row is named after
    // its question, so its letters are not six bare "A" to "F".
    void sheetsNameThePageAndTheRows_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("check boxes") << int(CheckBoxType);
        QTest::newRow("one choice") << int(ChoiceType);
    }
    void sheetsNameThePageAndTheRows()
    {
        QFETCH(int, type);
        Sheet sheet{std::int16_t(type)};
        QAccessibleInterface *page = accessibleOf(sheet.sheet->findChild<QWidget *>("LabelPage"));
        QVERIFY(page);
        QCOMPARE(page->text(QAccessible::Name), QStringLiteral("Page No."));
        QCOMPARE(page->text(QAccessible::Description), QStringLiteral("1/13"));
        QAccessibleInterface *row = accessibleOf(sheet.sheet->findChild<QWidget *>("FrameItem_2"));
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("Question No. 3"));
        sheet.sheet->CommandDown_Click();
        QCOMPARE(page->text(QAccessible::Description), QStringLiteral("2/13"));
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("Question No. 23"));
    }

    // One choice per question: option buttons, of which the chosen one is checked;
    // any set of letters: check boxes.
    void answerButtonsHaveTheirRole_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<int>("chosen");
        QTest::newRow("one choice") << int(ChoiceType) << QAccessible::RadioButton << 1;
        QTest::newRow("check boxes") << int(CheckBoxType) << QAccessible::CheckBox << 1;
    }
    void answerButtonsHaveTheirRole()
    {
        QFETCH(int, type);
        QFETCH(QAccessible::Role, role);
        QFETCH(int, chosen);
        Sheet sheet{std::int16_t(type)};
        QVERIFY(QTest::qWaitForWindowExposed(sheet.sheet.get()));
        QTest::mouseClick(sheet.box(chosen), Qt::LeftButton);
        for (int j = 0; j < 6; ++j) {
            QAccessibleInterface *button = accessibleOf(sheet.box(j));
            QVERIFY(button);
            QCOMPARE(button->role(), role);
            QVERIFY(button->state().checkable);
            QCOMPARE(bool(button->state().checked), sheet.box(j)->isChecked());
            QCOMPARE(button->text(QAccessible::Name), sheet.box(j)->text());
        }
        QVERIFY(accessibleOf(sheet.box(chosen))->state().checked);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"

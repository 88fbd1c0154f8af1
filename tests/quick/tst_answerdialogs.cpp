#include "AnswerPanel.h"
#include "DlgAnswerSet.h"
#include "DlgAnswerSet17.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTimer>

using Indices = QList<int>;

namespace {
constexpr std::int16_t CheckBoxType = 3;
constexpr std::int16_t OptionButtonType = 0;
const QColor Green(0, 255, 0);
// A button face unlike the window colour, so a cleared box that kept the window's
// colour, or was never filled at all, shows.
const QColor ButtonFace(212, 208, 200);

enum class NumberInk { Red, Black };

// The colour a choice paints at the right end of its rectangle, clear of its
// indicator and caption.
QColor paintedBackground(QWidget *box)
{
    const QImage image = box->grab().toImage();
    return image.pixelColor(image.width() - 2, image.height() / 2);
}

bool hasPixel(const QImage &image, bool (*match)(QColor))
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (match(image.pixelColor(x, y)))
                return true;
        }
    }
    return false;
}
bool isRed(QColor c) { return c.red() > 200 && c.green() < 80 && c.blue() < 80; }
bool isDark(QColor c) { return c.red() < 80 && c.green() < 80 && c.blue() < 80; }
bool isGreen(QColor c) { return c == Green; }

// The colour the number is drawn in, read from what it paints.
std::optional<NumberInk> numberInk(QWidget *dialog)
{
    const QImage image = control<QLabel>(dialog, QStringLiteral("LabelNo"))->grab().toImage();
    const bool red = hasPixel(image, isRed);
    const bool dark = hasPixel(image, isDark);
    if (red == dark)
        return std::nullopt;
    return red ? NumberInk::Red : NumberInk::Black;
}

Indices checkedChoices(QWidget *dialog)
{
    Indices checked;
    for (int i = 0; i < AnswerDialog::ChoiceCount; ++i) {
        if (choice(dialog, i)->isChecked())
            checked.append(i);
    }
    return checked;
}

void clickChoices(QWidget *dialog, const Indices &clicks)
{
    for (int index : clicks)
        QTest::mouseClick(choice(dialog, index), Qt::LeftButton);
}

// What the dialog shows: the chosen letters, and for the check-box dialog the
// colour of every box and of the number; the option-button dialog colours nothing.
void verifyShown(QWidget *dialog, const Indices &checked, NumberInk ink)
{
    QCOMPARE(checkedChoices(dialog), checked);
    if (qobject_cast<DlgAnswerSet *>(dialog)) {
        for (int i = 0; i < AnswerDialog::ChoiceCount; ++i) {
            const QColor expected = checked.contains(i) ? Green : ButtonFace;
            QCOMPARE(paintedBackground(choice(dialog, i)), expected);
        }
        QCOMPARE(numberInk(dialog), std::optional(ink));
    } else {
        QVERIFY(!hasPixel(dialog->grab().toImage(), isGreen));
        QCOMPARE(numberInk(dialog), std::optional(NumberInk::Black));
    }
}
} // namespace

class TestAnswerDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, ButtonFace);
        QApplication::setPalette(palette);
    }

    // Both dialogs opened for an answer, then closed with OK unchanged.
    void opensWithTheAnswer_data()
    {
        QTest::addColumn<std::int16_t>("type");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<Indices>("checked");
        QTest::addColumn<NumberInk>("ink");
        QTest::addColumn<QString>("written");

        const auto check = [](const char *name, const char *answer, Indices checked,
                              NumberInk ink, const char *written) {
            QTest::addRow("check boxes, %s", name)
                << CheckBoxType << QString::fromLatin1(answer) << checked << ink
                << QString::fromLatin1(written);
        };
        check("BD", "BD", {1, 3}, NumberInk::Red, "BD");
        check("AB", "AB", {0, 1}, NumberInk::Red, "AB");
        check("F", "F", {5}, NumberInk::Black, "F");
        check("Uncertain", "Uncertain", {}, NumberInk::Red, "Uncertain");
        check("CA", "CA", {0, 2}, NumberInk::Red, "AC");
        check("all six", "FEDCBA", {0, 1, 2, 3, 4, 5}, NumberInk::Red, "ABCDEF");
        check("untrimmed", " B", {}, NumberInk::Red, "Uncertain");

        const auto option = [](const char *name, const char *answer, int selected,
                               const char *written) {
            QTest::addRow("option buttons, %s", name)
                << OptionButtonType << QString::fromLatin1(answer) << Indices{selected}
                << NumberInk::Black << QString::fromLatin1(written);
        };
        option("BD", "BD", 5, "Uncertain");
        option("AB", "AB", 5, "Uncertain");
        option("F", "F", 5, "Uncertain");
        option("Uncertain", "Uncertain", 5, "Uncertain");
        option("CA", "CA", 5, "Uncertain");
        option("A", "A", 0, "A");
        option("C", "C", 2, "C");
        option("e", "e", 4, "E");
    }
    void opensWithTheAnswer()
    {
        QFETCH(std::int16_t, type);
        QFETCH(QString, answer);
        QFETCH(Indices, checked);
        QFETCH(NumberInk, ink);
        QFETCH(QString, written);

        AnswerPanel panel(type, answer);
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        const auto dialog = panel.openDialog(QStringLiteral("250"));
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(control<QLabel>(dialog.get(), QStringLiteral("LabelNo"))->text(), QStringLiteral("250"));
        verifyShown(dialog.get(), checked, ink);
        if (QTest::currentTestFailed())
            return;
        // Loading leaves the mask holding what the dialog shows.
        QCOMPARE(AnswerMaskToText(panel.state.dialogAnswerMask), written);

        QTest::mouseClick(control(dialog.get(), QStringLiteral("OKButton")), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(panel.LabelAnswer->text(), written);
        QTRY_COMPARE(QApplication::focusWidget(), panel.LabelAnswer);
    }

    // Clicks on the choices, then OK.
    void clicksSetTheAnswer_data()
    {
        QTest::addColumn<std::int16_t>("type");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<Indices>("clicks");
        QTest::addColumn<Indices>("checked");
        QTest::addColumn<NumberInk>("ink");
        QTest::addColumn<AnswerMask>("mask");

        QTest::newRow("check boxes, BD, untick D")
            << CheckBoxType << "BD" << Indices{3} << Indices{1} << NumberInk::Black << AnswerMask(2);
        QTest::newRow("check boxes, BD, untick both")
            << CheckBoxType << "BD" << Indices{1, 3} << Indices{} << NumberInk::Red << AnswerMask(0);
        QTest::newRow("check boxes, F, untick and tick again")
            << CheckBoxType << "F" << Indices{5, 5} << Indices{5} << NumberInk::Black << AnswerMask(32);
        QTest::newRow("check boxes, Uncertain, tick F and A")
            << CheckBoxType << "Uncertain" << Indices{5, 0} << Indices{0, 5} << NumberInk::Red
            << AnswerMask(33);
        QTest::newRow("check boxes, CA, untick A")
            << CheckBoxType << "CA" << Indices{0} << Indices{2} << NumberInk::Black << AnswerMask(4);

        QTest::newRow("option buttons, AB, select C")
            << OptionButtonType << "AB" << Indices{2} << Indices{2} << NumberInk::Black << AnswerMask(4);
        QTest::newRow("option buttons, E, select A")
            << OptionButtonType << "E" << Indices{0} << Indices{0} << NumberInk::Black << AnswerMask(1);
        QTest::newRow("option buttons, C, select Uncertain")
            << OptionButtonType << "C" << Indices{5} << Indices{5} << NumberInk::Black << AnswerMask(0);
        QTest::newRow("option buttons, Uncertain, select E then D")
            << OptionButtonType << "Uncertain" << Indices{4, 3} << Indices{3} << NumberInk::Black
            << AnswerMask(8);
    }
    void clicksSetTheAnswer()
    {
        QFETCH(std::int16_t, type);
        QFETCH(QString, answer);
        QFETCH(Indices, clicks);
        QFETCH(Indices, checked);
        QFETCH(NumberInk, ink);
        QFETCH(AnswerMask, mask);

        AnswerPanel panel(type, answer);
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        const auto dialog = panel.openDialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        clickChoices(dialog.get(), clicks);
        verifyShown(dialog.get(), checked, ink);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(panel.state.dialogAnswerMask, mask);

        QTest::mouseClick(control(dialog.get(), QStringLiteral("OKButton")), Qt::LeftButton);
        QCOMPARE(panel.LabelAnswer->text(), AnswerMaskToText(mask));
        QTRY_COMPARE(QApplication::focusWidget(), panel.LabelAnswer);
    }

    // The answer box gets the focus even when the dialog belongs to no window, or to
    // another window than the box's.
    void okFocusesTheAnswerBoxWhateverTheParent_data()
    {
        QTest::addColumn<bool>("otherWindow");
        QTest::newRow("no parent") << false;
        QTest::newRow("another window") << true;
    }
    void okFocusesTheAnswerBoxWhateverTheParent()
    {
        QFETCH(bool, otherWindow);
        AnswerPanel panel(CheckBoxType, QStringLiteral("A"));
        QWidget other;
        if (otherWindow) {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        } else {
            QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        }
        const auto dialog = panel.openDialog(QStringLiteral("1"), otherWindow ? &other : nullptr);
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QTest::mouseClick(choice(dialog.get(), 4), Qt::LeftButton);
        QTest::mouseClick(control(dialog.get(), QStringLiteral("OKButton")), Qt::LeftButton);
        QCOMPARE(panel.LabelAnswer->text(), QStringLiteral("AE"));
        QTRY_COMPARE(QApplication::focusWidget(), panel.LabelAnswer);
        QVERIFY(panel.window.isActiveWindow());
    }

    // OK holds the focus when a dialog opens and is the default button, so Return
    // anywhere in the dialog is OK.
    void okHoldsTheFocusAndIsTheDefault_data()
    {
        QTest::addColumn<std::int16_t>("type");
        QTest::newRow("check boxes") << CheckBoxType;
        QTest::newRow("option buttons") << OptionButtonType;
    }
    void okHoldsTheFocusAndIsTheDefault()
    {
        QFETCH(std::int16_t, type);
        AnswerPanel panel(type, QStringLiteral("B"));
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        const auto dialog = panel.openDialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Answer Setting"));
        auto *ok = control<QPushButton>(dialog.get(), QStringLiteral("OKButton"));
        QTRY_COMPARE(QApplication::focusWidget(), ok);
        QVERIFY(ok->isDefault());

        QTest::mouseClick(choice(dialog.get(), 0), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), choice(dialog.get(), 0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(panel.LabelAnswer->text(), type == CheckBoxType ? QStringLiteral("AB") : QStringLiteral("A"));
    }

    // Tab goes from OK to Cancel and then through every box; Space ticks the box
    // that has the focus, with the same effect as a click.
    void keyboardReachesEveryBox()
    {
        AnswerPanel panel(CheckBoxType, QStringLiteral("Uncertain"));
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        const auto dialog = panel.openDialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QTRY_COMPARE(QApplication::focusWidget(), control(dialog.get(), QStringLiteral("OKButton")));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(dialog.get(), QStringLiteral("CancelButton")));
        Indices ticked;
        for (int i = 0; i < AnswerDialog::ChoiceCount; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), choice(dialog.get(), i));
            if (i % 2 == 0) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
                ticked.append(i);
            }
        }
        verifyShown(dialog.get(), ticked, NumberInk::Red);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(panel.state.dialogAnswerMask, AnswerMask(0b010101));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(dialog.get(), QStringLiteral("OKButton")));

        // Back to E and untick A, C and E with Space: nothing ticked, "Uncertain".
        for (int i = 4; i >= 0; i -= 2) {
            for (int presses = 0; presses < 2 && QApplication::focusWidget() != choice(dialog.get(), i); ++presses)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget(), choice(dialog.get(), i));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        }
        verifyShown(dialog.get(), {}, NumberInk::Red);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(panel.LabelAnswer->text(), QStringLiteral("Uncertain"));
    }

    // The option buttons are one Tab stop, entered at the selected choice; the
    // arrow keys move the choice.
    void keyboardMovesTheSingleChoice()
    {
        AnswerPanel panel(OptionButtonType, QStringLiteral("D"));
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        const auto dialog = panel.openDialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QTRY_COMPARE(QApplication::focusWidget(), control(dialog.get(), QStringLiteral("OKButton")));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(dialog.get(), QStringLiteral("CancelButton")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), choice(dialog.get(), 3));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(checkedChoices(dialog.get()), Indices{4});
        QCOMPARE(panel.state.dialogAnswerMask, AnswerMask(16));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(checkedChoices(dialog.get()), Indices{5});
        QCOMPARE(panel.state.dialogAnswerMask, AnswerMask(0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
        QCOMPARE(checkedChoices(dialog.get()), Indices{4});

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(dialog.get(), QStringLiteral("OKButton")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), choice(dialog.get(), 4));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(panel.LabelAnswer->text(), QStringLiteral("E"));
    }

    // Every way out other than OK leaves the answer box as it was, and the focus
    // where it was before the dialog opened.
    void closingWithoutOk_data()
    {
        QTest::addColumn<std::int16_t>("type");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<Indices>("clicks");
        QTest::addColumn<QString>("way");

        for (const char *way : {"Cancel", "Escape", "close box"}) {
            QTest::addRow("check boxes, BD, untick D, %s", way)
                << CheckBoxType << "BD" << Indices{3} << QString::fromLatin1(way);
            QTest::addRow("check boxes, Uncertain, tick A, %s", way)
                << CheckBoxType << "Uncertain" << Indices{0} << QString::fromLatin1(way);
            QTest::addRow("option buttons, AB, unchanged, %s", way)
                << OptionButtonType << "AB" << Indices{} << QString::fromLatin1(way);
            QTest::addRow("option buttons, F, select B, %s", way)
                << OptionButtonType << "F" << Indices{1} << QString::fromLatin1(way);
        }
        QTest::newRow("check boxes, CA, unchanged, Cancel")
            << CheckBoxType << "CA" << Indices{} << QStringLiteral("Cancel");
    }
    void closingWithoutOk()
    {
        QFETCH(std::int16_t, type);
        QFETCH(QString, answer);
        QFETCH(Indices, clicks);
        QFETCH(QString, way);

        AnswerPanel panel(type, answer);
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        QCOMPARE(QApplication::focusWidget(), panel.CmdSetAnswer);
        const auto dialog = panel.openDialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        clickChoices(dialog.get(), clicks);

        if (way == QLatin1String("Cancel"))
            QTest::mouseClick(control(dialog.get(), QStringLiteral("CancelButton")), Qt::LeftButton);
        else if (way == QLatin1String("Escape"))
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            QVERIFY(dialog->close());

        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(panel.LabelAnswer->text(), answer);
        QTRY_VERIFY(panel.window.isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), panel.CmdSetAnswer);
    }
};

QTEST_MAIN(TestAnswerDialogs)
#include "tst_answerdialogs.moc"

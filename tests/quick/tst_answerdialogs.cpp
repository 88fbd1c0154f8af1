#include "AnswerPanel.h"
#include "quick/DlgAnswerSet.h"
#include "quick/DlgAnswerSet17.h"

#include <QGroupBox>
#include <QTimer>
#include <functional>
#include <tuple>

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

// What a test saw of a modal dialog while it was open.
struct Seen
{
    bool modal = false;
    QString number;
    Indices checked;
};

// Once exec() has shown a modal dialog, notes what it shows and runs act on it.
// A dialog that act leaves open is rejected, so that exec() always returns.
void whenModalShown(Seen &seen, std::function<void(QDialog *)> act)
{
    QTimer::singleShot(0, [&seen, act] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *open = qobject_cast<QDialog *>(window); open && open->isVisible())
                    open->reject();
            }
            return;
        }
        seen.modal = dialog->isModal();
        seen.number = control<QLabel>(dialog, QStringLiteral("LabelNo"))->text();
        seen.checked = checkedChoices(dialog);
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
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

    // The designed places at 15 twips per pixel, every caption whole inside its
    // control and every choice inside the frame. The check boxes keep their designed
    // top and left but are as tall as their indicator needs.
    void layoutShowsEveryCaption_data()
    {
        QTest::addColumn<std::int16_t>("type");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<Indices>("choiceLefts");
        QTest::addColumn<int>("choiceTop");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QRect>("ok");
        QTest::addColumn<QRect>("cancel");
        QTest::newRow("check boxes")
            << CheckBoxType << QSize(402, 89) << QRect(0, 0, 385, 33)
            << Indices{48, 104, 160, 216, 272, 328} << 13
            << QStringList{"A", "B", "C", "D", "E", "F"} << QRect(80, 48, 81, 25)
            << QRect(224, 48, 81, 25);
        QTest::newRow("option buttons")
            << OptionButtonType << QSize(402, 87) << QRect(8, 0, 385, 33)
            << Indices{48, 96, 144, 199, 253, 304} << 12
            << QStringList{"A", "B", "C", "D", "E", "Uncertain"} << QRect(96, 48, 81, 25)
            << QRect(224, 48, 81, 25);
    }
    void layoutShowsEveryCaption()
    {
        QFETCH(std::int16_t, type);
        QFETCH(QSize, client);
        QFETCH(QRect, frame);
        QFETCH(Indices, choiceLefts);
        QFETCH(int, choiceTop);
        QFETCH(QStringList, captions);
        QFETCH(QRect, ok);
        QFETCH(QRect, cancel);

        AnswerPanel panel(type, QStringLiteral("ABCDEF"));
        // The longest question number.
        const auto dialog = panel.openDialog(QStringLiteral("250"));
        QCOMPARE(dialog->size(), client);
        QCOMPARE(dialog->minimumSize(), client);
        QCOMPARE(dialog->maximumSize(), client);
        auto *frameItem = control<QGroupBox>(dialog.get(), QStringLiteral("FrameItem_0"));
        QCOMPARE(frameItem->geometry(), frame);
        QCOMPARE(frameItem->title(), QString());

        auto *number = control<QLabel>(dialog.get(), QStringLiteral("LabelNo"));
        QCOMPARE(number->parentWidget(), frameItem);
        QCOMPARE(number->pos(), QPoint(16, 13));
        QVERIFY(number->width() >= number->sizeHint().width());
        QVERIFY(number->height() >= number->sizeHint().height());
        QVERIFY(number->geometry().right() < choiceLefts.first());

        QRect previous;
        for (int i = 0; i < AnswerDialog::ChoiceCount; ++i) {
            QAbstractButton *box = choice(dialog.get(), i);
            QCOMPARE(box->text(), captions[i]);
            QCOMPARE(box->parentWidget(), frameItem);
            QCOMPARE(box->pos(), QPoint(choiceLefts[i], choiceTop));
            QVERIFY2(box->width() >= box->sizeHint().width() && box->height() >= box->sizeHint().height(),
                     qPrintable(captions[i]));
            QVERIFY2(frameItem->rect().contains(box->geometry()), qPrintable(captions[i]));
            QVERIFY2(!box->geometry().intersects(previous), qPrintable(captions[i]));
            previous = box->geometry();
        }

        for (auto [name, rect, caption] : {std::tuple{"OKButton", ok, "OK"},
                                           std::tuple{"CancelButton", cancel, "Cancel"}}) {
            auto *button = control<QPushButton>(dialog.get(), QString::fromLatin1(name));
            QCOMPARE(button->geometry(), rect);
            QCOMPARE(button->text(), QString::fromLatin1(caption));
            QVERIFY(button->width() >= button->sizeHint().width());
            QVERIFY(dialog->rect().contains(button->geometry()));
        }
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

    // The installation type picks the dialog; types 2, 3 and 4 tick letters.
    void variantByInstallationType_data()
    {
        QTest::addColumn<std::int16_t>("type");
        QTest::addColumn<QString>("variant");
        for (std::int16_t type : {2, 3, 4})
            QTest::addRow("type %d", type) << type << QStringLiteral("DlgAnswerSet");
        for (std::int16_t type : {-1, 0, 1, 5, 7, 17})
            QTest::addRow("type %d", type) << type << QStringLiteral("DlgAnswerSet17");
    }
    void variantByInstallationType()
    {
        QFETCH(std::int16_t, type);
        QFETCH(QString, variant);
        AnswerPanel panel(type, QStringLiteral("C"));
        panel.fillMask();
        const auto dialog = CreateAnswerDialog(panel.state, panel.LabelAnswer, QStringLiteral("12"),
                                               &panel.window);
        QCOMPARE(QString::fromLatin1(dialog->metaObject()->className()), variant);
        QCOMPARE(dialog->parentWidget(), &panel.window);
        QCOMPARE(control<QLabel>(dialog.get(), QStringLiteral("LabelNo"))->text(), QStringLiteral("12"));
        QCOMPARE(checkedChoices(dialog.get()), Indices{2});
    }

    // ShowAnswerDialog runs the dialog modally; each showing loads afresh from the
    // mask that the caller fills from the answer box.
    void showAnswerDialogRunsModally_data()
    {
        QTest::addColumn<std::int16_t>("type");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<Indices>("checked");
        QTest::addColumn<Indices>("clicks");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("written");
        QTest::addColumn<Indices>("checkedNextTime");

        QTest::newRow("type 3, BD, untick D, OK")
            << std::int16_t(3) << "BD" << Indices{1, 3} << Indices{3} << true << "B" << Indices{1};
        QTest::newRow("type 3, BD, untick D, Cancel")
            << std::int16_t(3) << "BD" << Indices{1, 3} << Indices{3} << false << "BD" << Indices{1, 3};
        QTest::newRow("type 2, CA, tick F, OK")
            << std::int16_t(2) << "CA" << Indices{0, 2} << Indices{5} << true << "ACF" << Indices{0, 2, 5};
        QTest::newRow("type 0, AB, select C, OK")
            << std::int16_t(0) << "AB" << Indices{5} << Indices{2} << true << "C" << Indices{2};
        QTest::newRow("type 0, AB, select C, Cancel")
            << std::int16_t(0) << "AB" << Indices{5} << Indices{2} << false << "AB" << Indices{5};
        QTest::newRow("type 7, F, OK")
            << std::int16_t(7) << "F" << Indices{5} << Indices{} << true << "Uncertain" << Indices{5};
        QTest::newRow("type 1, B, select Uncertain, Cancel")
            << std::int16_t(1) << "B" << Indices{1} << Indices{5} << false << "B" << Indices{1};
    }
    void showAnswerDialogRunsModally()
    {
        QFETCH(std::int16_t, type);
        QFETCH(QString, answer);
        QFETCH(Indices, checked);
        QFETCH(Indices, clicks);
        QFETCH(bool, ok);
        QFETCH(QString, written);
        QFETCH(Indices, checkedNextTime);

        AnswerPanel panel(type, answer);
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        QCOMPARE(QApplication::focusWidget(), panel.CmdSetAnswer);

        Seen seen;
        whenModalShown(seen, [&](QDialog *dialog) {
            clickChoices(dialog, clicks);
            const char *button = ok ? "OKButton" : "CancelButton";
            QTest::mouseClick(control(dialog, QString::fromLatin1(button)), Qt::LeftButton);
        });
        panel.fillMask();
        QCOMPARE(ShowAnswerDialog(panel.state, panel.LabelAnswer, QStringLiteral("3"), &panel.window), ok);
        QVERIFY(seen.modal);
        QCOMPARE(seen.number, QStringLiteral("3"));
        QCOMPARE(seen.checked, checked);
        QCOMPARE(panel.LabelAnswer->text(), written);
        if (ok) {
            QTRY_COMPARE(QApplication::focusWidget(), panel.LabelAnswer);
        } else {
            // Offscreen there is no window manager to hand the activation back once
            // exec() returns; do what it does, then see where the panel's focus is.
            panel.window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&panel.window));
            QCOMPARE(QApplication::focusWidget(), panel.CmdSetAnswer);
        }

        // The next showing starts from the answer box again.
        Seen next;
        whenModalShown(next, [](QDialog *dialog) { dialog->reject(); });
        panel.fillMask();
        QVERIFY(!ShowAnswerDialog(panel.state, panel.LabelAnswer, QStringLiteral("3"), &panel.window));
        QCOMPARE(next.checked, checkedNextTime);
    }
};

QTEST_MAIN(TestAnswerDialogs)
#include "tst_answerdialogs.moc"

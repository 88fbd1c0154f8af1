#include "FakeModalSeam.h"
#include "core/SharedState.h"
#include "editor/DlgCausion.h"
#include "quick/DialogQuickNew.h"
#include "quick/AnswerDialog.h"
#include "quick/QuickAnswerSheet.h"
#include "quick/ShowAnswerDialog.h"
#include "widgets/DesignMetrics.h"
#include "widgets/FittedDialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <memory>

// Every fixed-size form on the screen this run was given. CTest runs it once on the
// offscreen platform's own screen and once for each screen size and scale factor
// (PAPEREDIT_TEST_SCREEN names the size the configuration file gives, QT_SCALE_FACTOR
// the factor). PAPEREDIT_SCREENSHOTS, when set, names a folder for a grab of each form.
namespace {
enum class Form { QuickNew, CheckBoxSheet, ChoiceSheet, CheckBoxAnswer, ChoiceAnswer, SavePrompt };

constexpr std::int16_t CheckBoxType = 3;
constexpr std::int16_t ChoiceType = 1;

// What each form's design makes of its client area, in twips.
QSize designPixels(Form form)
{
    const auto pixels = [](int width, int height) { return TwipsToPixels(QRectF(0, 0, width, height)).size(); };
    switch (form) {
    case Form::QuickNew: return pixels(5070, 3465);
    case Form::CheckBoxSheet: return pixels(7530, 10305);
    case Form::ChoiceSheet: return pixels(7545, 10260);
    case Form::CheckBoxAnswer: return pixels(6030, 1335);
    case Form::ChoiceAnswer: return pixels(6030, 1305);
    case Form::SavePrompt: return pixels(5055, 2280);
    }
    return {};
}

// One form, made the way its caller makes it.
struct OpenForm
{
    SharedState state;
    FakeModalSeam seam;
    QLineEdit answerBox;
    std::unique_ptr<FittedDialog> dialog;

    explicit OpenForm(Form form)
    {
        state.quickQuestionAmount = 250; // every row of the first page shown
        state.typeInfo.installationType = ChoiceType;
        switch (form) {
        case Form::QuickNew:
            dialog = std::make_unique<DialogQuickNew>(state, seam);
            break;
        case Form::CheckBoxSheet:
            state.typeInfo.installationType = CheckBoxType;
            dialog = CreateQuickAnswerSheet(state);
            break;
        case Form::ChoiceSheet:
            dialog = CreateQuickAnswerSheet(state);
            break;
        case Form::CheckBoxAnswer:
            state.typeInfo.installationType = CheckBoxType;
            dialog = CreateAnswerDialog(state, &answerBox, QStringLiteral("12"), nullptr);
            break;
        case Form::ChoiceAnswer:
            dialog = CreateAnswerDialog(state, &answerBox, QStringLiteral("12"), nullptr);
            break;
        case Form::SavePrompt:
            dialog = std::make_unique<DlgCausion>(state, [] {});
            break;
        }
    }
};

QString describe(const QRect &rect)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

QString controlName(const QWidget *control)
{
    return control->objectName().isEmpty() ? QString::fromLatin1(control->metaObject()->className())
                                            : control->objectName();
}

// Whether a click at the control's middle reaches the control.
bool reachable(QWidget *control, QWidget *window)
{
    const QPoint middle = control->mapTo(window, control->rect().center());
    QWidget *hit = window->childAt(middle);
    return hit == control || control->isAncestorOf(hit);
}

void saveScreenshot(QWidget *dialog, const QString &formName)
{
    const QString folder = qEnvironmentVariable("PAPEREDIT_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const QString screen = qEnvironmentVariable("PAPEREDIT_TEST_SCREEN", QStringLiteral("default"));
    const QString factor = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    QString name = formName + QLatin1Char('-') + screen + QStringLiteral("-x") + factor + QStringLiteral(".png");
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.\\-]")), QStringLiteral("_"));
    dialog->grab().save(QDir(folder).filePath(name));
}
} // namespace

class TestScreenFit : public QObject
{
    Q_OBJECT
private slots:
    // A run that did not get the screen it asked for would check nothing it claims to.
    void screenIsTheOneAskedFor()
    {
        const QString asked = qEnvironmentVariable("PAPEREDIT_TEST_SCREEN");
        if (asked.isEmpty())
            QSKIP("No screen asked for (PAPEREDIT_TEST_SCREEN unset): the forms are checked on the platform's own screen");
        const QStringList sides = asked.split(QLatin1Char('x'));
        QCOMPARE(sides.size(), 2);
        const QSize pixels(sides[0].toInt(), sides[1].toInt());
        const double factor = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
        QScreen *screen = QGuiApplication::primaryScreen();
        QVERIFY2(screen, "no screen at all");
        const QSizeF devicePixels = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
        QVERIFY2(qAbs(devicePixels.width() - pixels.width()) < factor
                     && qAbs(devicePixels.height() - pixels.height()) < factor,
                 qPrintable(QStringLiteral("asked for a %1 screen at scale %2, got %3 at scale %4 (is the "
                                           "offscreen platform given its configuration file?)")
                                .arg(asked)
                                .arg(factor)
                                .arg(describe(screen->geometry()))
                                .arg(screen->devicePixelRatio())));
        QCOMPARE(screen->devicePixelRatio(), factor);
    }

    void formsFitTheAvailableArea_data()
    {
        QTest::addColumn<Form>("form");
        QTest::newRow("quick-new dialog") << Form::QuickNew;
        QTest::newRow("sheet with check boxes") << Form::CheckBoxSheet;
        QTest::newRow("sheet with one choice") << Form::ChoiceSheet;
        QTest::newRow("answer dialog with check boxes") << Form::CheckBoxAnswer;
        QTest::newRow("answer dialog with one choice") << Form::ChoiceAnswer;
        QTest::newRow("save prompt") << Form::SavePrompt;
    }
    void formsFitTheAvailableArea()
    {
        QFETCH(Form, form);
        OpenForm open(form);
        FittedDialog *dialog = open.dialog.get();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        saveScreenshot(dialog, QString::fromLatin1(QTest::currentDataTag()));

        const QRect available = dialog->screen()->availableGeometry();
        QVERIFY2(available.contains(dialog->frameGeometry()),
                 qPrintable(describe(dialog->frameGeometry()) + " outside " + describe(available)));
        int controls = 0;
        for (QWidget *control : dialog->findChildren<QWidget *>()) {
            if (!control->isVisibleTo(dialog))
                continue;
            ++controls;
            const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
            QVERIFY2(available.contains(onScreen),
                     qPrintable(controlName(control) + describe(onScreen) + " outside " + describe(available)));
            if (qobject_cast<QAbstractButton *>(control) || qobject_cast<QLineEdit *>(control))
                QVERIFY2(reachable(control, dialog), qPrintable(controlName(control) + " is covered"));
        }
        QVERIFY(controls > 0);

        // Scaled by the proportional rule, or exactly as designed where it fits.
        const QSize design = designPixels(form);
        const QMargins frame = dialog->windowHandle()->frameMargins();
        const LayoutScale expected = FittedDialog::scaleToFit(design, frame, available.size());
        QCOMPARE(dialog->fitScale().ScaleX, expected.ScaleX);
        QCOMPARE(dialog->fitScale().ScaleY, expected.ScaleY);
        if (expected.keepsDesign()) {
            QCOMPARE(dialog->size(), design);
            QCOMPARE(dialog->font().pointSizeF(), 8.25);
        } else {
            QVERIFY(qAbs(dialog->width() - design.width() * expected.ScaleX) <= 1);
            QVERIFY(qAbs(dialog->height() - design.height() * expected.ScaleY) <= 1);
            QVERIFY(qAbs(dialog->font().pointSizeF() - 8.25 * expected.ScaleMin) < 0.01);
        }
    }

    // The last box of the last row answers a real click wherever the sheet had to go.
    void lastQuestionOfThePageTakesAClick_data()
    {
        QTest::addColumn<Form>("form");
        QTest::addColumn<int>("answer");
        QTest::newRow("check boxes: F") << Form::CheckBoxSheet << int(1u << 5);
        QTest::newRow("one choice: E") << Form::ChoiceSheet << int(1u << 4);
    }
    void lastQuestionOfThePageTakesAClick()
    {
        QFETCH(Form, form);
        QFETCH(int, answer);
        OpenForm open(form);
        open.dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(open.dialog.get()));
        const int letter = answer == (1 << 5) ? 5 : 4;
        auto *box = open.dialog->findChild<QAbstractButton *>(QStringLiteral("OptionAnswer_%1").arg(6 * 19 + letter));
        QVERIFY(box);
        const QPoint middle = box->mapTo(open.dialog.get(), box->rect().center());
        QTest::mouseClick(open.dialog->windowHandle(), Qt::LeftButton, {}, middle);
        QCOMPARE(int(open.state.QuickAnswers[19].answer), answer);
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"

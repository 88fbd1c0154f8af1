#include "AnswerPanel.h"
#include "quick/QuickAnswerSheet.h"
#include "widgets/ColourContrast.h"

#include <QApplication>
#include <QCheckBox>
#include <QHash>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <memory>

// Under a dark desktop palette, every control whose background or text colour the
// design fixes must still be readable: at least 3:1 between its text and background,
// both in the colours it was given and in what it paints.
namespace {
constexpr double LeastContrast = 3.0;
constexpr std::int16_t CheckBoxType = 3;
constexpr std::int16_t ChoiceType = 1;

// The dark palette a desktop theme gives: light text on dark faces.
QPalette darkPalette()
{
    QPalette palette;
    const QColor face(53, 53, 53);
    const QColor light(255, 255, 255);
    const QColor disabled(127, 127, 127);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::WindowText, light);
    palette.setColor(QPalette::Base, QColor(42, 42, 42));
    palette.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    palette.setColor(QPalette::Text, light);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::ButtonText, light);
    palette.setColor(QPalette::BrightText, Qt::red);
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    palette.setColor(QPalette::Light, QColor(80, 80, 80));
    palette.setColor(QPalette::Midlight, QColor(66, 66, 66));
    palette.setColor(QPalette::Mid, QColor(40, 40, 40));
    palette.setColor(QPalette::Dark, QColor(30, 30, 30));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

// Where a control writes its caption.
QRect textArea(QWidget *control)
{
    QStyleOptionButton option;
    option.initFrom(control);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        option.text = button->text();
    if (qobject_cast<QCheckBox *>(control))
        return control->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, control);
    if (qobject_cast<QRadioButton *>(control))
        return control->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, control);
    return control->contentsRect();
}

// The contrast the painted text reaches: the commonest colour of the text area is its
// background, the pixel furthest from it the core of a glyph.
double paintedContrast(QWidget *control)
{
    const QImage image = control->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const QRectF area = QRectF(textArea(control));
    const QRect pixels = QRect(qRound(area.left() * ratio), qRound(area.top() * ratio),
                               qRound(area.width() * ratio), qRound(area.height() * ratio))
                             .intersected(image.rect());
    QHash<QRgb, int> counts;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, ContrastRatio(QColor(it.key()), QColor(background)));
    return best;
}

double givenContrast(QWidget *control)
{
    const QPalette palette = control->palette();
    return ContrastRatio(palette.color(control->foregroundRole()), palette.color(control->backgroundRole()));
}

struct Sheet
{
    SharedState state;
    std::unique_ptr<QuickSheetBase> sheet;

    explicit Sheet(std::int16_t type)
    {
        state.typeInfo.installationType = type;
        state.quickQuestionAmount = 20;
        sheet = CreateQuickAnswerSheet(state);
        sheet->show();
    }
    QWidget *control(const QString &name) const { return sheet->findChild<QWidget *>(name); }
    void click(int k) const
    {
        QTest::mouseClick(sheet->findChild<QAbstractButton *>(QStringLiteral("OptionAnswer_%1").arg(k)),
                          Qt::LeftButton);
    }
};
} // namespace

class TestDarkPalette : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setPalette(darkPalette());
        QVERIFY(QApplication::palette().color(QPalette::WindowText).lightness() > 200);
    }

    // Row 0 left as it opens, row 1 answered: each colour the design fixes shows once.
    void sheetsStayReadable_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("control");
        QTest::newRow("page number") << int(CheckBoxType) << "LabelPage";
        QTest::newRow("red number") << int(CheckBoxType) << "LabelNo_0";
        QTest::newRow("black number") << int(CheckBoxType) << "LabelNo_1";
        QTest::newRow("green box") << int(CheckBoxType) << "OptionAnswer_7";
        QTest::newRow("cleared box") << int(CheckBoxType) << "OptionAnswer_6";
        QTest::newRow("one choice: page number") << int(ChoiceType) << "LabelPage";
        QTest::newRow("one choice: red Uncertain") << int(ChoiceType) << "OptionAnswer_5";
        QTest::newRow("one choice: green B") << int(ChoiceType) << "OptionAnswer_7";
        QTest::newRow("one choice: other letter") << int(ChoiceType) << "OptionAnswer_6";
    }
    void sheetsStayReadable()
    {
        QFETCH(int, type);
        QFETCH(QString, control);
        Sheet sheet{std::int16_t(type)};
        QVERIFY(QTest::qWaitForWindowExposed(sheet.sheet.get()));
        sheet.click(7); // question 2: B
        QWidget *widget = sheet.control(control);
        QVERIFY(widget);
        QVERIFY2(givenContrast(widget) >= LeastContrast, qPrintable(QString::number(givenContrast(widget))));
        QVERIFY2(paintedContrast(widget) >= LeastContrast, qPrintable(QString::number(paintedContrast(widget))));
    }

    void answerDialogStaysReadable_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("control");
        QTest::newRow("red number") << "BD" << "LabelNo";
        QTest::newRow("black number") << "B" << "LabelNo";
        QTest::newRow("green box") << "B" << "OptionAnswer_1";
        QTest::newRow("cleared box") << "B" << "OptionAnswer_0";
    }
    void answerDialogStaysReadable()
    {
        QFETCH(QString, answer);
        QFETCH(QString, control);
        AnswerPanel panel(CheckBoxType, answer);
        panel.state.dialogAnswerMask = AnswerTextToMask(answer);
        const std::unique_ptr<AnswerDialog> dialog =
            CreateAnswerDialog(panel.state, panel.LabelAnswer, QStringLiteral("12"), &panel.window);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        auto *widget = dialog->findChild<QWidget *>(control);
        QVERIFY(widget);
        QVERIFY2(givenContrast(widget) >= LeastContrast, qPrintable(QString::number(givenContrast(widget))));
        QVERIFY2(paintedContrast(widget) >= LeastContrast, qPrintable(QString::number(paintedContrast(widget))));
    }
};

QTEST_MAIN(TestDarkPalette)
#include "tst_darkpalette.moc"

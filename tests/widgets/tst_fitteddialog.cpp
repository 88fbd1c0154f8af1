#include "widgets/FittedDialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {
constexpr float Tolerance = 1e-5f;

// A form of fixed controls wider than the offscreen platform's 800 x 800 screen.
struct WideForm
{
    FittedDialog dialog;
    QGroupBox *frame = new QGroupBox(&dialog);
    QPushButton *button = new QPushButton(QStringLiteral("Press"), frame);
    QLineEdit *box = new QLineEdit(&dialog);

    WideForm()
    {
        QFont font = dialog.font();
        font.setPointSizeF(10);
        dialog.setFont(font);
        dialog.setFixedSize(1000, 400);
        frame->setGeometry(100, 50, 800, 300);
        button->setGeometry(10, 20, 200, 100);
        QFont bold = button->font();
        bold.setPointSizeF(12);
        bold.setBold(true);
        button->setFont(bold);
        box->setGeometry(900, 350, 90, 40);
    }
};
} // namespace

class TestFittedDialog : public QObject
{
    Q_OBJECT
private slots:
    void scaleToFit_data()
    {
        QTest::addColumn<QSize>("design");
        QTest::addColumn<QSize>("available");
        QTest::addColumn<float>("scaleX");
        QTest::addColumn<float>("scaleY");
        QTest::addColumn<float>("scaleMin");
        const QSize sheet(502, 687);
        QTest::newRow("fits") << sheet << QSize(1920, 1080) << 1.0f << 1.0f << 1.0f;
        QTest::newRow("fits to the pixel") << sheet << QSize(506, 691) << 1.0f << 1.0f << 1.0f;
        const float tall = 536.0f / 687.0f;
        QTest::newRow("too tall only") << sheet << QSize(960, 540) << 1.0f << tall << tall;
        QTest::newRow("too tall and too wide") << sheet << QSize(455, 256) << 451.0f / 502.0f
                                               << 252.0f / 687.0f << 252.0f / 687.0f;
        QTest::newRow("too wide only") << QSize(800, 100) << QSize(640, 480) << 636.0f / 800.0f << 1.0f
                                       << 636.0f / 800.0f;
    }
    void scaleToFit()
    {
        QFETCH(QSize, design);
        QFETCH(QSize, available);
        QFETCH(float, scaleX);
        QFETCH(float, scaleY);
        QFETCH(float, scaleMin);
        const LayoutScale scale = FittedDialog::scaleToFit(design, QMargins(2, 2, 2, 2), available);
        QVERIFY(qAbs(scale.ScaleX - scaleX) < Tolerance);
        QVERIFY(qAbs(scale.ScaleY - scaleY) < Tolerance);
        QVERIFY(qAbs(scale.ScaleMin - scaleMin) < Tolerance);
    }

    // Positions and sizes by the two factors, fonts by the smaller, from the design
    // at every showing: a second showing does not shrink the form again.
    void tooWideFormIsScaledOnceFromItsDesign()
    {
        WideForm form;
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(available.size(), QSize(800, 800)); // the offscreen platform's own screen
        for (int showing = 1; showing <= 2; ++showing) {
            form.dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form.dialog));
            const QMargins frame = form.dialog.windowHandle()->frameMargins();
            const float x = float(800 - frame.left() - frame.right()) / 1000.0f;
            QVERIFY(qAbs(form.dialog.fitScale().ScaleX - x) < Tolerance);
            QCOMPARE(form.dialog.fitScale().ScaleY, 1.0f);
            QCOMPARE(form.dialog.size(), QSize(qRound(1000 * x), 400));
            QCOMPARE(form.frame->geometry(), QRect(qRound(100 * x), 50, qRound(800 * x), 300));
            QCOMPARE(form.button->geometry().left(), qRound(10 * x));
            QCOMPARE(form.button->geometry().top(), 20);
            QCOMPARE(form.button->geometry().height(), 100);
            QVERIFY(qAbs(form.button->font().pointSizeF() - 12 * x) < 0.01);
            QVERIFY(form.button->font().bold());
            QVERIFY(qAbs(form.box->font().pointSizeF() - 10 * x) < 0.01);
            QVERIFY(available.contains(form.dialog.frameGeometry()));
            form.dialog.hide();
        }
    }

    void formThatFitsIsLeftAsDesigned()
    {
        WideForm form;
        form.dialog.setFixedSize(700, 400);
        form.box->setGeometry(600, 350, 90, 40);
        form.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form.dialog));
        QVERIFY(form.dialog.fitScale().keepsDesign());
        QCOMPARE(form.dialog.size(), QSize(700, 400));
        QCOMPARE(form.button->geometry(), QRect(10, 20, 200, 100));
        QCOMPARE(form.button->font().pointSizeF(), 12.0);
        QCOMPARE(form.box->font().pointSizeF(), 10.0);
    }
};

QTEST_MAIN(TestFittedDialog)
#include "tst_fitteddialog.moc"

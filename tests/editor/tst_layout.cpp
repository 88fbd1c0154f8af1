#include "editor/FormPaperLayout.h"
#include "StartedEditor.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTest>

namespace {
constexpr double Tolerance = 1e-3;

ScreenMetrics screenOf(int width, int height, double dpi = 96)
{
    ScreenMetrics screen;
    screen.pixels = QSize(width, height);
    screen.logicalDpi = dpi;
    return screen;
}

// The scaled reference rectangle of a control, in twips.
QRectF scaledTwips(const QString &name, const LayoutScale &scale)
{
    for (const ReferencePlacement &placement : FormPaperReferenceLayout()) {
        if (placement.objectName == name)
            return placement.scaled(scale);
    }
    return {};
}

// What a control paints, in window coordinates: the ink of a plain label's text,
// the whole widget otherwise.
QRect visibleArea(QWidget *widget, QWidget *window)
{
    const QPoint origin = widget->mapTo(window, QPoint(0, 0));
    auto *label = qobject_cast<QLabel *>(widget);
    if (!label || label->frameShape() != QFrame::NoFrame)
        return QRect(origin, widget->size());
    const QFontMetrics metrics = label->fontMetrics();
    const QRect text = QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
                                           QSize(metrics.horizontalAdvance(label->text()), label->height()),
                                           label->contentsRect());
    const QRect ink = metrics.tightBoundingRect(label->text());
    return QRect(origin.x() + text.left() + ink.left(), origin.y(), ink.width(), label->height())
           & QRect(origin, widget->size());
}
} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private slots:
    void scaleFactors_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("scaleX");
        QTest::addColumn<double>("scaleY");
        QTest::addColumn<double>("scaleMin");
        QTest::newRow("1024x768") << QSize(1024, 768) << 96.0 << 1.0 << 1.0 << 1.0;
        QTest::newRow("800x600") << QSize(800, 600) << 96.0 << 0.78125 << 0.78125 << 0.78125;
        QTest::newRow("1280x1024") << QSize(1280, 1024) << 96.0 << 1.25 << 4.0 / 3.0 << 1.25;
        QTest::newRow("1366x768") << QSize(1366, 768) << 96.0 << 1366.0 / 1024.0 << 1.0 << 1.0;
        QTest::newRow("1024x768 at 120 dpi") << QSize(1024, 768) << 120.0 << 0.8 << 0.8 << 0.8;
    }
    void scaleFactors()
    {
        QFETCH(QSize, pixels);
        QFETCH(double, dpi);
        QFETCH(double, scaleX);
        QFETCH(double, scaleY);
        QFETCH(double, scaleMin);
        StartedEditor editor(TypeInfoRecord::validBytes(3), screenOf(pixels.width(), pixels.height(), dpi));
        const LayoutScale &scale = editor.form().scale();
        QVERIFY(qAbs(scale.ScaleX - scaleX) < Tolerance);
        QVERIFY(qAbs(scale.ScaleY - scaleY) < Tolerance);
        QVERIFY(qAbs(scale.ScaleMin - scaleMin) < Tolerance);
        // The window covers the screen.
        QCOMPARE(editor.form().size(), pixels);
    }

    void referencePositions()
    {
        const LayoutScale unit = LayoutScale::forScreen(screenOf(1024, 768));
        QCOMPARE(scaledTwips("CommandTools_10", unit).left(), 8850.0);
        QCOMPARE(scaledTwips("DataGrid1", unit).top(), 2760.0);

        const LayoutScale small = LayoutScale::forScreen(screenOf(800, 600));
        QVERIFY(qAbs(scaledTwips("FrameTools", small).width() - 11729.7) < 0.1);
        QCOMPARE(scaledTwips("FrameTools", small).top(), 0.0);
        QCOMPARE(scaledTwips("CommandTools_9", small).left(), 6250.0);
        QCOMPARE(scaledTwips("TextTitle", small).left(), 0.0);

        const LayoutScale tall = LayoutScale::forScreen(screenOf(1280, 1024));
        const QRectF down = scaledTwips("CommandTools_8", tall);
        QCOMPARE(down.left(), 8750.0);
        QCOMPARE(down.right(), 9812.5);
        QCOMPARE(scaledTwips("CommandTools_9", tall).left(), 10000.0);
        QCOMPARE(scaledTwips("FrameTools", tall).top(), 0.0);
    }

    void widgetsFollowTheScaledLayout_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("1024x768") << QSize(1024, 768);
        QTest::newRow("800x600") << QSize(800, 600);
        QTest::newRow("1280x1024") << QSize(1280, 1024);
        QTest::newRow("1366x768") << QSize(1366, 768);
    }
    void widgetsFollowTheScaledLayout()
    {
        QFETCH(QSize, pixels);
        const ScreenMetrics screen = screenOf(pixels.width(), pixels.height());
        StartedEditor editor(TypeInfoRecord::validBytes(3), screen);
        const LayoutScale &scale = editor.form().scale();
        for (const ReferencePlacement &placement : FormPaperReferenceLayout()) {
            auto *widget = editor.child<QWidget>(placement.objectName);
            QVERIFY2(widget, qPrintable(placement.objectName));
            const QRectF expected = placement.scaled(scale);
            const QRect actual = widget->geometry();
            QVERIFY2(qAbs(actual.x() - expected.left() / 15) <= 0.5
                         && qAbs(actual.y() - expected.top() / 15) <= 0.5
                         && qAbs(actual.width() - expected.width() / 15) <= 0.5
                         && qAbs(actual.height() - expected.height() / 15) <= 0.5,
                     qPrintable(placement.objectName));
        }
        auto *grid = editor.child<QTableView>("DataGrid1");
        QCOMPARE(grid->columnWidth(0), qRound(1155 * scale.ScaleX / 15));
        QCOMPARE(grid->columnWidth(8), qRound(1050 * scale.ScaleX / 15));
        QCOMPARE(grid->columnWidth(9), qRound(1110 / 15.0)); // the last two keep their design widths
        QCOMPARE(grid->columnWidth(10), qRound(1095 / 15.0));
    }

    void fontsScaleByTheSmallerFactor_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<double>("factor");
        QTest::newRow("800x600") << QSize(800, 600) << 0.78125;
        QTest::newRow("1280x1024") << QSize(1280, 1024) << 1.25;
        QTest::newRow("1366x768") << QSize(1366, 768) << 1.0;
    }
    void fontsScaleByTheSmallerFactor()
    {
        QFETCH(QSize, pixels);
        QFETCH(double, factor);
        StartedEditor reference;
        StartedEditor editor(TypeInfoRecord::validBytes(3), screenOf(pixels.width(), pixels.height()));
        const QStringList names = {"Label1", "Label4", "LabScoreCount", "TextScore", "CommandTools_3",
                                   "Frame1", "DataGrid1", "TextTitle", "LabItem_5"};
        for (const QString &name : names) {
            const double design = reference.child<QWidget>(name)->font().pointSizeF();
            const double scaled = editor.child<QWidget>(name)->font().pointSizeF();
            QVERIFY2(qAbs(scaled - design * factor) < 0.01, qPrintable(name));
        }
        QCOMPARE(reference.child<QWidget>("Label1")->font().pointSizeF(), 10.5);
        QCOMPARE(reference.child<QWidget>("LabNoCount")->font().pointSizeF(), 9.75);
        auto *header = editor.child<QTableView>("DataGrid1")->horizontalHeader();
        QVERIFY(qAbs(header->font().pointSizeF() - 8.25 * factor) < 0.01);
    }

    void nothingOverlapsOrIsCutOff_data()
    {
        widgetsFollowTheScaledLayout_data();
    }
    void nothingOverlapsOrIsCutOff()
    {
        QFETCH(QSize, pixels);
        StartedEditor editor(TypeInfoRecord::validBytes(3), screenOf(pixels.width(), pixels.height()));
        QWidget *window = &editor.form();
        QList<QWidget *> leaves;
        for (const ReferencePlacement &placement : FormPaperReferenceLayout()) {
            auto *widget = editor.child<QWidget>(placement.objectName);
            if (!widget->inherits("QGroupBox"))
                leaves << widget;
            // Every control lies inside its container.
            const QRect inParent = widget->geometry();
            QVERIFY2(widget->parentWidget()->rect().adjusted(0, 0, 1, 1).contains(inParent),
                     qPrintable(placement.objectName));
            // Every caption fits its control.
            if (auto *button = qobject_cast<QPushButton *>(widget))
                QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 4,
                         qPrintable(placement.objectName));
            if (auto *label = qobject_cast<QLabel *>(widget)) {
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(placement.objectName));
                QVERIFY2(label->fontMetrics().ascent() <= label->height(), qPrintable(placement.objectName));
            }
        }
        for (int i = 0; i < leaves.size(); ++i) {
            for (int j = i + 1; j < leaves.size(); ++j) {
                const QRect overlap = visibleArea(leaves[i], window) & visibleArea(leaves[j], window);
                QVERIFY2(overlap.isEmpty() || (overlap.width() <= 1 || overlap.height() <= 1),
                         qPrintable(leaves[i]->objectName() + " overlaps " + leaves[j]->objectName()));
            }
        }
    }

    void maximizedWindowIsNotLaidOut()
    {
        StartedEditor editor;
        FormPaper &form = editor.form();
        const QRect before = editor.child<QWidget>("DataGrid1")->geometry();
        form.setWindowState(Qt::WindowMaximized);
        form.Form_LoadPro();
        QCOMPARE(editor.child<QWidget>("DataGrid1")->geometry(), before);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"

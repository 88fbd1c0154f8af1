// The toolbar's pictures and keys, and the panel's tab order.
#include "widgets/DataNavigator.h"
#include "PaperFixture.h"
#include "widgets/PictureButton.h"

#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

namespace {
// Pixels of clearly coloured ink: the pictures' accents, never the grey of a bare button.
int colouredPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)).hsvSaturation() > 90)
                ++count;
    return count;
}

QStringList titlesOf(StartedEditor &editor)
{
    return titles(*editor.form().questionTable());
}
} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    // Every button draws its picture, at the reference size and on a twice as large screen.
    void toolbarButtonsShowTheirPictures_data()
    {
        QTest::addColumn<double>("scale");
        QTest::newRow("reference screen") << 1.0;
        QTest::newRow("twice as large") << 2.0;
    }
    void toolbarButtonsShowTheirPictures()
    {
        QFETCH(double, scale);
        StartedEditor editor;
        for (int i = 0; i < FormPaper::ToolbarButtonCount; ++i) {
            auto *button = editor.child<PictureButton>(QStringLiteral("CommandTools_%1").arg(i));
            QVERIFY2(button && button->hasPicture(), qPrintable(QString::number(i)));
            button->resize((QSizeF(button->size()) * scale).toSize());
            const QImage image = button->grab().toImage();
            QVERIFY2(colouredPixels(image) > 20 * scale * scale, qPrintable(button->text()));
        }
    }

    // Each key runs its command while the user is typing in a box of the panel.
    void keysRunTheirCommands_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QStringList>("titles");   // the paper afterwards
        QTest::addColumn<QString>("dialogTitle");  // the file dialog it opens, if any
        const QStringList three = {"Q1", "Q2", "Q3"};
        QTest::newRow("Ctrl+Shift+A adds")
            << QKeySequence("Ctrl+Shift+A") << QStringList{"Q1", "Q2", "Q3", ""} << QString();
        QTest::newRow("Ctrl+Shift+D deletes")
            << QKeySequence("Ctrl+Shift+D") << QStringList{"Q1", "Q3"} << QString();
        QTest::newRow("Alt+Up moves up")
            << QKeySequence("Alt+Up") << QStringList{"Q2", "Q1", "Q3"} << QString();
        QTest::newRow("Alt+Down moves down")
            << QKeySequence("Alt+Down") << QStringList{"Q1", "Q3", "Q2"} << QString();
        QTest::newRow("Ctrl+O opens") << QKeySequence(QKeySequence::Open) << three
                                      << "Please choose a file (test paper) to open";
        QTest::newRow("Ctrl+S saves") << QKeySequence(QKeySequence::Save) << three
                                      << "Select the file name that you want to save";
        QTest::newRow("Ctrl+I imports") << QKeySequence("Ctrl+I") << three
                                        << "Please select the file should be imported.";
        QTest::newRow("Ctrl+E exports") << QKeySequence("Ctrl+E") << three
                                        << "Select the file name that you want to save";
    }
    void keysRunTheirCommands()
    {
        QFETCH(QKeySequence, key);
        QFETCH(QStringList, titles);
        QFETCH(QString, dialogTitle);
        StartedEditor editor;
        fillPaper(editor, 3);
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveNext()); // on Q2
        QVERIFY(activate(editor));
        auto *box = editor.child<QLineEdit>("TextItems_0");
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());

        QTest::keySequence(box, key);
        QCOMPARE(titlesOf(editor), titles);
        QCOMPARE(editor.seam.fileDialogs.size(), dialogTitle.isEmpty() ? 0 : 1);
        if (!dialogTitle.isEmpty())
            QCOMPARE(editor.seam.fileDialogs.first().title, dialogTitle);
        QCOMPARE(box->text(), QString()); // the key was not typed into the box
    }

    void ctrlQClosesTheWindow()
    {
        StartedEditor editor;
        QVERIFY(activate(editor));
        auto *title = editor.child<QPlainTextEdit>("TextTitle");
        title->setFocus();
        QTRY_VERIFY(title->hasFocus());
        QTest::keySequence(title, QKeySequence("Ctrl+Q"));
        QTRY_VERIFY(!editor.form().isVisible());
    }

    // Tab follows the panel's layout: the left column down to the title, then the options.
    void tabWalksThePanelAsItIsLaidOut()
    {
        StartedEditor editor;
        QVERIFY(activate(editor));
        auto *mark = editor.child<QLineEdit>("TextScore");
        mark->setFocus();
        QTRY_VERIFY(mark->hasFocus());
        const QStringList expected = {"LabelAnswer", "CmdSetAnswer", "TextTimeLimit", "TextTitle",
                                      "TextItems_0", "TextItems_1", "TextItems_2", "TextItems_3",
                                      "TextItems_4", "TextItems_5", "DataGrid1"};
        QStringList walked;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, expected);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"

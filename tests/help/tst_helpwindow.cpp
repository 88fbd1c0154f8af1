// The HELP button: the editor's own help window on paperedit.chm from the program's
// folder, and silence when that file cannot be shown.
#include "widgets/HelpBrowser.h"
#include "widgets/HelpWindow.h"
#include "StartedEditor.h"

#include <QApplication>
#include <QDesktopServices>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>

namespace {
const QString HelpFileName = QStringLiteral("paperedit.chm");

QByteArray builtHelpFile()
{
    QFile file(QStringLiteral(HELP_FILE));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void placeHelpFile(StartedEditor &editor, const QByteArray &bytes)
{
    QFile file(editor.programFolder.filePath(HelpFileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void pressHelp(StartedEditor &editor)
{
    auto *help = editor.child<QPushButton>(QStringLiteral("CommandTools_10"));
    QVERIFY(help);
    QCOMPARE(help->text(), QStringLiteral("HELP"));
    help->click();
}

QList<QWidget *> visibleWindowsBesides(const QWidget *mainWindow)
{
    QList<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget != mainWindow && widget->isVisible())
            windows.append(widget);
    }
    return windows;
}

int helpWindowCount()
{
    int count = 0;
    for (QWidget *widget : QApplication::allWidgets())
        count += qobject_cast<HelpWindow *>(widget) != nullptr;
    return count;
}

const QUrl IndexPage(QStringLiteral("help:/index.html"));

// Clicks the link whose text is given, where the page shows it.
bool clickLink(HelpBrowser *browser, const QString &linkText)
{
    const QTextCursor found = browser->document()->find(linkText);
    if (found.isNull() || !found.charFormat().isAnchor())
        return false;
    QTextCursor middle = found;
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    browser->setTextCursor(middle);
    browser->ensureCursorVisible();
    const QPoint at = browser->cursorRect(middle).center();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    return true;
}

// Records the addresses the program hands to the desktop.
class DesktopUrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};
} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        // Each editor takes its help window with it.
        QCOMPARE(helpWindowCount(), 0);
    }

    void quietWhenTheFileCannotBeShown_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QByteArray garbage(8192, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 31 + 7) % 253);
        QTest::newRow("missing") << "missing" << QByteArray();
        QTest::newRow("empty") << "file" << QByteArray();
        QTest::newRow("garbage") << "file" << garbage;
        QTest::newRow("cut short") << "file" << builtHelpFile().left(1024);
        QTest::newRow("a folder of that name") << "folder" << QByteArray();
    }

    void quietWhenTheFileCannotBeShown()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        StartedEditor editor;
        if (kind == QLatin1String("file"))
            placeHelpFile(editor, bytes);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(editor.programFolder.path()).mkdir(HelpFileName));

        pressHelp(editor);
        pressHelp(editor);
        QVERIFY(editor.seam.messages.isEmpty());
        QVERIFY(!HelpWindow::of(&editor.form()));
        QCOMPARE(visibleWindowsBesides(&editor.form()), QList<QWidget *>());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(editor.form().isVisible());
    }

    void opensOnTheDefaultTopic()
    {
        StartedEditor editor;
        placeHelpFile(editor, builtHelpFile());
        pressHelp(editor);

        HelpWindow *window = HelpWindow::of(&editor.form());
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(window->isWindow());
        QVERIFY(!window->isModal());
        QCOMPARE(window->windowTitle(), QStringLiteral("Test Paper Editor Help"));
        QCOMPARE(visibleWindowsBesides(&editor.form()), QList<QWidget *>{window});
        QVERIFY(editor.seam.messages.isEmpty());

        HelpBrowser *browser = window->browser();
        QCOMPARE(browser->source(), IndexPage);
        QCOMPARE(browser->documentTitle(), QStringLiteral("Test Paper Editor"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("multiple-choice test papers")));

        // The stylesheet came out of the file: the heading has its colour.
        QTextBlock heading = browser->document()->begin();
        while (heading.isValid() && heading.text() != QStringLiteral("Test Paper Editor"))
            heading = heading.next();
        QVERIFY(heading.isValid());
        QCOMPARE(heading.begin().fragment().charFormat().foreground().color(),
                 QColor(QStringLiteral("#23507a")));

        // So did the picture of the window.
        const QVariant picture = browser->document()->resource(QTextDocument::ImageResource,
                                                                QUrl(QStringLiteral("window.png")));
        QSize pictureSize;
        if (picture.userType() == QMetaType::QByteArray)
            pictureSize = QImage::fromData(picture.toByteArray()).size();
        else if (picture.userType() == QMetaType::QPixmap)
            pictureSize = picture.value<QPixmap>().size();
        else if (picture.userType() == QMetaType::QImage)
            pictureSize = picture.value<QImage>().size();
        QCOMPARE(pictureSize, QSize(500, 115));

        // The window stays on the screen it opens on.
        const QRect screen = window->screen()->availableGeometry();
        QVERIFY(screen.contains(window->frameGeometry()));
    }

    void helpAgainKeepsOneWindowOnTheDefaultTopic()
    {
        StartedEditor editor;
        placeHelpFile(editor, builtHelpFile());
        pressHelp(editor);
        HelpWindow *window = HelpWindow::of(&editor.form());
        QVERIFY(window);
        QVERIFY(window->browser()->showTopic(QUrl(QStringLiteral("help:/messages.html"))));

        pressHelp(editor);
        QCOMPARE(HelpWindow::of(&editor.form()), window);
        QCOMPARE(helpWindowCount(), 1);
        QCOMPARE(window->browser()->source(), IndexPage);

        // Closed, it comes back on the next HELP.
        window->close();
        QVERIFY(!window->isVisible());
        pressHelp(editor);
        QCOMPARE(HelpWindow::of(&editor.form()), window);
        QVERIFY(window->isVisible());
        QCOMPARE(helpWindowCount(), 1);
        QVERIFY(editor.seam.messages.isEmpty());
    }

    void linksContentsAndHistory()
    {
        StartedEditor editor;
        placeHelpFile(editor, builtHelpFile());
        pressHelp(editor);
        HelpWindow *window = HelpWindow::of(&editor.form());
        QVERIFY(window);
        HelpBrowser *browser = window->browser();
        auto *back = window->findChild<QToolButton *>(QStringLiteral("HelpBack"));
        auto *forward = window->findChild<QToolButton *>(QStringLiteral("HelpForward"));
        auto *home = window->findChild<QToolButton *>(QStringLiteral("HelpHome"));
        auto *contents = window->findChild<QTreeWidget *>(QStringLiteral("HelpContents"));
        QVERIFY(back && forward && home && contents);
        QVERIFY(contents->isVisible());
        QVERIFY(!back->isEnabled());
        QCOMPARE(contents->currentItem()->text(0), QStringLiteral("Test Paper Editor"));

        // A link of the page.
        QVERIFY(clickLink(browser, QStringLiteral("What each message means")));
        QTRY_COMPARE(browser->source(), QUrl(QStringLiteral("help:/messages.html")));
        QCOMPARE(browser->documentTitle(), QStringLiteral("What each message means"));
        QCOMPARE(contents->currentItem()->text(0), QStringLiteral("What each message means"));

        // An entry of the contents.
        const QList<QTreeWidgetItem *> items =
            contents->findItems(QStringLiteral("Editing questions"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                          contents->visualItemRect(items.first()).center());
        QCOMPARE(browser->source(), QUrl(QStringLiteral("help:/editing.html")));
        QCOMPARE(browser->documentTitle(), QStringLiteral("Editing questions"));

        QVERIFY(back->isEnabled());
        back->click();
        QCOMPARE(browser->source(), QUrl(QStringLiteral("help:/messages.html")));
        QVERIFY(forward->isEnabled());
        forward->click();
        QCOMPARE(browser->source(), QUrl(QStringLiteral("help:/editing.html")));
        home->click();
        QCOMPARE(browser->source(), IndexPage);
        QVERIFY(editor.seam.messages.isEmpty());
    }

    // Only pages of the help file are shown in the window; other sites go to the
    // desktop, and anything else is left alone.
    void linksLeavingTheFile()
    {
        StartedEditor editor;
        placeHelpFile(editor, builtHelpFile());
        pressHelp(editor);
        HelpBrowser *browser = HelpWindow::of(&editor.form())->browser();
        DesktopUrlSink sink;
        for (const char *scheme : {"https", "file", "ftp"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &sink, "open");

        emit browser->anchorClicked(QUrl(QStringLiteral("https://example.org/guide")));
        emit browser->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
        emit browser->anchorClicked(QUrl(QStringLiteral("ftp://example.org/x")));
        emit browser->anchorClicked(QUrl(QStringLiteral("help:/no-such-page.html")));

        for (const char *scheme : {"https", "file", "ftp"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        QCOMPARE(sink.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/guide"))});
        QCOMPARE(browser->source(), IndexPage);
        QCOMPARE(browser->documentTitle(), QStringLiteral("Test Paper Editor"));
        // Nothing outside the file is loaded into the page either.
        QVERIFY(!browser->loadResource(QTextDocument::ImageResource,
                                       QUrl::fromLocalFile(QStringLiteral(HELP_FILE))).isValid());
    }

    // The help window belongs to the editor: closing the editor's window still ends
    // the program while help is open.
    void closingTheEditorIsNotHeldUpByHelp()
    {
        StartedEditor editor;
        placeHelpFile(editor, builtHelpFile());
        pressHelp(editor);
        QVERIFY(HelpWindow::of(&editor.form())->isVisible());
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        // The application looks for its last window only while its event loop runs.
        QObject loop;
        QMetaObject::invokeMethod(&loop, [&] {
            QVERIFY(editor.form().close());
            QMetaObject::invokeMethod(&loop, [] { QCoreApplication::exit(); }, Qt::QueuedConnection);
        }, Qt::QueuedConnection);
        QCoreApplication::exec();
        QCOMPARE(lastWindowClosed.count(), 1);
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"

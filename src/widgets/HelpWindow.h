#pragma once

#include <QWidget>
#include <memory>

class HelpArchive;
class HelpBrowser;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The editor's own help window: the pages of a compiled help file with Back, Forward
// and Contents buttons and the file's table of contents at the side. Not modal.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    // Shows the default topic of the help file at path in the owner's help window,
    // opening one when the owner has none yet. Quiet: a file that is missing or
    // cannot be read shows nothing, and the result is false.
    static bool showDefaultTopic(QWidget *owner, const QString &path);
    // The owner's help window, or null.
    static HelpWindow *of(QWidget *owner);

    ~HelpWindow() override;
    HelpBrowser *browser() const { return browser_; }

private:
    HelpWindow(std::unique_ptr<HelpArchive> archive, QWidget *owner);
    bool goHome();
    void fillContents();
    void selectContentsEntry(const QUrl &page);
    void placeOver(QWidget *owner);
    // The frame is known only once the window is shown: pull it back if it sticks out.
    void keepOnScreen();

    std::unique_ptr<HelpArchive> archive_;
    HelpBrowser *browser_ = nullptr;
    QTreeWidget *contents_ = nullptr;
    QSplitter *splitter_ = nullptr;
    QToolButton *back_ = nullptr;
    QToolButton *forward_ = nullptr;
    QToolButton *home_ = nullptr;
};

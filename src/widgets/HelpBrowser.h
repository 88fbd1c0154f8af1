#pragma once

#include <QTextBrowser>

class HelpArchive;

// Shows the pages of a help file: every page, stylesheet and image comes out of the
// file itself; links to other sites go to the desktop's browser.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    // Pages inside the help file are addressed as help:/page.html.
    static inline const QString Scheme = QStringLiteral("help");
    // The address of an object path such as "/index.html" or "/index.html#part".
    static QUrl topicUrl(const QString &objectPath);

    explicit HelpBrowser(const HelpArchive &archive, QWidget *parent = nullptr);

    // Shows a page of the file; false, and the current page stays, when the file
    // does not hold it.
    bool showTopic(const QUrl &url);
    QVariant loadResource(int type, const QUrl &name) override;

protected:
    void doSetSource(const QUrl &url, QTextDocument::ResourceType type) override;

private:
    void followLink(const QUrl &url);

    const HelpArchive &archive_;
    // The page that relative names are read against; source() names the new page
    // only once it has been loaded, too late for its stylesheet.
    QUrl page_;
};

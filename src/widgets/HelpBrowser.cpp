#include "widgets/HelpBrowser.h"

#include "help/HelpArchive.h"

#include <QDesktopServices>

QUrl HelpBrowser::topicUrl(const QString &objectPath)
{
    const qsizetype hash = objectPath.indexOf(u'#');
    QString path = hash < 0 ? objectPath : objectPath.left(hash);
    if (!path.startsWith(u'/'))
        path.prepend(u'/');
    QUrl url;
    url.setScheme(Scheme);
    url.setPath(path);
    if (hash >= 0)
        url.setFragment(objectPath.mid(hash + 1));
    return url;
}

HelpBrowser::HelpBrowser(const HelpArchive &archive, QWidget *parent)
    : QTextBrowser(parent), archive_(archive)
{
    setObjectName(QStringLiteral("HelpBrowser"));
    // Links are followed here, so nothing outside the file is ever loaded into the view.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

bool HelpBrowser::showTopic(const QUrl &url)
{
    if (url.scheme() != Scheme || !archive_.contains(url.path()))
        return false;
    setSource(url, QTextDocument::HtmlResource);
    return true;
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    const QUrl url = name.isRelative() ? page_.resolved(name) : name;
    if (url.scheme() != Scheme)
        return {};
    const std::optional<QByteArray> bytes = archive_.read(url.path());
    if (!bytes)
        return {};
    if (type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(*bytes);
    return *bytes;
}

void HelpBrowser::doSetSource(const QUrl &url, QTextDocument::ResourceType type)
{
    page_ = url;
    QTextBrowser::doSetSource(url, type);
    page_ = source();
}

void HelpBrowser::followLink(const QUrl &url)
{
    if (url.scheme() == Scheme) {
        showTopic(url);
        return;
    }
    static const QStringList external = {QStringLiteral("http"), QStringLiteral("https"),
                                         QStringLiteral("mailto")};
    if (external.contains(url.scheme()))
        QDesktopServices::openUrl(url);
}

#include "help/HelpContents.h"

#include <QRegularExpression>

namespace {
QString decodeEntities(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

QString attribute(const QString &attributes, const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(([A-Za-z]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    for (auto it = pattern.globalMatch(attributes); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(1).compare(name, Qt::CaseInsensitive) == 0)
            return decodeEntities(match.captured(2) + match.captured(3) + match.captured(4));
    }
    return {};
}
} // namespace

QList<HelpContentsEntry> ParseHelpContents(const QByteArray &sitemap)
{
    static const QRegularExpression tag(QStringLiteral(R"re(<\s*(/?)\s*(ul|object|param)\b([^>]*)>)re"),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<HelpContentsEntry> entries;
    int depth = 0;
    bool inItem = false;
    HelpContentsEntry item;
    const QString text = QString::fromUtf8(sitemap);
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const bool closing = !match.captured(1).isEmpty();
        const QString name = match.captured(2).toLower();
        const QString attributes = match.captured(3);
        if (name == QLatin1String("ul")) {
            depth = closing ? std::max(0, depth - 1) : depth + 1;
        } else if (name == QLatin1String("object")) {
            if (!closing && attribute(attributes, QStringLiteral("type")).compare(
                                QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0) {
                inItem = true;
                item = HelpContentsEntry{{}, {}, std::max(0, depth - 1)};
            } else if (closing && inItem) {
                inItem = false;
                if (!item.name.isEmpty())
                    entries.append(item);
            }
        } else if (inItem && !closing) {
            const QString param = attribute(attributes, QStringLiteral("name"));
            const QString value = attribute(attributes, QStringLiteral("value"));
            if (param.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
                item.name = value;
            else if (param.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0)
                item.local = value;
        }
    }
    return entries;
}

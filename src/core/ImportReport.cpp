#include "core/ImportReport.h"

namespace {
const QString WarningLead = QStringLiteral("Warning: ");
const QString ChangesLead = QStringLiteral("Changed by the import's rules:");
} // namespace

QString ImportReport::text(int mostChanges) const
{
    QStringList paragraphs{summary};
    for (const QString &warning : warnings)
        paragraphs << WarningLead + warning;
    if (!changes.isEmpty()) {
        QStringList listed = changes.mid(0, mostChanges);
        if (changes.size() > listed.size())
            listed << QStringLiteral("and %1 more").arg(changes.size() - listed.size());
        paragraphs << ChangesLead + u'\n' + listed.join(u'\n');
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}

QStringList ImportReport::lines() const
{
    QStringList lines = summary.isEmpty() ? QStringList() : summary.split(u'\n');
    for (const QString &warning : warnings)
        lines << WarningLead + warning;
    if (!changes.isEmpty())
        lines << ChangesLead;
    lines << changes;
    return lines;
}

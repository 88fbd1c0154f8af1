#include "widgets/AccessibleCaption.h"

#include <QWidget>

void NameAfterCaption(QWidget *box, const QString &caption)
{
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    box->setAccessibleName(name.trimmed());
}

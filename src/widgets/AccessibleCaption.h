#pragma once

#include <QString>

class QWidget;

// Gives a box the caption shown beside it as its accessible name, so a screen reader
// says what the box holds rather than only "edit". A closing colon is left out.
void NameAfterCaption(QWidget *box, const QString &caption);

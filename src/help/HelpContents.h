#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One line of a help file's table of contents.
struct HelpContentsEntry
{
    QString name;  // the caption shown
    QString local; // the page it opens, as written in the file ("editing.html")
    int depth = 0; // 0 for the outermost list
};

// Reads a table of contents (.hhc sitemap): nested <UL> lists of
// <OBJECT type="text/sitemap"> items with "Name" and "Local" parameters.
QList<HelpContentsEntry> ParseHelpContents(const QByteArray &sitemap);

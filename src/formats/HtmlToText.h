#pragma once

#include <QString>
#include <QStringView>

// What an HTML fragment of a question says, as plain text: paragraphs and <br> become
// line breaks, runs of spaces one space, entities their characters; every other tag is
// dropped, and so are pictures, which are counted for the reader to say so.
struct HtmlText
{
    QString text;
    int pictures = 0;
};

HtmlText HtmlToText(QStringView html);

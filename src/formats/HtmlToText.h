#pragma once

#include <QString>
#include <QStringView>

// What an HTML fragment of a question says, as plain text: paragraphs and <br> become
// line breaks, runs of spaces one space, entities their characters; every other tag is
// dropped, and so are pictures, which are counted for the reader to say so. GIFT's [html]
// texts are written by people and read as a browser shows them, spaces run together;
// the XML formats keep their white space (HtmlText.h), as our own writers put the
// teacher's text into their markup exactly.
struct HtmlText
{
    QString text;
    int pictures = 0;
};

HtmlText HtmlToText(QStringView html);

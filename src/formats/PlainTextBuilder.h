#pragma once

#include <QString>
#include <QStringView>

// Puts a question's text together from the pieces of its markup (HTML in Moodle XML, the
// XHTML of a QTI item body) as the paper's plain text. A run of white space that holds a
// line break is the file's layout, not the text: it reads as one space between words and
// as nothing at the edges of a line. Other white space is kept as it is, so that a text
// our own writers put into markup reads back exactly.
class PlainTextBuilder
{
public:
    void text(QStringView characters);
    // <br>: a line break of the text itself.
    void lineBreak();
    // Where a paragraph, a division or the like starts or ends: the text goes on in a new
    // line, unless it is at the start of one already.
    void blockBoundary();

    QString finish();

private:
    void put(QChar c);

    QString out_;
    bool pendingSpace_ = false;
    bool pendingLine_ = false;
};

#include "formats/PlainTextBuilder.h"

namespace {
bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}
bool atLineStart(const QString &out)
{
    return out.isEmpty() || out.back() == u'\n';
}
} // namespace

void PlainTextBuilder::put(QChar c)
{
    if (pendingLine_) {
        if (!atLineStart(out_))
            out_ += u'\n';
        pendingLine_ = false;
        pendingSpace_ = false;
    }
    if (pendingSpace_) {
        if (!atLineStart(out_))
            out_ += u' ';
        pendingSpace_ = false;
    }
    out_ += c;
}

void PlainTextBuilder::text(QStringView characters)
{
    const qsizetype size = characters.size();
    for (qsizetype i = 0; i < size;) {
        if (!isSpace(characters[i])) {
            put(characters[i++]);
            continue;
        }
        qsizetype end = i;
        bool layout = false;
        while (end < size && isSpace(characters[end])) {
            layout = layout || characters[end] == u'\n' || characters[end] == u'\r';
            ++end;
        }
        if (layout) {
            pendingSpace_ = true;
        } else {
            for (; i < end; ++i)
                put(characters[i]);
        }
        i = end;
    }
}

void PlainTextBuilder::lineBreak()
{
    pendingSpace_ = false;
    pendingLine_ = false;
    out_ += u'\n';
}

void PlainTextBuilder::blockBoundary()
{
    pendingSpace_ = false;
    pendingLine_ = true;
}

QString PlainTextBuilder::finish()
{
    pendingSpace_ = false;
    pendingLine_ = false;
    QString text = std::move(out_);
    out_.clear();
    return text;
}

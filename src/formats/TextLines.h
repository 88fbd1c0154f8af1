#pragma once

#include <QStringView>

// The lines of a text file, one at a time, each trimmed and numbered from 1. A line ends
// at LF, CR LF or CR; the text after the last line break is a line too (empty when the
// text ends with one), so a reader sees where the last question ends.
class TextLines
{
public:
    explicit TextLines(QStringView text) : text_(text) {}

    // The next line, or false past the last.
    bool next(QStringView &line)
    {
        if (at_ > text_.size())
            return false;
        qsizetype end = at_;
        while (end < text_.size() && text_[end] != u'\n' && text_[end] != u'\r')
            ++end;
        line = text_.mid(at_, end - at_).trimmed();
        ++number_;
        at_ = (end + 1 < text_.size() && text_[end] == u'\r' && text_[end + 1] == u'\n') ? end + 2 : end + 1;
        return true;
    }
    // The number of the line next() gave last.
    int number() const { return number_; }

private:
    QStringView text_;
    qsizetype at_ = 0;
    int number_ = 0;
};

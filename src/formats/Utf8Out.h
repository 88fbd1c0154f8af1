#pragma once
// Writing UTF-8 straight into a QByteArray, for the writers of the text formats. The
// paper's texts are UTF-16; building each one's escaped form as a QString and converting
// the whole to UTF-8 afterwards costs several times the writing of the bytes themselves.

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <cstring>

namespace utf8out {

// Room for at most `most` more bytes at the end of a QByteArray: write through at(),
// and on destruction the array keeps exactly the bytes written.
class Room
{
public:
    Room(QByteArray &out, qsizetype most) : out_(out), start_(out.size())
    {
        // Grown by half again at least, so that many small texts are not each a copy of
        // all before them.
        if (start_ + most > out_.capacity())
            out_.reserve(qMax(start_ + most, out_.capacity() + out_.capacity() / 2));
        out_.resize(start_ + most);
        begin_ = out_.data();
        at_ = begin_ + start_;
    }
    ~Room() { out_.resize(at_ - begin_); }
    Room(const Room &) = delete;
    Room &operator=(const Room &) = delete;

    char *&at() { return at_; }

private:
    QByteArray &out_;
    qsizetype start_;
    char *begin_;
    char *at_;
};

// The most bytes one UTF-16 unit can become: three (a character below U+10000; a
// surrogate pair is four bytes for two units).
inline constexpr qsizetype BytesPerUnit = 3;

// Writes the code point c as UTF-8 at p, returning the end.
inline char *put(char *p, char32_t c)
{
    if (c < 0x80) {
        *p++ = char(c);
    } else if (c < 0x800) {
        *p++ = char(0xC0 | (c >> 6));
        *p++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = char(0xE0 | (c >> 12));
        *p++ = char(0x80 | ((c >> 6) & 0x3F));
        *p++ = char(0x80 | (c & 0x3F));
    } else {
        *p++ = char(0xF0 | (c >> 18));
        *p++ = char(0x80 | ((c >> 12) & 0x3F));
        *p++ = char(0x80 | ((c >> 6) & 0x3F));
        *p++ = char(0x80 | (c & 0x3F));
    }
    return p;
}

// Writes bytes as they are at p, returning the end.
inline char *put(char *p, QByteArrayView bytes)
{
    std::memcpy(p, bytes.data(), std::size_t(bytes.size()));
    return p + bytes.size();
}

// The code point at text[i], a surrogate pair read as one (and i moved onto its second
// half); an unpaired surrogate is returned as it is, for the caller to refuse.
inline char32_t codePointAt(QStringView text, qsizetype &i)
{
    const char16_t u = text[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
        return QChar::surrogateToUcs4(u, text[++i].unicode());
    return u;
}

} // namespace utf8out

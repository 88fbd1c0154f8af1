#include "core/FileNameBytes.h"

#include "core/Utf8Check.h"

#include <QDir>

#include <cstdlib>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr char16_t FirstEscape = 0xDC80; // stands for the byte 0x80
constexpr char16_t LastEscape = 0xDCFF;  // for 0xFF

// The byte the character at `at` stands for, or -1 when it is text. A low surrogate
// that ends a pair is text: U+1F480 is the pair D83D DC80.
int escapedByteAt(QStringView name, qsizetype at)
{
    const char16_t c = name[at].unicode();
    if (c < FirstEscape || c > LastEscape || (at > 0 && name[at - 1].isHighSurrogate()))
        return -1;
    return c - 0xDC00;
}

QString currentFolder()
{
#ifdef Q_OS_UNIX
    // getcwd sizes the buffer itself when given none.
    if (char *folder = ::getcwd(nullptr, 0)) {
        const QString name = FileNameOfBytes(QByteArrayView(folder));
        std::free(folder);
        return name;
    }
#endif
    return QDir::currentPath();
}
} // namespace

QByteArray FileNameBytes(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype plainFrom = 0;
    for (qsizetype at = 0; at < name.size(); ++at) {
        const int byte = escapedByteAt(name, at);
        if (byte < 0)
            continue;
        bytes += QStringView(name).sliced(plainFrom, at - plainFrom).toUtf8();
        bytes += char(byte);
        plainFrom = at + 1;
    }
    bytes += QStringView(name).sliced(plainFrom).toUtf8();
    return bytes;
}

QString FileNameOfBytes(QByteArrayView bytes)
{
    QString name;
    qsizetype plainFrom = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = Utf8SequenceLength(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(plainFrom, at - plainFrom));
        name += QChar(char16_t(0xDC00 + uchar(bytes[at])));
        plainFrom = ++at;
    }
    name += QString::fromUtf8(bytes.sliced(plainFrom));
    return name;
}

bool HoldsNonUtf8Bytes(const QString &name)
{
    for (qsizetype at = 0; at < name.size(); ++at)
        if (escapedByteAt(name, at) >= 0)
            return true;
    return false;
}

QString ReadableFileName(const QString &name)
{
    return HoldsNonUtf8Bytes(name) ? EscapedNonUtf8(FileNameBytes(name)) : name;
}

QString AbsoluteFileName(const QString &path)
{
    if (path.isEmpty())
        return path;
    const QString whole = QDir::isAbsolutePath(path) ? path : currentFolder() + u'/' + path;
    return QDir::cleanPath(whole);
}

QString FolderOfFileName(const QString &absolutePath)
{
    const qsizetype slash = absolutePath.lastIndexOf(u'/');
    if (slash <= 0)
        return QStringLiteral("/");
    return absolutePath.left(slash);
}

QString LastPartOfFileName(const QString &path)
{
    return path.sliced(path.lastIndexOf(u'/') + 1);
}

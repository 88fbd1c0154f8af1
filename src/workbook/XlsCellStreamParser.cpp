#include "workbook/XlsCellStreamParser.h"

#include "xlsscan/XlsCellStream.h"

#include <QStringDecoder>

#include <cmath>
#include <cstring>

namespace {

// Reads little-endian fields from the front of the stream; every read is bounds-checked.
class StreamCursor
{
public:
    explicit StreamCursor(const QByteArray &bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_pos == m_bytes.size(); }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }

    bool readByte(char &value)
    {
        if (remaining() < 1)
            return false;
        value = m_bytes[m_pos++];
        return true;
    }

    bool readU32(quint32 &value)
    {
        if (remaining() < 4)
            return false;
        value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | quint8(m_bytes[m_pos + i]);
        m_pos += 4;
        return true;
    }

    bool readDouble(double &value)
    {
        quint32 low, high;
        if (!readU32(low) || !readU32(high))
            return false;
        const quint64 bits = (quint64(high) << 32) | low;
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }

    bool readBytes(qsizetype count, QByteArray &value)
    {
        if (count < 0 || remaining() < count)
            return false;
        value = m_bytes.mid(m_pos, count);
        m_pos += count;
        return true;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

bool decodeUtf8(const QByteArray &utf8, QString &text)
{
    // A leading U+FEFF is part of the cell's text, not a byte-order mark to drop.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                     | QStringDecoder::Flag::ConvertInitialBom);
    text = decoder.decode(utf8);
    return !decoder.hasError();
}

} // namespace

Result<SheetGrid> ParseXlsCellStream(const QByteArray &bytes, SheetReadLimits limits)
{
    StreamCursor in(bytes);
    QByteArray magic;
    if (!in.readBytes(qsizetype(XlsCellStream::Magic.size()), magic)
        || magic != QByteArrayView(XlsCellStream::Magic.data(),
                                   qsizetype(XlsCellStream::Magic.size())))
        return FileError(QStringLiteral("the stream does not start with the cell-stream header"));

    quint32 rowCount, columnCount;
    if (!in.readU32(rowCount) || !in.readU32(columnCount))
        return FileError(QStringLiteral("the header is cut short"));
    if (rowCount > quint32(qMax(limits.rows, 0)) || columnCount > quint32(qMax(limits.columns, 0)))
        return FileError(QStringLiteral("the grid is larger than asked for"));

    SheetGrid grid{int(rowCount), int(columnCount)};
    quint64 previous = 0; // row-major position of the last cell, 0 before the first
    quint32 cellCount = 0;
    bool nameMayFollow = true;
    for (;;) {
        char tag;
        if (!in.readByte(tag))
            return FileError(QStringLiteral("the stream ends without its end record"));
        if (tag == XlsCellStream::NameTag && nameMayFollow) {
            nameMayFollow = false;
            quint32 length;
            QByteArray utf8;
            if (!in.readU32(length) || length > XlsCellStream::MaxNameBytes
                || !in.readBytes(qsizetype(length), utf8))
                return FileError(QStringLiteral("the sheet's name record is damaged"));
            // The name only says where the cells came from: one that is not UTF-8 is dropped.
            if (!decodeUtf8(utf8, grid.name))
                grid.name.clear();
            continue;
        }
        nameMayFollow = false;
        if (tag == XlsCellStream::EndTag) {
            quint32 announced;
            if (!in.readU32(announced))
                return FileError(QStringLiteral("the end record is cut short"));
            if (announced != cellCount)
                return FileError(
                    QStringLiteral("the end record counts %1 cells, the stream holds %2")
                        .arg(announced)
                        .arg(cellCount));
            if (!in.atEnd())
                return FileError(QStringLiteral("bytes follow the end record"));
            return grid;
        }
        if (tag != XlsCellStream::NumberTag && tag != XlsCellStream::TextTag
            && tag != XlsCellStream::BooleanTag && tag != XlsCellStream::ErrorTag
            && tag != XlsCellStream::UncalculatedTag)
            return FileError(
                QStringLiteral("unknown record 0x%1").arg(quint8(tag), 2, 16, QLatin1Char('0')));

        quint32 row, column;
        if (!in.readU32(row) || !in.readU32(column))
            return FileError(QStringLiteral("a cell record is cut short"));
        if (row < 1 || row > rowCount || column < 1 || column > columnCount)
            return FileError(QStringLiteral("a cell lies outside the grid"));
        const quint64 position = quint64(row - 1) * columnCount + column;
        if (position <= previous)
            return FileError(QStringLiteral("cells are out of order or repeated"));
        previous = position;

        if (tag == XlsCellStream::NumberTag) {
            double value;
            if (!in.readDouble(value))
                return FileError(QStringLiteral("a number is cut short"));
            if (!std::isfinite(value))
                return FileError(QStringLiteral("a number is not finite"));
            grid.setCell(int(row), int(column), SheetCell::fromNumber(value));
        } else if (tag == XlsCellStream::BooleanTag) {
            char value;
            if (!in.readByte(value))
                return FileError(QStringLiteral("a boolean is cut short"));
            if (value != 0 && value != 1)
                return FileError(QStringLiteral("a boolean is neither 0 nor 1"));
            grid.setCell(int(row), int(column), SheetCell::fromBoolean(value == 1));
        } else if (tag == XlsCellStream::UncalculatedTag) {
            grid.setCell(int(row), int(column), SheetCell::uncalculated());
        } else if (tag == XlsCellStream::ErrorTag) {
            char code;
            if (!in.readByte(code))
                return FileError(QStringLiteral("an error value is cut short"));
            const char *name = XlsCellStream::errorName(std::uint8_t(code));
            if (!name)
                return FileError(QStringLiteral("unknown error code 0x%1")
                                     .arg(quint8(code), 2, 16, QLatin1Char('0')));
            grid.setCell(int(row), int(column), SheetCell::fromError(QString::fromLatin1(name)));
        } else {
            quint32 length;
            QByteArray utf8;
            if (!in.readU32(length))
                return FileError(QStringLiteral("a text cell is cut short"));
            if (length > XlsCellStream::MaxTextBytes)
                return FileError(QStringLiteral("a text is longer than a cell can hold"));
            if (!in.readBytes(qsizetype(length), utf8))
                return FileError(QStringLiteral("a text is cut short"));
            QString text;
            if (!decodeUtf8(utf8, text))
                return FileError(QStringLiteral("a text is not valid UTF-8"));
            grid.setCell(int(row), int(column), SheetCell::fromText(text));
        }
        ++cellCount;
    }
}

#include "workbook/Biff8Records.h"

#include <QtEndian>

#include <cstring>

Biff8Body &Biff8Body::u8(quint8 value)
{
    data_.append(char(value));
    return *this;
}

Biff8Body &Biff8Body::u16(quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    data_.append(raw, 2);
    return *this;
}

Biff8Body &Biff8Body::u32(quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    data_.append(raw, 4);
    return *this;
}

Biff8Body &Biff8Body::f64(double value)
{
    quint64 bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    char raw[8];
    qToLittleEndian(bits, raw);
    data_.append(raw, 8);
    return *this;
}

Biff8Body &Biff8Body::bytes(QByteArrayView value)
{
    data_.append(value);
    return *this;
}

void AppendBiff8Record(QByteArray &stream, quint16 type, QByteArrayView body)
{
    Q_ASSERT(body.size() <= Biff8MaxRecordBody);
    stream.append(Biff8Body().u16(type).u16(quint16(body.size())).data());
    stream.append(body);
}

bool Biff8FitsCompressed(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

QByteArray Biff8Characters(QStringView text, bool compressed)
{
    QByteArray out;
    if (compressed) {
        out.reserve(text.size());
        for (QChar c : text)
            out.append(char(c.unicode()));
    } else {
        out.resize(text.size() * 2);
        qToLittleEndian<quint16>(text.utf16(), text.size(), out.data());
    }
    return out;
}

QByteArray Biff8ShortString(QStringView text)
{
    Q_ASSERT(text.size() <= 255);
    const bool compressed = Biff8FitsCompressed(text);
    return Biff8Body()
        .u8(quint8(text.size()))
        .u8(compressed ? 0x00 : 0x01)
        .bytes(Biff8Characters(text, compressed))
        .data();
}

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The few BIFF8 record types the workbook writer uses.
namespace Biff8Record {
constexpr quint16 Bof = 0x0809;
constexpr quint16 Eof = 0x000A;
constexpr quint16 Codepage = 0x0042;
constexpr quint16 DateMode = 0x0022;
constexpr quint16 Window1 = 0x003D;
constexpr quint16 Font = 0x0031;
constexpr quint16 Xf = 0x00E0;
constexpr quint16 Style = 0x0293;
constexpr quint16 BoundSheet = 0x0085;
constexpr quint16 Sst = 0x00FC;
constexpr quint16 Continue = 0x003C;
constexpr quint16 ExtSst = 0x00FF;
constexpr quint16 Dimensions = 0x0200;
constexpr quint16 ColInfo = 0x007D;
constexpr quint16 Number = 0x0203;
constexpr quint16 LabelSst = 0x00FD;
constexpr quint16 Blank = 0x0201;
constexpr quint16 Window2 = 0x023E;
} // namespace Biff8Record

// A record body may hold at most this many bytes; longer data goes on in CONTINUE records.
constexpr int Biff8MaxRecordBody = 8224;

// Little-endian fields of a record body, in the order they are appended.
class Biff8Body
{
public:
    Biff8Body &u8(quint8 value);
    Biff8Body &u16(quint16 value);
    Biff8Body &u32(quint32 value);
    Biff8Body &f64(double value);
    Biff8Body &bytes(QByteArrayView value);

    const QByteArray &data() const { return data_; }
    qsizetype size() const { return data_.size(); }

private:
    QByteArray data_;
};

// Appends one record (type, length, body) to stream; body must not pass Biff8MaxRecordBody.
void AppendBiff8Record(QByteArray &stream, quint16 type, QByteArrayView body);

// True when every character of text fits one byte (Latin-1), so it can be stored in the
// compressed 8-bit form; otherwise it is stored as UTF-16LE.
bool Biff8FitsCompressed(QStringView text);

// The characters of text in the form the option-flags byte announces (see above).
QByteArray Biff8Characters(QStringView text, bool compressed);

// A short unicode string (8-bit count, option flags, characters), as a sheet name is
// stored; text holds at most 255 characters.
QByteArray Biff8ShortString(QStringView text);

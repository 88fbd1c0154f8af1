#include "workbook/Biff8SharedStrings.h"

#include "workbook/Biff8Records.h"

namespace {
// Bytes of a string's header: 16-bit character count and option flags.
constexpr int StringHeaderBytes = 3;

// Where one string starts: in which record of the table and how far into it.
struct StringStart
{
    qsizetype record;
    qsizetype offset; // from the start of the record's body
};

// Collects the table's record bodies, opening a CONTINUE record whenever one is full.
class TableBodies
{
public:
    QList<QByteArray> bodies{QByteArray()};

    qsizetype space() const { return Biff8MaxRecordBody - bodies.last().size(); }
    void append(QByteArrayView bytes) { bodies.last().append(bytes); }
    void startContinue() { bodies.append(QByteArray()); }
    StringStart here() const { return {bodies.size() - 1, bodies.last().size()}; }
};

// How many UTF-16 code units of text, from position from on, fit in space bytes.
qsizetype unitsThatFit(QStringView text, qsizetype from, qsizetype space, bool compressed)
{
    qsizetype units = qMin(text.size() - from, compressed ? space : space / 2);
    // Both halves of a surrogate pair go into the same record.
    if (!compressed && units > 0 && from + units < text.size()
        && text[from + units - 1].isHighSurrogate())
        --units;
    return units;
}

int firstCharacterBytes(const QString &text, bool compressed)
{
    if (text.isEmpty())
        return 0;
    if (compressed)
        return 1;
    return text.size() > 1 && text[0].isHighSurrogate() ? 4 : 2;
}

// How many record boundaries a string crosses when it starts with space bytes left in
// the current record (ignoring the odd byte a UTF-16 string may leave).
qsizetype boundariesCrossed(qsizetype bytes, qsizetype space)
{
    if (bytes <= space)
        return 0;
    constexpr qsizetype ContinuedBytes = Biff8MaxRecordBody - 1; // after the flags byte
    return 1 + (bytes - space - 1) / ContinuedBytes;
}

// Some readers complete a split string from the next record only, so a string that
// fits in two records whole is not spread over three: it starts a new record instead.
bool crossesFewerRecordsInANewOne(const QString &text, bool compressed, qsizetype space)
{
    const qsizetype bytes = StringHeaderBytes + text.size() * (compressed ? 1 : 2);
    return boundariesCrossed(bytes, Biff8MaxRecordBody) < boundariesCrossed(bytes, space);
}

StringStart appendString(TableBodies &table, const QString &text)
{
    const bool compressed = Biff8FitsCompressed(text);
    const quint8 flags = compressed ? 0x00 : 0x01;
    if (table.space() < StringHeaderBytes + firstCharacterBytes(text, compressed)
        || crossesFewerRecordsInANewOne(text, compressed, table.space()))
        table.startContinue();

    const StringStart start = table.here();
    table.append(Biff8Body().u16(quint16(text.size())).u8(flags).data());
    qsizetype done = 0;
    while (done < text.size()) {
        const qsizetype units = unitsThatFit(text, done, table.space(), compressed);
        table.append(Biff8Characters(QStringView(text).mid(done, units), compressed));
        done += units;
        if (done < text.size()) {
            table.startContinue();
            table.append(Biff8Body().u8(flags).data());
        }
    }
    return start;
}

// EXTSST: for every bucket of stringsPerBucket strings, where its first string starts.
QByteArray extSstBody(const QList<StringStart> &starts, const QList<quint32> &recordPositions,
                      quint16 stringsPerBucket)
{
    constexpr int RecordHeaderBytes = 4;
    Biff8Body body;
    body.u16(stringsPerBucket);
    for (qsizetype i = 0; i < starts.size() && body.size() + 8 <= Biff8MaxRecordBody;
         i += stringsPerBucket) {
        const StringStart &start = starts[i];
        const quint32 inRecord = quint32(RecordHeaderBytes + start.offset);
        body.u32(recordPositions[start.record] + inRecord).u16(quint16(inRecord)).u16(0);
    }
    return body.data();
}
} // namespace

quint32 Biff8SharedStrings::add(const QString &text)
{
    ++uses_;
    auto found = indexOf_.constFind(text);
    if (found != indexOf_.cend())
        return *found;
    const quint32 index = quint32(strings_.size());
    strings_.append(text);
    indexOf_.insert(text, index);
    return index;
}

bool Biff8SharedStrings::readsBackWhole(const QString &text)
{
    const bool compressed = Biff8FitsCompressed(text);
    // A UTF-16 string may leave a byte unused at each boundary, so that a surrogate pair
    // stays whole; one more unit per record more than covers it.
    const qsizetype bytes =
        StringHeaderBytes + (text.size() + (compressed ? 0 : 2)) * (compressed ? 1 : 2);
    return boundariesCrossed(bytes, Biff8MaxRecordBody) <= 1;
}

QByteArray Biff8SharedStrings::records(quint32 streamOffset) const
{
    TableBodies table;
    table.append(Biff8Body().u32(uses_).u32(quint32(strings_.size())).data());
    QList<StringStart> starts;
    starts.reserve(strings_.size());
    for (const QString &text : strings_)
        starts.append(appendString(table, text));

    QByteArray out;
    QList<quint32> recordPositions;
    for (qsizetype i = 0; i < table.bodies.size(); ++i) {
        recordPositions.append(streamOffset + quint32(out.size()));
        AppendBiff8Record(out, i == 0 ? Biff8Record::Sst : Biff8Record::Continue,
                          table.bodies[i]);
    }

    // At least 8 strings per bucket, and no more than 128 buckets.
    constexpr qsizetype MaxBuckets = 128;
    const auto stringsPerBucket = quint16(
        qBound(qsizetype(8), (strings_.size() + MaxBuckets - 1) / MaxBuckets, qsizetype(0xFFFF)));
    AppendBiff8Record(out, Biff8Record::ExtSst,
                      extSstBody(starts, recordPositions, stringsPerBucket));
    return out;
}

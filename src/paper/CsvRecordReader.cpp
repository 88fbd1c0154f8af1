#include "paper/CsvRecordReader.h"

#include <QIODevice>

#include <array>
#include <string>
#include <string_view>

namespace {
constexpr qint64 ChunkBytes = 64 * 1024;
constexpr qint64 MinChunkBytes = 4 * 1024;
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr qsizetype ByteOrderMarkBytes = 3;

// The bytes that end a run of plain text, outside quotes and inside them.
constexpr std::array<bool, 256> stopsAt(std::string_view bytes)
{
    std::array<bool, 256> stops{};
    for (const char c : bytes)
        stops[static_cast<unsigned char>(c)] = true;
    return stops;
}
constexpr std::array<bool, 256> BareStops = stopsAt(",\"\r\n");
constexpr std::array<bool, 256> QuotedStops = stopsAt("\"\r\n");

QString sizeText(qint64 bytes)
{
    if (bytes % (1 << 20) == 0)
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    return QStringLiteral("%1 bytes").arg(bytes);
}
} // namespace

CsvRecordReader::CsvRecordReader(QIODevice &device, qint64 maxRecordBytes,
                                 qint64 maxTotalBytes)
    : device_(device), maxRecordBytes_(maxRecordBytes), maxTotalBytes_(maxTotalBytes)
{
}

CsvRecordReader::Result CsvRecordReader::fail(const QString &reason, int line, int field)
{
    error_ = {reason, line, field};
    atEnd_ = true;
    return Result::Failed;
}

// Reads the next chunk; false at the end of the data or on a read error (then error_
// holds the reason). The first fill gathers enough bytes to recognise a byte-order mark.
bool CsvRecordReader::fill()
{
    chunk_.resize(0); // keeps the buffer for the next chunk
    pos_ = 0;
    while (!atEnd_) {
        const qsizetype had = chunk_.size();
        // A small paper needs a buffer little larger than itself; a device of unknown
        // size (or one that claims to be empty) is read a whole page or chunk at a time.
        const qint64 wanted = device_.isSequential()
                                  ? ChunkBytes
                                  : qBound(MinChunkBytes, device_.bytesAvailable(), ChunkBytes);
        chunk_.resize(had + wanted);
        const qint64 got = device_.read(chunk_.data() + had, wanted);
        chunk_.resize(had + qMax<qint64>(got, 0));
        if (got < 0) {
            fail(QStringLiteral("the file could not be read: %1").arg(device_.errorString()),
                 line_, -1);
            return false;
        }
        if (got == 0)
            atEnd_ = true;
        if (started_ || chunk_.size() >= ByteOrderMarkBytes || atEnd_)
            break;
    }
    // Text never holds NUL bytes; binary files and UTF-16 text are full of them. Looking
    // for one in each chunk as it arrives refuses such a file before a line of it is read.
    if (chunk_.contains('\0')) {
        fail(QStringLiteral("the file holds NUL bytes, so it is binary data, not a paper file"),
             0, -1);
        return false;
    }
    if (!started_) {
        started_ = true;
        if (chunk_.startsWith(ByteOrderMark)) {
            pos_ = ByteOrderMarkBytes;
            consumed_ = ByteOrderMarkBytes;
        }
    }
    return pos_ < chunk_.size();
}

// Appends the run of bytes from pos_ that needs no decision: none of , " CR LF outside
// quotes, none of " CR LF inside them. Appending a run at once rather than byte by byte
// is most of the reader's speed. The run stops short of either limit, so the byte that
// crosses one goes through next()'s checks. False when there is no such run at pos_.
bool CsvRecordReader::appendPlainRun(std::string &field, bool inQuotes, qint64 &recordBytes)
{
    const char *begin = chunk_.constData() + pos_;
    const qint64 room = qMin(maxTotalBytes_ - consumed_, maxRecordBytes_ - recordBytes);
    const char *end = begin + qMin<qint64>(chunk_.size() - pos_, qMax<qint64>(room, 0));
    const std::array<bool, 256> &stops = inQuotes ? QuotedStops : BareStops;
    const char *stop = begin;
    while (stop != end && !stops[static_cast<unsigned char>(*stop)])
        ++stop;
    const qsizetype length = stop - begin;
    if (length == 0)
        return false;
    field.append(begin, length);
    pos_ += length;
    consumed_ += length;
    recordBytes += length;
    previous_ = stop[-1];
    return true;
}

CsvRecordReader::Result CsvRecordReader::next(CsvRecord &record)
{
    record.fields.clear();
    record.line = line_;
    if (!error_.reason.isEmpty())
        return Result::Failed;

    std::string &field = field_;
    field.clear();
    bool quoted = false;      // the field began with a quote
    bool inQuotes = false;    // inside the quotes of a quoted field
    bool quoteSeen = false;   // a quote inside quotes: "" for a quote, or the closing one
    int quoteLine = line_;
    qint64 recordBytes = 0;

    for (;;) {
        if (pos_ == chunk_.size() && !fill()) {
            if (!error_.reason.isEmpty())
                return Result::Failed;
            if (inQuotes && !quoteSeen)
                return fail(QStringLiteral("the quoted field that starts here never ends"),
                            quoteLine, int(record.fields.size()));
            if (record.fields.isEmpty() && field.empty() && !quoted)
                return Result::End;
            record.fields.append(QByteArray(field.data(), qsizetype(field.size())));
            return Result::Record;
        }

        if (!quoteSeen && !skipNextLineFeed_ && appendPlainRun(field, inQuotes, recordBytes))
            continue;

        const char c = chunk_[pos_++];
        const char previous = previous_;
        previous_ = c;
        if (++consumed_ > maxTotalBytes_)
            return fail(QStringLiteral("the file is longer than %1, more than any paper holds")
                            .arg(sizeText(maxTotalBytes_)),
                        line_, -1);
        if (skipNextLineFeed_) {
            skipNextLineFeed_ = false;
            if (c == '\n')
                continue;
        }
        if (++recordBytes > maxRecordBytes_)
            return fail(QStringLiteral("the line is longer than %1, more than any question "
                                       "holds").arg(sizeText(maxRecordBytes_)),
                        record.line, -1);

        if (inQuotes) {
            if (quoteSeen) {
                quoteSeen = false;
                if (c == '"') {
                    field += '"';
                    continue;
                }
                inQuotes = false; // that quote closed the field; c is read below
            } else if (c == '"') {
                quoteSeen = true;
                continue;
            } else {
                if (c == '\r' || (c == '\n' && previous != '\r'))
                    ++line_;
                field += c;
                continue;
            }
        }

        switch (c) {
        case ',':
            record.fields.append(QByteArray(field.data(), qsizetype(field.size())));
            field.clear();
            quoted = false;
            break;
        case '\r':
        case '\n':
            ++line_;
            skipNextLineFeed_ = (c == '\r');
            if (record.fields.isEmpty() && field.empty() && !quoted) {
                record.line = line_; // an empty line: skip it
                recordBytes = 0;
                break;
            }
            record.fields.append(QByteArray(field.data(), qsizetype(field.size())));
            return Result::Record;
        case '"':
            if (field.empty() && !quoted) {
                quoted = inQuotes = true;
                quoteLine = line_;
                break;
            }
            field += c; // a stray quote inside a bare field is taken as text
            break;
        default:
            field += c;
        }
    }
}

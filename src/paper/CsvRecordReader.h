#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <string>

class QIODevice;

struct CsvRecord
{
    QList<QByteArray> fields;
    int line = 0; // 1-based line of the file where the record starts
};

struct CsvReadError
{
    QString reason;
    int line = 0;   // 1-based line where the fault was found; 0 when not known
    int field = -1; // 0-based field of the record, -1 when the fault is not in a field
};

// Splits comma-separated text into records, reading the device one chunk at a time so
// that memory stays bounded whatever the device holds. A field enclosed in double quotes
// may hold commas and line breaks, and "" inside it stands for one quote. A record ends
// at CR LF, LF or a lone CR; empty lines are skipped. A leading UTF-8 byte-order mark is
// dropped.
//
// It works on bytes and leaves decoding to the caller: the separators are ASCII, and no
// character of UTF-8 or of the legacy ANSI code pages (single-byte, GBK, Big5,
// Shift_JIS, ...) has a comma, a quote, CR or LF among its bytes.
//
// It refuses NUL bytes, a record longer than maxRecordBytes and input beyond
// maxTotalBytes, and stops at the first fault.
class CsvRecordReader
{
public:
    enum class Result { Record, End, Failed };

    CsvRecordReader(QIODevice &device, qint64 maxRecordBytes, qint64 maxTotalBytes);

    // The next record; Failed leaves the reason in error().
    Result next(CsvRecord &record);
    const CsvReadError &error() const { return error_; }

private:
    bool fill();
    bool appendPlainRun(std::string &field, bool inQuotes, qint64 &recordBytes);
    Result fail(const QString &reason, int line, int field);

    QIODevice &device_;
    const qint64 maxRecordBytes_;
    const qint64 maxTotalBytes_;
    QByteArray chunk_;
    // The field being read; kept from record to record so that its buffer is reused, and
    // cheaper to grow byte by byte than a QByteArray.
    std::string field_;
    qsizetype pos_ = 0;
    qint64 consumed_ = 0;
    bool started_ = false;
    bool atEnd_ = false;
    bool skipNextLineFeed_ = false; // the last record ended with CR; an LF may follow
    char previous_ = 0;
    int line_ = 1;
    CsvReadError error_;
};

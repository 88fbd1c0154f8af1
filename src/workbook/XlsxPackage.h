#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct zip;
struct zip_file;

// One part of the package being inflated, a piece at a time. Counts the bytes it has
// actually inflated and fails once they pass its cap, whatever size the zip declares.
class XlsxPartStream
{
public:
    ~XlsxPartStream();
    XlsxPartStream(const XlsxPartStream &) = delete;
    XlsxPartStream &operator=(const XlsxPartStream &) = delete;

    const QString &partName() const { return m_partName; }

    // The next inflated piece. False at the end of the part or on a failure; failed()
    // tells the two apart.
    bool readChunk(QByteArray &chunk);
    bool failed() const { return m_failed; }
    // The failure was the cap: more bytes inflated than the part may have.
    bool passedCap() const { return m_inflated > m_maxBytes; }
    const FileError &error() const { return m_error; }

private:
    friend class XlsxPackage;
    XlsxPartStream(zip_file *file, const QString &partName, qint64 maxBytes);

    zip_file *m_file = nullptr;
    QString m_partName;
    qint64 m_maxBytes = 0;
    qint64 m_inflated = 0;
    bool m_atEnd = false;
    bool m_failed = false;
    FileError m_error;
};

// The zip container of an .xlsx workbook, opened read-only through libzip.
class XlsxPackage
{
public:
    ~XlsxPackage();
    XlsxPackage(const XlsxPackage &) = delete;
    XlsxPackage &operator=(const XlsxPackage &) = delete;

    // Fails when the file is no zip, is damaged or has too many entries.
    static Result<std::unique_ptr<XlsxPackage>> open(const QString &path);
    // The same for a package already in memory; the package keeps its own reference to
    // the bytes.
    static Result<std::unique_ptr<XlsxPackage>> openBytes(const QByteArray &bytes);

    bool contains(const QString &partName) const;
    // Fails when the part is missing, encrypted or cannot be inflated.
    Result<std::unique_ptr<XlsxPartStream>> openPart(const QString &partName,
                                                     qint64 maxBytes) const;

private:
    explicit XlsxPackage(zip *archive, const QByteArray &bytes = {})
        : m_archive(archive), m_bytes(bytes) {}
    static Result<std::unique_ptr<XlsxPackage>> checkEntries(zip *archive,
                                                             const QByteArray &bytes);
    qint64 indexOf(const QString &partName) const;

    zip *m_archive = nullptr;
    QByteArray m_bytes; // what an in-memory archive reads from
};

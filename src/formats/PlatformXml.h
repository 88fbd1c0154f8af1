#pragma once

#include "core/FileError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QXmlStreamReader>

// One XML document of a platform file, read with the checks every reader makes before it
// trusts a token: the bytes at most MaxPlatformFileBytes; no tag longer than MaxTagBytes
// or of more than MaxAttributes attributes, both checked over the raw bytes before the
// parser sees them (QXmlStreamReader compares each attribute of a tag with every other,
// so tags full of attributes cost it a second a megabyte); no document type declaration,
// so that no entity is ever declared, let alone expanded; no deeper nesting than
// MaxDepth. The first fault ends the reading with a FileError at its line.
class PlatformXml
{
public:
    static constexpr qint64 MaxTagBytes = 64 * 1024;
    static constexpr int MaxAttributes = 64;
    static constexpr int MaxDepth = 256;

    // partName names the document in errors when it is one part of a package.
    explicit PlatformXml(QByteArrayView bytes, const QString &partName = {});

    // The next token; false at the end of the document or on a failure (failed()).
    bool readNext();
    const QXmlStreamReader &xml() const { return xml_; }
    int depth() const { return depth_; }

    bool isStart(QStringView localName) const;
    bool isEnd(QStringView localName) const;
    // The attribute of the current start element with this local name, in any namespace.
    QString attribute(QStringView localName) const;
    // From a start element: past its end element. False on a failure.
    bool skipElement();
    // Moves to the next child element of the element whose children are at depth + 1;
    // false at that element's end (or on a failure).
    bool nextChild(int depth);
    // From a start element: its text, the characters of all it holds, and past its end
    // element. False on a failure.
    bool readText(QString &text);

    // Ends the reading with this reason at the current line, or the one given; returns
    // false.
    bool fail(const QString &reason);
    bool failAt(const QString &reason, int line);
    int line() const;
    bool failed() const { return failed_; }
    const FileError &error() const { return error_; }

private:
    QByteArray bytes_; // the caller's, not copied
    QString partName_;
    QXmlStreamReader xml_;
    int depth_ = 0;
    bool failed_ = false;
    bool ended_ = false;
    FileError error_;
};

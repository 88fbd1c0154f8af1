#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct chmFile;

// What a compiled help file says about itself in its #SYSTEM record. Paths are
// object paths inside the file ("/index.html"); empty when the file names none.
struct HelpSystemInfo
{
    QString defaultTopic;
    QString contentsFile;
    QString title;
};

// Reads the #SYSTEM record: a version word, then entries of a 16-bit code, a 16-bit
// length and that many bytes. An entry running past the end stops the reading.
HelpSystemInfo ParseHelpSystemRecord(const QByteArray &record);

// A compiled help file (.chm) opened for reading its pages, stylesheets and images.
class HelpArchive
{
public:
    // The page shown when the file names no default topic.
    static inline const QString FallbackTopic = QStringLiteral("/index.html");
    // No object of the guide comes near this; a larger one means a damaged file.
    static constexpr qint64 MaxObjectSize = 16 * 1024 * 1024;

    // Null when the path is not a help file that can be read.
    static std::unique_ptr<HelpArchive> open(const QString &path);
    ~HelpArchive();
    HelpArchive(const HelpArchive &) = delete;
    HelpArchive &operator=(const HelpArchive &) = delete;

    // The bytes of an object such as "/index.html" (a missing leading slash is
    // added); empty when the file holds no such object or cannot deliver it whole.
    std::optional<QByteArray> read(const QString &objectPath) const;
    bool contains(const QString &objectPath) const;

    // The page to open first: the file's default topic, or FallbackTopic.
    QString defaultTopic() const;
    // The table of contents (.hhc) the file names, or empty.
    QString contentsFile() const { return system_.contentsFile; }
    QString title() const { return system_.title; }

private:
    explicit HelpArchive(chmFile *file);

    chmFile *file_;
    HelpSystemInfo system_;
};

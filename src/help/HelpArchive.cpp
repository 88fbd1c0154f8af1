#include "help/HelpArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <chm_lib.h>

namespace {
// Codes of the #SYSTEM entries the help window uses.
enum SystemCode : quint16 { ContentsFileCode = 0, DefaultTopicCode = 2, TitleCode = 3 };

QString objectPath(const QString &name)
{
    return name.startsWith(u'/') ? name : QLatin1Char('/') + name;
}

// An entry's text ends at its first NUL, or at the end of the entry.
QString entryText(const char *data, int length)
{
    return QString::fromUtf8(data, qsizetype(qstrnlen(data, uint(length))));
}
// chmlib reads past the end of a file cut short as if it were zeros, so compare the
// file with the size its first header section records: the "ITSF" header gives that
// section's place (offset 0x38), and the section holds the size at its offset 8.
bool isWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(0x48);
    if (header.size() < 0x48 || !header.startsWith("ITSF"))
        return false;
    const auto sectionOffset = qFromLittleEndian<quint64>(header.constData() + 0x38);
    const auto sectionLength = qFromLittleEndian<quint64>(header.constData() + 0x40);
    const auto fileSize = quint64(file.size());
    if (sectionLength < 16 || sectionOffset > fileSize - 16 || !file.seek(qint64(sectionOffset) + 8))
        return false;
    const QByteArray declared = file.read(8);
    return declared.size() == 8 && qFromLittleEndian<quint64>(declared.constData()) <= fileSize;
}
} // namespace

HelpSystemInfo ParseHelpSystemRecord(const QByteArray &record)
{
    HelpSystemInfo info;
    qsizetype at = 4; // the version word
    while (at + 4 <= record.size()) {
        const auto code = qFromLittleEndian<quint16>(record.constData() + at);
        const auto length = qFromLittleEndian<quint16>(record.constData() + at + 2);
        at += 4;
        if (length > record.size() - at)
            break;
        const char *data = record.constData() + at;
        at += length;
        const QString text = entryText(data, length).trimmed();
        if (text.isEmpty())
            continue;
        switch (code) {
        case ContentsFileCode: info.contentsFile = objectPath(text); break;
        case DefaultTopicCode: info.defaultTopic = objectPath(text); break;
        case TitleCode: info.title = text; break;
        default: break;
        }
    }
    return info;
}

std::unique_ptr<HelpArchive> HelpArchive::open(const QString &path)
{
    if (!QFileInfo(path).isFile() || !isWhole(path))
        return nullptr;
    chmFile *file = chm_open(QFile::encodeName(path).constData());
    if (!file)
        return nullptr;
    return std::unique_ptr<HelpArchive>(new HelpArchive(file));
}

HelpArchive::HelpArchive(chmFile *file) : file_(file)
{
    if (const auto record = read(QStringLiteral("/#SYSTEM")))
        system_ = ParseHelpSystemRecord(*record);
}

HelpArchive::~HelpArchive()
{
    chm_close(file_);
}

std::optional<QByteArray> HelpArchive::read(const QString &objectPath) const
{
    const QByteArray name = ::objectPath(objectPath).toUtf8();
    if (name.size() > CHM_MAX_PATHLEN)
        return std::nullopt;
    chmUnitInfo unit{};
    if (chm_resolve_object(file_, name.constData(), &unit) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (unit.length > LONGUINT64(MaxObjectSize))
        return std::nullopt;
    QByteArray bytes(qsizetype(unit.length), Qt::Uninitialized);
    if (bytes.isEmpty())
        return bytes;
    const LONGINT64 got = chm_retrieve_object(file_, &unit,
                                              reinterpret_cast<unsigned char *>(bytes.data()), 0,
                                              LONGINT64(unit.length));
    if (got != LONGINT64(unit.length))
        return std::nullopt;
    return bytes;
}

bool HelpArchive::contains(const QString &objectPath) const
{
    const QByteArray name = ::objectPath(objectPath).toUtf8();
    chmUnitInfo unit{};
    return name.size() <= CHM_MAX_PATHLEN
           && chm_resolve_object(file_, name.constData(), &unit) == CHM_RESOLVE_SUCCESS;
}

QString HelpArchive::defaultTopic() const
{
    return system_.defaultTopic.isEmpty() ? FallbackTopic : system_.defaultTopic;
}

#include "formats/Qti21Reader.h"

#include "formats/PlatformXml.h"
#include "formats/Qti21ItemReader.h"
#include "workbook/XlsxPackage.h"

#include <QDir>
#include <QUrl>

#include <cmath>

namespace {
// The inflated bytes of one part, and of all parts read together, at most; honest items
// are a few kilobytes.
constexpr qint64 MaxPartBytes = 8 * 1024 * 1024;
constexpr qint64 MaxPackageBytes = MaxPlatformFileBytes;

const QString ManifestName = QStringLiteral("imsmanifest.xml");

struct ItemRef
{
    QString part;
    std::optional<int> timeLimit;
};

class PackageReader
{
public:
    explicit PackageReader(const XlsxPackage &package) : package_(package) {}

    Result<PlatformImport> read(const ImportDefaults &defaults);

private:
    Result<QByteArray> readPart(const QString &part);
    bool readManifest(PlatformXml &xml, QStringList &tests, std::vector<ItemRef> &items);
    bool readTest(PlatformXml &xml, const QString &testPart, std::vector<ItemRef> &items);
    // The part an href of a part in folder names; empty (and xml failed) when it points
    // out of the package.
    QString resolve(PlatformXml &xml, const QString &folder, const QString &href);
    bool addItem(PlatformXml &xml, std::vector<ItemRef> &items, ItemRef ref);

    const XlsxPackage &package_;
    qint64 inflated_ = 0;
};

QString folderOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

Result<QByteArray> PackageReader::readPart(const QString &part)
{
    if (!package_.contains(part))
        return FileError(QStringLiteral("the package has no %1, which its manifest lists").arg(part));
    const qint64 cap = qMin(MaxPartBytes, MaxPackageBytes - inflated_);
    Result<std::unique_ptr<XlsxPartStream>> opened = package_.openPart(part, cap);
    if (!opened)
        return FileError(QStringLiteral("the package's %1 cannot be unpacked").arg(part));
    XlsxPartStream &stream = **opened;
    QByteArray bytes;
    QByteArray chunk;
    while (stream.readChunk(chunk))
        bytes += chunk;
    inflated_ += bytes.size();
    if (stream.failed()) {
        if (stream.passedCap())
            return FileError(cap < MaxPartBytes
                                 ? QStringLiteral("the package unpacks to more than %1 MiB").arg(MaxPackageBytes / (1024 * 1024))
                                 : QStringLiteral("the package's %1 unpacks to more than %2 MiB").arg(part).arg(MaxPartBytes / (1024 * 1024)));
        return FileError(QStringLiteral("the package's %1 is damaged and cannot be unpacked").arg(part));
    }
    return bytes;
}

QString PackageReader::resolve(PlatformXml &xml, const QString &folder, const QString &href)
{
    const QString decoded = QUrl::fromPercentEncoding(href.trimmed().toUtf8());
    const QString joined = QDir::cleanPath(folder + decoded);
    if (decoded.isEmpty() || decoded.startsWith(u'/') || decoded.contains(QStringLiteral("://"))
        || joined == u".." || joined.startsWith(QStringLiteral("../")) || joined.startsWith(u'/')) {
        xml.fail(QStringLiteral("\"%1\" is no part of the package").arg(href.left(80)));
        return {};
    }
    return joined;
}

bool PackageReader::addItem(PlatformXml &xml, std::vector<ItemRef> &items, ItemRef ref)
{
    if (items.size() >= std::size_t(MaxQti21Items))
        return xml.fail(QStringLiteral("the package lists more than %1 items").arg(MaxQti21Items));
    items.push_back(std::move(ref));
    return true;
}

bool PackageReader::readManifest(PlatformXml &xml, QStringList &tests, std::vector<ItemRef> &items)
{
    bool rootSeen = false;
    while (xml.readNext()) {
        if (!xml.xml().isStartElement())
            continue;
        if (!rootSeen) {
            rootSeen = true;
            if (!xml.isStart(u"manifest"))
                return xml.fail(QStringLiteral("the manifest's root element is <%1>, not <manifest>").arg(xml.xml().name().left(40)));
            continue;
        }
        if (!xml.isStart(u"resource"))
            continue;
        const QString type = xml.attribute(u"type");
        const bool isTest = type.startsWith(QStringLiteral("imsqti_test_xmlv2p"));
        if (!isTest && !type.startsWith(QStringLiteral("imsqti_item_xmlv2p")))
            continue;
        const QString part = resolve(xml, QString(), xml.attribute(u"href"));
        if (part.isEmpty())
            return false;
        if (isTest) {
            if (tests.size() >= MaxQti21Items)
                return xml.fail(QStringLiteral("the package lists more than %1 tests").arg(MaxQti21Items));
            tests << part;
        } else if (!addItem(xml, items, {part, std::nullopt})) {
            return false;
        }
    }
    return !xml.failed();
}

bool PackageReader::readTest(PlatformXml &xml, const QString &testPart, std::vector<ItemRef> &items)
{
    bool rootSeen = false;
    int refDepth = 0;
    while (xml.readNext()) {
        if (xml.xml().isEndElement() && refDepth > 0 && xml.depth() < refDepth)
            refDepth = 0;
        if (!xml.xml().isStartElement())
            continue;
        if (!rootSeen) {
            rootSeen = true;
            if (!xml.isStart(u"assessmentTest"))
                return xml.fail(QStringLiteral("the test's root element is <%1>, not <assessmentTest>").arg(xml.xml().name().left(40)));
            continue;
        }
        if (xml.isStart(u"assessmentItemRef")) {
            const QString part = resolve(xml, folderOf(testPart), xml.attribute(u"href"));
            if (part.isEmpty() || !addItem(xml, items, {part, std::nullopt}))
                return false;
            refDepth = xml.depth();
        } else if (refDepth > 0 && xml.depth() == refDepth + 1 && xml.isStart(u"timeLimits")) {
            const QString written = xml.attribute(u"maxTime");
            if (written.isEmpty())
                continue;
            bool ok = false;
            const double seconds = written.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(seconds))
                return xml.fail(QStringLiteral("the time limit \"%1\" is not a number").arg(written.left(40)));
            items.back().timeLimit = int(std::floor(qBound(-1e6, seconds, 1e6)));
        }
    }
    return !xml.failed();
}

Result<PlatformImport> PackageReader::read(const ImportDefaults &defaults)
{
    if (!package_.contains(ManifestName))
        return FileError(QStringLiteral("the package has no imsmanifest.xml, so it is no QTI content package"));
    const Result<QByteArray> manifest = readPart(ManifestName);
    if (!manifest)
        return manifest.error();
    QStringList tests;
    std::vector<ItemRef> items;
    {
        PlatformXml xml(*manifest, ManifestName);
        if (!readManifest(xml, tests, items))
            return xml.error();
    }
    if (!tests.isEmpty()) {
        items.clear(); // the tests say which items are given, and in what order
        for (const QString &test : std::as_const(tests)) {
            const Result<QByteArray> bytes = readPart(test);
            if (!bytes)
                return bytes.error();
            PlatformXml xml(*bytes, test);
            if (!readTest(xml, test, items))
                return xml.error();
        }
    }

    std::vector<platform::FoundQuestion> found;
    QStringList losses;
    for (const ItemRef &ref : items) {
        const Result<QByteArray> bytes = readPart(ref.part);
        if (!bytes)
            return bytes.error();
        Result<Qti21Item> item = ReadQti21Item(*bytes, ref.part);
        if (!item)
            return item.error();
        losses << item->losses;
        if (item->question) {
            item->question->timeLimit = ref.timeLimit;
            found.push_back(std::move(*item->question));
        }
    }
    return platform::BuildImportedPaper(found, losses, defaults);
}
} // namespace

Result<PlatformImport> ReadQti21(QByteArrayView bytes, const ImportDefaults &defaults)
{
    if (bytes.size() > MaxPlatformFileBytes)
        return FileError(QStringLiteral("the file is larger than %1 MiB").arg(MaxPlatformFileBytes / (1024 * 1024)));
    if (!bytes.startsWith("PK")) {
        Result<Qti21Item> item = ReadQti21Item(bytes);
        if (!item)
            return item.error();
        std::vector<platform::FoundQuestion> found;
        if (item->question)
            found.push_back(std::move(*item->question));
        return platform::BuildImportedPaper(found, item->losses, defaults);
    }
    const QByteArray zipped = QByteArray::fromRawData(bytes.data(), bytes.size());
    Result<std::unique_ptr<XlsxPackage>> package = XlsxPackage::openBytes(zipped);
    if (!package)
        return FileError(QStringLiteral("the file starts as a zip package but cannot be read as one (damaged or incomplete)"));
    return PackageReader(**package).read(defaults);
}

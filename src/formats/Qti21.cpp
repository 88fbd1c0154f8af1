#include "formats/Qti21.h"

#include "formats/Qti21Item.h"
#include "formats/Qti21Xml.h"
#include "formats/ZipInMemory.h"
#include "paper/QuestionTable.h"

#include <QXmlStreamWriter>

using qti21::Namespace;

namespace {
const QString TestFile = QStringLiteral("test.xml");
const QString ManifestFile = QStringLiteral("imsmanifest.xml");
const QString ContentPackaging = QStringLiteral("http://www.imsglobal.org/xsd/imscp_v1p1");

QString resourceIdentifier(const QString &file)
{
    return QStringLiteral("resource-") + QString(file).remove(QStringLiteral(".xml")).replace(u'/', u'-');
}

// A paper's name is free text; an empty one still gives the test and section a title.
QString titleOf(const QString &paperName)
{
    return paperName.trimmed().isEmpty() ? QStringLiteral("Paper") : paperName;
}

bool holdsOnlyXmlCharacters(const QuestionRow &row, const platform::Choices &choices)
{
    bool fits = qti21::holdsOnlyXmlCharacters(row.Title);
    for (int option : choices.offered)
        fits = fits && qti21::holdsOnlyXmlCharacters(row.Items[std::size_t(option)]);
    return fits;
}

void writeEmpty(QXmlStreamWriter &xml, const QString &element, const QString &attribute, const QString &value)
{
    xml.writeEmptyElement(Namespace, element);
    xml.writeAttribute(attribute, value);
}

QByteArray testXml(const QList<const QuestionRow *> &kept, const QString &title)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    qti21::startDocument(xml, QStringLiteral("assessmentTest"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("paper"));
    xml.writeAttribute(QStringLiteral("title"), title);

    xml.writeStartElement(Namespace, QStringLiteral("outcomeDeclaration"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("SCORE"));
    xml.writeAttribute(QStringLiteral("cardinality"), QStringLiteral("single"));
    xml.writeAttribute(QStringLiteral("baseType"), QStringLiteral("float"));
    xml.writeEndElement();

    // Linear with individual submission: the questions come one after another, each
    // under its own time limit, as the paper is given.
    xml.writeStartElement(Namespace, QStringLiteral("testPart"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("part"));
    xml.writeAttribute(QStringLiteral("navigationMode"), QStringLiteral("linear"));
    xml.writeAttribute(QStringLiteral("submissionMode"), QStringLiteral("individual"));
    xml.writeStartElement(Namespace, QStringLiteral("assessmentSection"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("questions"));
    xml.writeAttribute(QStringLiteral("title"), title);
    xml.writeAttribute(QStringLiteral("visible"), QStringLiteral("true"));
    for (const QuestionRow *row : kept) {
        xml.writeStartElement(Namespace, QStringLiteral("assessmentItemRef"));
        xml.writeAttribute(QStringLiteral("identifier"), qti21::itemIdentifier(row->QuestionNo));
        xml.writeAttribute(QStringLiteral("href"), qti21::itemFile(row->QuestionNo));
        writeEmpty(xml, QStringLiteral("timeLimits"), QStringLiteral("maxTime"), QString::number(row->TimeLimit));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();

    xml.writeStartElement(Namespace, QStringLiteral("outcomeProcessing"));
    xml.writeStartElement(Namespace, QStringLiteral("setOutcomeValue"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("SCORE"));
    xml.writeStartElement(Namespace, QStringLiteral("sum"));
    writeEmpty(xml, QStringLiteral("testVariables"), QStringLiteral("variableIdentifier"), QStringLiteral("SCORE"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();

    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

void writeResource(QXmlStreamWriter &xml, const QString &type, const QString &file, const QStringList &dependencies)
{
    xml.writeStartElement(ContentPackaging, QStringLiteral("resource"));
    xml.writeAttribute(QStringLiteral("identifier"), resourceIdentifier(file));
    xml.writeAttribute(QStringLiteral("type"), type);
    xml.writeAttribute(QStringLiteral("href"), file);
    xml.writeEmptyElement(ContentPackaging, QStringLiteral("file"));
    xml.writeAttribute(QStringLiteral("href"), file);
    for (const QString &dependency : dependencies) {
        xml.writeEmptyElement(ContentPackaging, QStringLiteral("dependency"));
        xml.writeAttribute(QStringLiteral("identifierref"), resourceIdentifier(dependency));
    }
    xml.writeEndElement();
}

QByteArray manifestXml(const QList<Qti21Package::TestFiles> &tests)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(ContentPackaging);
    xml.writeNamespace(qti21::SchemaInstance, QStringLiteral("xsi"));
    xml.writeStartElement(ContentPackaging, QStringLiteral("manifest"));
    xml.writeAttribute(QStringLiteral("identifier"), QStringLiteral("manifest"));
    xml.writeAttribute(qti21::SchemaInstance, QStringLiteral("schemaLocation"),
                       ContentPackaging + QStringLiteral(" http://www.imsglobal.org/xsd/imscp_v1p1.xsd"));

    // What the v2.1 Integration Guide asks a QTI package's manifest to say of itself.
    xml.writeStartElement(ContentPackaging, QStringLiteral("metadata"));
    xml.writeTextElement(ContentPackaging, QStringLiteral("schema"), QStringLiteral("QTIv2.1 Package"));
    xml.writeTextElement(ContentPackaging, QStringLiteral("schemaversion"), QStringLiteral("1.0.0"));
    xml.writeEndElement();
    xml.writeEmptyElement(ContentPackaging, QStringLiteral("organizations"));

    xml.writeStartElement(ContentPackaging, QStringLiteral("resources"));
    for (const Qti21Package::TestFiles &test : tests) {
        writeResource(xml, QStringLiteral("imsqti_test_xmlv2p1"), test.test, test.items);
        for (const QString &file : test.items)
            writeResource(xml, QStringLiteral("imsqti_item_xmlv2p1"), file, {});
    }
    xml.writeEndElement();

    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}
} // namespace

Qti21Package::Qti21Package(bool inFolders) : inFolders_(inFolders) {}

QStringList Qti21Package::add(const QuestionTable &paper, const QString &paperName)
{
    const QString folder = inFolders_ ? QStringLiteral("paper-%1/").arg(tests_.size() + 1) : QString();
    platform::LeftOutQuestions leftOut;
    QList<const QuestionRow *> kept;
    TestFiles files{folder + TestFile, {}};
    QList<int> trimmed;
    const qsizetype testAt = parts_.size(); // each test comes before its items
    for (const QuestionRow &row : paper.rows()) {
        const platform::Choices choices(row);
        if (!leftOut.keep(row, choices))
            continue;
        if (!holdsOnlyXmlCharacters(row, choices))
            trimmed << row.QuestionNo;
        kept << &row;
        files.items << folder + qti21::itemFile(row.QuestionNo);
        parts_.append({files.items.last(), Qti21ItemXml(row, choices)});
    }
    // The items' references are relative to the test, which is in their folder.
    parts_.insert(testAt, {files.test, testXml(kept, titleOf(paperName))});
    tests_.append(files);

    QStringList losses;
    leftOut.describe(losses);
    if (!trimmed.isEmpty())
        losses << platform::xmlCharactersLeftOut(trimmed);
    return losses;
}

PlatformExport Qti21Package::finish()
{
    parts_.prepend({ManifestFile, manifestXml(tests_)});
    PlatformExport out;
    Result<QByteArray> archive = ZipInMemory(parts_);
    if (archive)
        out.bytes = std::move(archive).value();
    else
        out.failure = archive.error().text();
    parts_.clear();
    return out;
}

PlatformExport WriteQti21Package(const QuestionTable &paper, const QString &paperName)
{
    Qti21Package package(false);
    const QStringList losses = package.add(paper, paperName);
    PlatformExport out = package.finish();
    out.losses = losses;
    return out;
}

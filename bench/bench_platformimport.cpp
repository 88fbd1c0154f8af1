// The 250-question bench paper read back from each learning platform's format, as our
// writers write it, beside its floor: turning the file's bytes into text (UTF-8 to
// UTF-16), the least any reader of a text format must do; for the QTI package, inflating
// its parts with zlib and turning them into text. Each run checks the questions it read.
#include "formats/Aiken.h"
#include "formats/AikenReader.h"
#include "formats/Gift.h"
#include "formats/GiftReader.h"
#include "formats/MoodleXml.h"
#include "formats/MoodleXmlReader.h"
#include "formats/Qti21.h"
#include "formats/Qti21Reader.h"
#include "paper/QuestionTable.h"

#include "BenchCases.h"
#include "BenchZip.h"

#include <QCoreApplication>
#include <zlib.h>

namespace {
const ImportDefaults Defaults{10, 15};

const QuestionTable &benchPaper()
{
    static const std::unique_ptr<QuestionTable> table = fullPaper();
    return *table;
}

// Aiken carries one right letter and one-line texts: the bench paper made to fit.
const QuestionTable &oneRightPaper()
{
    static const std::unique_ptr<QuestionTable> table = [] {
        auto copy = std::make_unique<QuestionTable>();
        for (QuestionRow row : benchPaper().rows()) {
            row.Answer = QStringLiteral("A");
            for (QString *text : {&row.Title, &row.Items[0], &row.Items[1], &row.Items[2], &row.Items[3],
                                  &row.Items[4], &row.Items[5]}) {
                text->replace(QStringLiteral("\r\n"), QStringLiteral(" "));
                text->replace(u'\r', u' ').replace(u'\n', u' ');
            }
            copy->AppendRow(row);
        }
        return copy;
    }();
    return *table;
}

using Reader = Result<PlatformImport> (*)(QByteArrayView, const ImportDefaults &);

CaseSetup importCase(std::function<QByteArray()> write, Reader read)
{
    return [write, read]() -> CaseRun {
        const QByteArray bytes = write();
        return [bytes, read]() -> QString {
            const Result<PlatformImport> imported = read(bytes, Defaults);
            if (!imported)
                return imported.error().text();
            const int questions = imported->paper.table->RecordCount();
            return questions == MaxQuestions ? QString()
                                             : QStringLiteral("%1 questions read, not %2").arg(questions).arg(MaxQuestions);
        };
    };
}

CaseSetup decodeFloor(std::function<QByteArray()> write)
{
    return [write]() -> CaseRun {
        const QByteArray bytes = write();
        return [bytes]() -> QString {
            const QString text = QString::fromUtf8(bytes);
            benchmark::DoNotOptimize(text.constData());
            return text.isEmpty() ? QStringLiteral("nothing decoded") : QString();
        };
    };
}

// Inflating every part of the package and decoding it, as any reader of it must.
CaseSetup inflateFloor(std::function<QByteArray()> write)
{
    return [write]() -> CaseRun {
        std::vector<std::pair<QByteArray, qsizetype>> packed;
        for (const QByteArray &part : zipParts(write())) {
            const QByteArray packedPart = deflated(part);
            if (packedPart.isEmpty())
                return {};
            packed.emplace_back(packedPart, part.size());
        }
        if (packed.empty())
            return {};
        return [packed]() -> QString {
            for (const auto &[bytes, size] : packed) {
                QByteArray out(size, Qt::Uninitialized);
                uLongf got = uLongf(size);
                if (uncompress(reinterpret_cast<Bytef *>(out.data()), &got,
                               reinterpret_cast<const Bytef *>(bytes.constData()), uLong(bytes.size())) != Z_OK)
                    return QStringLiteral("inflate failed");
                const QString text = QString::fromUtf8(out);
                benchmark::DoNotOptimize(text.constData());
            }
            return {};
        };
    };
}

const bool registered = [] {
    const auto moodle = [] { return WriteMoodleXml(benchPaper(), QStringLiteral("Bench")).bytes; };
    addCase("ImportMoodleXml250", importCase(moodle, ReadMoodleXml))->Unit(benchmark::kMicrosecond);
    addCase("ImportMoodleXml250/floor", decodeFloor(moodle))->Unit(benchmark::kMicrosecond);

    const auto gift = [] { return WriteGift(benchPaper(), QStringLiteral("Bench")).bytes; };
    addCase("ImportGift250", importCase(gift, ReadGift))->Unit(benchmark::kMicrosecond);
    addCase("ImportGift250/floor", decodeFloor(gift))->Unit(benchmark::kMicrosecond);

    const auto aiken = [] { return WriteAiken(oneRightPaper()).bytes; };
    addCase("ImportAiken250", importCase(aiken, ReadAiken))->Unit(benchmark::kMicrosecond);
    addCase("ImportAiken250/floor", decodeFloor(aiken))->Unit(benchmark::kMicrosecond);

    const auto qti = [] { return WriteQti21Package(benchPaper(), QStringLiteral("Bench")).bytes; };
    addCase("ImportQti21_250", importCase(qti, ReadQti21))->Unit(benchmark::kMicrosecond);
    addCase("ImportQti21_250/floor", inflateFloor(qti))->Unit(benchmark::kMicrosecond);
    return true;
}();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runBenchCases(argc, argv);
}

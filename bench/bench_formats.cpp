// The 250-question bench paper written in each learning platform's format, beside its
// floor. For the text formats (Moodle XML, GIFT, Aiken) the floor is the same texts
// (every title and option) turned into UTF-8 and appended into one QByteArray with fixed
// markup between them and nothing escaped: the least any writer of that format must do,
// starting from the paper in memory. For the zipped formats (the QTI 2.1 package and the
// quiz-game sheet) it is zlib's compress2, at the default level, over the same parts
// the writer put into the zip, as bench_workbook's Export_xlsx floor is. Each run checks
// what it wrote.
#include "formats/Aiken.h"
#include "formats/Gift.h"
#include "formats/KahootSheet.h"
#include "formats/MoodleXml.h"
#include "formats/Qti21.h"
#include "paper/QuestionTable.h"

#include "BenchCases.h"
#include "BenchZip.h"

#include <QCoreApplication>
#include <zlib.h>

namespace {
const QuestionTable &benchPaper()
{
    static const std::unique_ptr<QuestionTable> table = fullPaper();
    return *table;
}

// How often a written file holds `marker`: the questions it carries.
qsizetype countOf(const QByteArray &bytes, const QByteArray &marker)
{
    qsizetype count = 0;
    for (qsizetype at = bytes.indexOf(marker); at >= 0; at = bytes.indexOf(marker, at + marker.size()))
        ++count;
    return count;
}

// Every question of the bench paper has three right options ("ACE"), so Moodle XML and
// GIFT carry all 250 and Aiken (one right letter only) none; the Aiken case therefore
// writes the same paper with its answers cut to one letter, "A".
const QuestionTable &oneRightPaper()
{
    static const std::unique_ptr<QuestionTable> table = [] {
        auto copy = std::make_unique<QuestionTable>();
        for (QuestionRow row : benchPaper().rows()) {
            row.Answer = QStringLiteral("A");
            // Aiken's texts are one line each: every line break becomes a space.
            for (QString *text : {&row.Title, &row.Items[0], &row.Items[1], &row.Items[2],
                                  &row.Items[3], &row.Items[4], &row.Items[5]}) {
                text->replace(QStringLiteral("\r\n"), QStringLiteral(" "));
                text->replace(u'\r', u' ').replace(u'\n', u' ');
            }
            copy->AppendRow(row);
        }
        return copy;
    }();
    return *table;
}

QString expectQuestions(const QByteArray &bytes, const QByteArray &marker, qsizetype questions)
{
    const qsizetype found = countOf(bytes, marker);
    return found == questions ? QString()
                              : QStringLiteral("%1 questions written, not %2").arg(found).arg(questions);
}

// The floor of one format: the texts between fixed pieces of markup.
struct FloorMarkup
{
    QByteArray head, beforeTitle, afterTitle, beforeOption, afterOption, afterQuestion, tail;
};

CaseRun floorRun(FloorMarkup markup, const QuestionTable &paper, const QByteArray &marker)
{
    return [markup = std::move(markup), &paper, marker]() -> QString {
        QByteArray out;
        out += markup.head;
        for (const QuestionRow &row : paper.rows()) {
            out += markup.beforeTitle;
            out += row.Title.toUtf8();
            out += markup.afterTitle;
            for (const QString &option : row.Items) {
                out += markup.beforeOption;
                out += option.toUtf8();
                out += markup.afterOption;
            }
            out += markup.afterQuestion;
        }
        out += markup.tail;
        benchmark::DoNotOptimize(out.data());
        return expectQuestions(out, marker, paper.RecordCount());
    };
}

// Whether a written zip carries every question: none left out, and at least one marker
// per question in its parts.
QString expectZipQuestions(const PlatformExport &written, const QByteArray &marker, qsizetype questions)
{
    if (!written.failure.isEmpty())
        return written.failure;
    for (const QString &loss : written.losses) {
        if (loss.contains(QStringLiteral("left out")))
            return loss;
    }
    qsizetype found = 0;
    for (const QByteArray &part : zipParts(written.bytes))
        found += countOf(part, marker);
    return found >= questions ? QString()
                              : QStringLiteral("%1 questions written, not %2").arg(found).arg(questions);
}

// Deflates every part as the zip writer must; the question count is checked on the parts.
CaseSetup deflateFloor(std::function<PlatformExport()> write, const QByteArray &marker, qsizetype questions)
{
    return [write, marker, questions]() -> CaseRun {
        const PlatformExport written = write();
        const std::vector<QByteArray> parts = zipParts(written.bytes);
        if (parts.empty() || !expectZipQuestions(written, marker, questions).isEmpty())
            return {};
        return [parts]() -> QString {
            for (const QByteArray &part : parts) {
                const QByteArray out = deflated(part);
                if (out.isEmpty())
                    return QStringLiteral("deflate failed");
                benchmark::DoNotOptimize(out.data());
            }
            return {};
        };
    };
}

// A zipped format's case: what it writes is unpacked and checked once, outside what is
// measured; each run checks that it wrote as many bytes again and left nothing out.
CaseSetup zipCase(std::function<PlatformExport()> write, const QByteArray &marker, qsizetype questions)
{
    return [write, marker, questions]() -> CaseRun {
        const PlatformExport first = write();
        if (!expectZipQuestions(first, marker, questions).isEmpty())
            return {};
        const qsizetype size = first.bytes.size();
        return [write, size]() -> QString {
            const PlatformExport written = write();
            if (!written.failure.isEmpty())
                return written.failure;
            for (const QString &loss : written.losses) {
                if (loss.contains(QStringLiteral("left out")))
                    return loss;
            }
            // The zip's dates are the only bytes that may differ from one run to the next.
            return written.bytes.size() == size ? QString() : QStringLiteral("a different package was written");
        };
    };
}

// The quiz-game sheet offers at most four answers, one line of 120 characters for the
// question and 75 for each answer; the bench paper cut to fit, so that every question
// is written.
const QuestionTable &fourOptionPaper()
{
    static const std::unique_ptr<QuestionTable> table = [] {
        auto copy = std::make_unique<QuestionTable>();
        for (QuestionRow row : benchPaper().rows()) {
            row.Title = row.Title.left(KahootQuestionLength);
            for (int i = 0; i < 6; ++i)
                row.Items[std::size_t(i)] = i < 4 ? row.Items[std::size_t(i)].left(KahootAnswerLength) : QString();
            row.Answer = QStringLiteral("AC");
            copy->AppendRow(row);
        }
        return copy;
    }();
    return *table;
}

const bool registered = [] {
    const qsizetype questions = MaxQuestions;
    addCase("MoodleXml250", [questions]() -> CaseRun {
        return [questions] {
            return expectQuestions(WriteMoodleXml(benchPaper(), QStringLiteral("Bench")).bytes,
                                   "<question type=\"multichoice\">", questions);
        };
    })->Unit(benchmark::kMicrosecond);
    addCase("MoodleXml250/floor", [] {
        return floorRun({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n",
                         "<question type=\"multichoice\"><questiontext format=\"html\"><text>",
                         "</text></questiontext>", "<answer fraction=\"33.33333\"><text>",
                         "</text></answer>", "</question>\n", "</quiz>\n"},
                        benchPaper(), "<question type=\"multichoice\">");
    })->Unit(benchmark::kMicrosecond);

    addCase("Gift250", [questions]() -> CaseRun {
        return [questions] {
            return expectQuestions(WriteGift(benchPaper(), QStringLiteral("Bench")).bytes,
                                   "::Question ", questions);
        };
    })->Unit(benchmark::kMicrosecond);
    addCase("Gift250/floor", [] {
        return floorRun({"$CATEGORY: Bench\n\n", "::Question ::", " {\n", "\t~%33.33333%", "\n",
                         "}\n\n", ""},
                        benchPaper(), "::Question ");
    })->Unit(benchmark::kMicrosecond);

    addCase("Aiken250", [questions]() -> CaseRun {
        return [questions] {
            return expectQuestions(WriteAiken(oneRightPaper()).bytes, "ANSWER: A\n", questions);
        };
    })->Unit(benchmark::kMicrosecond);
    addCase("Aiken250/floor", [] {
        return floorRun({"", "", "\n", "A. ", "\n", "ANSWER: A\n\n", ""}, oneRightPaper(),
                        "ANSWER: A\n");
    })->Unit(benchmark::kMicrosecond);

    // Every question of the package is one assessmentItem; every question of the sheet is
    // one row of its worksheet, below the template's headers.
    const QByteArray itemMarker = "<assessmentItem ";
    addCase("Qti21_250", zipCase([] { return WriteQti21Package(benchPaper(), QStringLiteral("Bench")); },
                                 itemMarker, questions))
        ->Unit(benchmark::kMicrosecond);
    addCase("Qti21_250/floor",
            deflateFloor([] { return WriteQti21Package(benchPaper(), QStringLiteral("Bench")); }, itemMarker, questions))
        ->Unit(benchmark::kMicrosecond);

    const QByteArray rowMarker = "<row ";
    const qsizetype sheetRows = questions + 1; // and the headers' row
    addCase("Kahoot250", zipCase([] { return WriteKahootSheet(fourOptionPaper()); }, rowMarker, sheetRows))
        ->Unit(benchmark::kMicrosecond);
    addCase("Kahoot250/floor", deflateFloor([] { return WriteKahootSheet(fourOptionPaper()); }, rowMarker, sheetRows))
        ->Unit(benchmark::kMicrosecond);
    return true;
}();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runBenchCases(argc, argv);
}

// The 250-question bench paper written in the learning platforms' text formats (Moodle
// XML, GIFT, Aiken), each beside its floor: the same texts (every title and option, as
// UTF-8) appended into one QByteArray with fixed markup between them and nothing escaped,
// the least any writer of that format must do. Each run checks what it wrote.
#include "formats/Aiken.h"
#include "formats/Gift.h"
#include "formats/MoodleXml.h"
#include "paper/QuestionTable.h"

#include "BenchCases.h"

#include <QCoreApplication>

namespace {
const QuestionTable &benchPaper()
{
    static const std::unique_ptr<QuestionTable> table = fullPaper();
    return *table;
}

// The titles and options of the paper as UTF-8, converted once outside what is measured.
struct PaperTexts
{
    std::vector<QByteArray> titles;
    std::vector<std::array<QByteArray, 6>> options;
};

PaperTexts textsOf(const QuestionTable &table)
{
    PaperTexts t;
    for (const QuestionRow &row : table.rows()) {
        t.titles.push_back(row.Title.toUtf8());
        std::array<QByteArray, 6> options;
        for (int i = 0; i < 6; ++i)
            options[std::size_t(i)] = row.Items[std::size_t(i)].toUtf8();
        t.options.push_back(options);
    }
    return t;
}

const PaperTexts &paperTexts()
{
    static const PaperTexts texts = textsOf(benchPaper());
    return texts;
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

CaseRun floorRun(FloorMarkup markup, const PaperTexts &texts, const QByteArray &marker)
{
    return [markup = std::move(markup), &texts, marker]() -> QString {
        QByteArray out;
        out += markup.head;
        for (std::size_t q = 0; q < texts.titles.size(); ++q) {
            out += markup.beforeTitle;
            out += texts.titles[q];
            out += markup.afterTitle;
            for (const QByteArray &option : texts.options[q]) {
                out += markup.beforeOption;
                out += option;
                out += markup.afterOption;
            }
            out += markup.afterQuestion;
        }
        out += markup.tail;
        benchmark::DoNotOptimize(out.data());
        return expectQuestions(out, marker, qsizetype(texts.titles.size()));
    };
}

const PaperTexts &oneRightTexts()
{
    static const PaperTexts texts = textsOf(oneRightPaper());
    return texts;
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
                        paperTexts(), "<question type=\"multichoice\">");
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
                        paperTexts(), "::Question ");
    })->Unit(benchmark::kMicrosecond);

    addCase("Aiken250", [questions]() -> CaseRun {
        return [questions] {
            return expectQuestions(WriteAiken(oneRightPaper()).bytes, "ANSWER: A\n", questions);
        };
    })->Unit(benchmark::kMicrosecond);
    addCase("Aiken250/floor", [] {
        return floorRun({"", "", "\n", "A. ", "\n", "ANSWER: A\n\n", ""}, oneRightTexts(),
                        "ANSWER: A\n");
    })->Unit(benchmark::kMicrosecond);

    // The packaged formats (the QTI 2.1 package and the quiz-game sheet, both zip files)
    // go here, each beside a floor of zlib's compress2 over the same XML parts at the
    // default level, as bench_workbook's Export_xlsx floor does.
    return true;
}();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runBenchCases(argc, argv);
}

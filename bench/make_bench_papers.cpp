// Writes COUNT paper files of the bench paper (bench/BenchPaper.h) into FOLDER, the inputs
// of the batch conversions: paper-0001.csv ... with 1 to 250 questions, the same sizes on
// every run (question count of file i: 1 + (97 i) mod 250, so 250 files in a row take
// every size once). With --refused, file number COUNT/2 is not a paper (a text without the
// header line), as a batch must refuse it and name it.
// Usage: make_bench_papers [--refused] FOLDER COUNT
#include "paper/PaperFiles.h"

#include "BenchPaper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <map>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool refused = args.removeAll(QStringLiteral("--refused")) > 0;
    bool isNumber = false;
    const int count = args.size() == 2 ? args[1].toInt(&isNumber) : 0;
    if (!isNumber || count < 1) {
        std::fprintf(stderr, "usage: make_bench_papers [--refused] FOLDER COUNT\n");
        return 2;
    }
    const QDir folder(args[0]);
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    std::map<int, std::unique_ptr<QuestionTable>> papers; // one table of each size
    for (int i = 1; i <= count; ++i) {
        const QString path = folder.filePath(QStringLiteral("paper-%1.csv").arg(i, 4, 10, QChar(u'0')));
        if (refused && i == (count + 1) / 2) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write("not a paper\r\n") < 0) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
                return 1;
            }
            continue;
        }
        const int questions = 1 + (97 * i) % MaxQuestions;
        auto &paper = papers[questions];
        if (!paper)
            paper = paperOf(questions);
        if (const Result<void> written = WritePaper(*paper, path); !written) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(written.error().text()));
            return 1;
        }
    }
    return 0;
}

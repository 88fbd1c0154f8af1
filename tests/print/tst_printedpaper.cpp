// The printed paper, read back from its PDF with poppler's pdftotext, a reader of its own.
#include "QuestionList.h"
#include "core/AnswerEncoding.h"
#include "print/KeysCsv.h"
#include "print/PaperPdf.h"
#include "print/PaperVersions.h"
#include "paper/PaperRecipes.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <map>

namespace {
// 250 questions with texts of lower-case words, empty options here and there, and answers
// of one letter, several letters and none.
std::vector<Question> fullPaper()
{
    std::vector<Question> paper;
    for (int k = 1; k <= 250; ++k) {
        Question q;
        q.title = QStringLiteral("question %1 asks about item %2").arg(k).arg(k * 7 % 13);
        AnswerMask mask = 0;
        for (int i = 0; i < 6; ++i) {
            const bool empty = (i == 2 && k % 3 == 0) || (i == 5 && k % 2 == 0) || (i == 4 && k % 5 == 0);
            if (!empty) {
                q.options[std::size_t(i)] = QStringLiteral("option %1 of %2").arg(QChar(u'a' + i)).arg(k);
                if ((k * (i + 3)) % 4 == 0)
                    mask |= AnswerMask(1u << i);
            }
        }
        q.answer = AnswerMaskToText(k % 11 == 0 ? 0 : mask);
        q.mark = k % 7;
        paper.push_back(q);
    }
    return paper;
}

struct PdfText
{
    QStringList pages;
    QString error;
};

PdfText pdfText(const QByteArray &pdf)
{
    PdfText text;
    QTemporaryDir folder;
    QFile file(folder.filePath("paper.pdf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size()) {
        text.error = "cannot write the PDF";
        return text;
    }
    file.close();
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file.fileName(), QStringLiteral("-")});
    if (!reader.waitForFinished(120000) || reader.exitCode() != 0) {
        text.error = "pdftotext failed: " + QString::fromUtf8(reader.readAllStandardError());
        return text;
    }
    text.pages = QString::fromUtf8(reader.readAllStandardOutput()).split(u'\f');
    if (!text.pages.isEmpty() && text.pages.last().trimmed().isEmpty())
        text.pages.removeLast();
    return text;
}

// What a version's pages say: its questions' titles and options in printed order, and
// its key's answers and marks.
struct ReadVersion
{
    QStringList titles;
    std::vector<std::vector<std::pair<QChar, QString>>> options; // (letter, text) per question
    QStringList keyAnswers;
    QList<int> keyMarks;
};

std::map<QChar, ReadVersion> readVersions(const QStringList &pages)
{
    static const QRegularExpression footer(QStringLiteral("(Answer key, )?Version ([A-Z]) \u2014 Page (\\d+) of (\\d+)"));
    static const QRegularExpression questionLine(QStringLiteral("^\\s*(\\d+)\\.\\s+(\\S.*?)\\s*$"));
    static const QRegularExpression optionLine(QStringLiteral("^\\s*([A-F])\\.(?:\\s+(\\S.*?))?\\s*$"));
    static const QRegularExpression keyLine(QStringLiteral("^\\s*(\\d+)\\s+([A-F]+|Uncertain)\\s+(\\d+)\\s*$"));
    std::map<QChar, ReadVersion> versions;
    for (const QString &page : pages) {
        const QRegularExpressionMatch where = footer.match(page);
        if (!where.hasMatch())
            continue;
        ReadVersion &version = versions[where.captured(2).at(0)];
        const bool key = !where.captured(1).isEmpty();
        for (const QString &line : page.split(u'\n')) {
            if (key) {
                const QRegularExpressionMatch row = keyLine.match(line);
                if (row.hasMatch()) {
                    version.keyAnswers << row.captured(2);
                    version.keyMarks << row.captured(3).toInt();
                }
                continue;
            }
            if (const QRegularExpressionMatch option = optionLine.match(line); option.hasMatch()) {
                version.options.back().push_back({option.captured(1).at(0), option.captured(2)});
            } else if (const QRegularExpressionMatch question = questionLine.match(line); question.hasMatch()) {
                version.titles << question.captured(2);
                version.options.emplace_back();
            }
        }
    }
    return versions;
}

// The answer the key must give: the paper's letters mapped through the printed order.
QString expectedAnswer(const Question &source, const std::vector<std::pair<QChar, QString>> &printed)
{
    const AnswerMask mask = AnswerTextToMask(source.answer);
    if (mask == 0)
        return UncertainAnswerText;
    QString letters;
    for (const auto &[letter, text] : printed) {
        for (int i = 0; i < 6; ++i) {
            if (source.options[std::size_t(i)] == text && (mask & (1u << i)))
                letters += letter;
        }
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

int sourceOf(const std::vector<Question> &paper, const QString &title)
{
    for (int k = 0; k < int(paper.size()); ++k) {
        if (paper[std::size_t(k)].title == title)
            return k;
    }
    return -1;
}
} // namespace

class TestPrintedPaper : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QFAIL("pdftotext (poppler-utils) is needed to read the PDF back; tools/install-deps.sh installs it");
    }

    // The generator is SplitMix64 as published: its first outputs for seed 0 are the
    // reference values, so every build draws the same versions.
    void generatorIsSplitMix64()
    {
        SplitMix64 random(0);
        QCOMPARE(random.next(), 0xE220A8397B1DCDAFull);
        QCOMPARE(random.next(), 0x6E789E6AA1B965F4ull);
        QCOMPARE(random.next(), 0x06C45D188009454Full);
        SplitMix64 bounded(7);
        for (int i = 0; i < 1000; ++i)
            QVERIFY(bounded.below(6) < 6);
    }

    // Version A unshuffled is the paper as it stands: its order, its options' own
    // letters, empty options left out; and an answer naming an empty option keeps it.
    void unshuffledVersionIsThePaper()
    {
        const std::vector<Question> paper = {
            {"first\nsecond line", {"one", "two", "", "four", "", ""}, "D", 3},
            {"asks", {"", "x", "", "", "", "y"}, "AF", 4},
        };
        const auto table = tableOf(paper);
        const PdfText text = pdfText(PaperPdfBytes(*table, "Sample", {PrintPart::Paper, 1, 1, ShuffleMode::None}));
        QVERIFY2(text.error.isEmpty(), qPrintable(text.error));
        const QString all = text.pages.join(u'\n');
        QVERIFY(all.contains("Sample"));
        QVERIFY(all.contains("2 questions \u00B7 Total mark 7"));
        QVERIFY(!all.contains("Version A\n")); // one version: no version in the header
        QVERIFY(all.contains("Version A \u2014 Page 1 of 1"));
        const std::map<QChar, ReadVersion> read = readVersions(text.pages);
        const ReadVersion &a = read.at(u'A');
        QCOMPARE(a.titles, (QStringList{"first", "asks"}));
        QVERIFY(all.contains("second line"));
        using Options = std::vector<std::pair<QChar, QString>>;
        QVERIFY(a.options[0] == (Options{{u'A', "one"}, {u'B', "two"}, {u'D', "four"}}));
        QCOMPARE(a.options[1].front().first, u'A'); // empty, but the answer names it
        QVERIFY(a.options[1].size() == 3);
        QVERIFY(!all.contains("Choose all that apply.\n      A.   one"));
        QCOMPARE(all.count("Choose all that apply."), 1);
        QVERIFY(!all.contains("Answer key"));
    }

    // 26 versions of a full paper with both shuffles: every title and option appears in
    // each version, no answer on the paper pages, and each key's letters are the paper's
    // answer read through that version's printed order. The keys CSV says the same.
    void everyVersionsKeyMatchesItsPaper()
    {
        const std::vector<Question> paper = fullPaper();
        const auto table = tableOf(paper);
        const PrintOptions options{PrintPart::Both, 26, 20261210, ShuffleMode::Both};
        const PdfText text = pdfText(PaperPdfBytes(*table, "Full", options));
        QVERIFY2(text.error.isEmpty(), qPrintable(text.error));
        const std::map<QChar, ReadVersion> read = readVersions(text.pages);
        QCOMPARE(int(read.size()), 26);

        const QStringList csv = QString::fromUtf8(KeysCsv(*table, options)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(csv.first(), QStringLiteral("Version,Question,Source Question,Answer,Mark,Option Order"));
        QCOMPARE(csv.size(), 1 + 26 * 250);
        int csvLine = 1;
        QStringList firstOrders;
        for (const auto &[letter, version] : read) {
            QCOMPARE(version.titles.size(), 250);
            QCOMPARE(version.keyAnswers.size(), 250);
            QStringList sorted = version.titles;
            sorted.sort();
            QStringList want;
            for (const Question &q : paper)
                want << q.title;
            want.sort();
            QCOMPARE(sorted, want);
            firstOrders << version.titles.first();
            for (int n = 0; n < 250; ++n) {
                const int source = sourceOf(paper, version.titles[n]);
                QVERIFY(source >= 0);
                const Question &q = paper[std::size_t(source)];
                const auto &printed = version.options[std::size_t(n)];
                int nonEmpty = 0;
                for (const QString &option : q.options)
                    nonEmpty += option.isEmpty() ? 0 : 1;
                QCOMPARE(int(printed.size()), nonEmpty);
                for (int place = 0; place < int(printed.size()); ++place)
                    QCOMPARE(printed[std::size_t(place)].first, QChar(u'A' + place));
                QCOMPARE(version.keyAnswers[n], expectedAnswer(q, printed));
                QCOMPARE(version.keyMarks[n], q.mark);

                QString order;
                for (const auto &[printedLetter, optionText] : printed) {
                    for (int i = 0; i < 6; ++i) {
                        if (q.options[std::size_t(i)] == optionText)
                            order += QChar(u'A' + i);
                    }
                }
                QCOMPARE(csv[csvLine++], QStringLiteral("%1,%2,%3,%4,%5,%6").arg(letter).arg(n + 1)
                                             .arg(source + 1).arg(version.keyAnswers[n]).arg(q.mark).arg(order));
            }
        }
        QVERIFY(firstOrders.removeDuplicates() < 20); // the versions differ from each other

        // The paper pages name no answer: no "Uncertain", no multi-letter answer.
        for (const QString &page : text.pages) {
            if (page.contains("Answer key"))
                continue;
            QVERIFY(!page.contains("Uncertain"));
            for (const QString &token : page.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
                QVERIFY2(!QRegularExpression("^[A-F]{2,6}$").match(token).hasMatch(), qPrintable(token));
        }
    }

    void sameSeedSameVersions()
    {
        const auto table = tableOf(fullPaper());
        const PrintOptions options{PrintPart::Both, 3, 99, ShuffleMode::Both};
        const PdfText first = pdfText(PaperPdfBytes(*table, "Again", options));
        const PdfText second = pdfText(PaperPdfBytes(*table, "Again", options));
        QVERIFY(first.error.isEmpty() && second.error.isEmpty());
        QCOMPARE(first.pages, second.pages);
        PrintOptions other = options;
        other.seed = 100;
        QVERIFY(pdfText(PaperPdfBytes(*table, "Again", other)).pages != first.pages);
    }

    // Texts of every script the editor shows are printed as text.
    void printsEveryScript_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("option");
        QTest::newRow("Chinese") << QStringLiteral("\u54EA\u4E2A\u662F\u6B63\u786E\u7684\u7B54\u6848") << QStringLiteral("\u6C34");
        QTest::newRow("Japanese") << QStringLiteral("\u3069\u308C\u304C\u6B63\u3057\u3044\u3067\u3059\u304B") << QStringLiteral("\u30CD\u30B3");
        QTest::newRow("Cyrillic") << QStringLiteral("\u041A\u0430\u043A\u043E\u0439 \u043E\u0442\u0432\u0435\u0442 \u0432\u0435\u0440\u043D\u044B\u0439") << QStringLiteral("\u0432\u043E\u0434\u0430");
        QTest::newRow("Greek and accents") << QStringLiteral("\u03A0\u03BF\u03B9\u03BF \u00E9l\u00E8ve na\u00EFve") << QStringLiteral("\u00DF\u00FC\u00F1");
    }
    void printsEveryScript()
    {
        QFETCH(QString, title);
        QFETCH(QString, option);
        const auto table = tableOf({{title, {option, "other", "", "", "", ""}, "A", 5}});
        const PdfText text = pdfText(PaperPdfBytes(*table, "Scripts", {}));
        QVERIFY2(text.error.isEmpty(), qPrintable(text.error));
        const QString all = text.pages.join(u'\n');
        QVERIFY2(all.contains(title), qPrintable(all));
        QVERIFY2(all.contains(option), qPrintable(all));
    }

    // Letter where the locale measures in US units, A4 elsewhere; margins of 15 mm.
    void pageSizeFollowsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("size");
        QTest::newRow("en_US") << "en_US" << "(letter)";
        QTest::newRow("de_DE") << "de_DE" << "(A4)";
        QTest::newRow("zh_CN") << "zh_CN" << "(A4)";
    }
    void pageSizeFollowsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, size);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        const auto table = tableOf({{"title", {"a", "b", "", "", "", ""}, "A", 1}});
        const QByteArray pdf = PaperPdfBytes(*table, "Size", {});
        QLocale::setDefault(previous);
        QTemporaryDir folder;
        QFile file(folder.filePath("size.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pdf);
        file.close();
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {file.fileName()});
        QVERIFY(info.waitForFinished(30000));
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        const QRegularExpression pageSize(QStringLiteral("Page size:\\s+[\\d.]+ x [\\d.]+ pts ") + QRegularExpression::escape(size));
        QVERIFY2(pageSize.match(out).hasMatch(), qPrintable(out));
    }

    // A question never breaks across pages unless it is taller than a page; a title too
    // long for a page goes on over the next, whole.
    void questionsKeepTogether()
    {
        std::vector<Question> paper;
        for (int k = 1; k <= 40; ++k)
            paper.push_back({QStringLiteral("title %1").arg(k), {QStringLiteral("first %1").arg(k), "b", "c", "d",
                                                                 "e", QStringLiteral("last %1").arg(k)}, "A", 1});
        QString longTitle;
        for (int word = 0; word < 1500; ++word)
            longTitle += QStringLiteral("w%1 ").arg(word);
        paper.push_back({longTitle.trimmed(), {"tail option", "", "", "", "", ""}, "A", 1});
        const auto table = tableOf(paper);
        const PdfText text = pdfText(PaperPdfBytes(*table, "Pages", {PrintPart::Paper, 1, 1, ShuffleMode::None}));
        QVERIFY2(text.error.isEmpty(), qPrintable(text.error));
        for (int k = 1; k <= 40; ++k) {
            int firstPage = -1, lastPage = -1;
            for (int p = 0; p < text.pages.size(); ++p) {
                if (text.pages[p].contains(QStringLiteral("title %1\n").arg(k)))
                    firstPage = p;
                if (text.pages[p].contains(QStringLiteral("last %1\n").arg(k)))
                    lastPage = p;
            }
            QVERIFY(firstPage >= 0);
            QCOMPARE(lastPage, firstPage);
        }
        const QString all = text.pages.join(u'\n');
        QVERIFY(all.contains("w0 ") && all.contains("w1499") && all.contains("tail option"));
        const int pages = int(text.pages.size());
        QVERIFY(text.pages.last().contains(QStringLiteral("Page %1 of %1").arg(pages)));
    }
};

QTEST_MAIN(TestPrintedPaper)
#include "tst_printedpaper.moc"

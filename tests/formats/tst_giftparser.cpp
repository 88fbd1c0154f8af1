// GIFT read back by a parser that is not ours: gift-pegjs, run with node
// (tests/formats/parse_gift.js), installed into the build tree from tools/node. What it
// reads must be the paper: the category, each question's name and title, its options in
// order, which are right and their weights. Without node or the parser the test fails:
// the build installs both.
#include "QuestionList.h"
#include "formats/Gift.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString PaperName = QStringLiteral("Week 1: {A} & <B> ~ = # \\ \u4E2D\u6587");

// Every special character of GIFT and XML, line breaks of each kind, CJK, six options,
// one and several right letters, no answer, marks 0 and 250, an empty option, and texts
// that start as a weight or a format would.
std::vector<Question> hardPaper()
{
    return {
        {"a < b & \"c\" > 'd' ~ = # { } : \\ end\r\nsecond line \u4E2D\u6587\nthird\rfourth",
         {"x<y", "p&q", "{z}", "~w", "=v", "#u"}, "B", 250, 30},
        {"several: ~ = # { } : \\ \u4E2D\u6587", {"one", "two", "", "four", "five", "six"}, "ADE", 0, 1},
        {"none set", {"a", "b", "", "", "", ""}, "Uncertain", 5, 15},
        {"::not a name:: // nor a comment {T}", {"a\\", "\\n stays", "", "", "", ""}, "A", 7, 15},
        {"[html]<b>kept as typed</b>", {"%50%off", "%-100%x", "[plain]y", "", "", ""}, "C", 9, 15},
        {"all six right", {"1", "2", "3", "4", "5", "6"}, "ABCDEF", 1, 15},
        {"%25% weights in several", {"%50% right", "[markdown]*wrong*", "=right", "", "", ""}, "AC", 2, 15},
        // GIFT reads a lone =answer as a short-answer question.
        {"one option only", {"", "", "the only one", "", "", ""}, "C", 3, 15},
    };
}

// The title as the writer carries it: every line break becomes one \n.
QString withNewlines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(u'\r', u'\n');
}

double share(int parts, bool right)
{
    const double value = 100.0 / parts;
    return right ? value : -value;
}
} // namespace

class TestGiftParser : public QObject
{
    Q_OBJECT

    QJsonArray parsed_;
    QString parserName_;

private slots:
    void initTestCase()
    {
        QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
        if (node.isEmpty())
            node = QStandardPaths::findExecutable(QStringLiteral("nodejs"));
        if (node.isEmpty())
            QFAIL("node is not installed: tools/install-deps.sh installs nodejs (tools/debian-packages.txt)");
        if (!QFile::exists(QStringLiteral(NODE_MODULES_DIR "/gift-pegjs/package.json")))
            QFAIL("gift-pegjs is not in " NODE_MODULES_DIR ": the build installs it with npm "
                  "(target node_checkers; tools/install-deps.sh installs npm)");

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const auto table = tableOf(hardPaper());
        QFile file(folder.filePath(QStringLiteral("paper.gift")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(WriteGift(*table, PaperName).bytes);
        file.close();

        QProcess parser;
        parser.start(node, {QStringLiteral(GIFT_PARSE_SCRIPT), QStringLiteral(NODE_MODULES_DIR), file.fileName()});
        QVERIFY2(parser.waitForFinished(60000), "node did not finish");
        const QString errors = QString::fromUtf8(parser.readAllStandardError());
        QVERIFY2(parser.exitStatus() == QProcess::NormalExit && parser.exitCode() == 0, qPrintable(errors));
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(parser.readAllStandardOutput(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        parserName_ = json[QStringLiteral("parser")].toString();
        parsed_ = json[QStringLiteral("questions")].toArray();
        qInfo("read by %s", qPrintable(parserName_));
    }

    // The category first, then only the questions with a right option, in order.
    void categoryAndQuestions()
    {
        QVERIFY(!parsed_.isEmpty());
        const QJsonObject category = parsed_[0].toObject();
        QCOMPARE(category[QStringLiteral("type")].toString(), QStringLiteral("Category"));
        QCOMPARE(category[QStringLiteral("title")].toString(), PaperName);
        QStringList names;
        for (qsizetype i = 1; i < parsed_.size(); ++i)
            names << parsed_[i][QStringLiteral("title")].toString();
        QCOMPARE(names, (QStringList{"Question 1", "Question 2", "Question 4", "Question 5",
                                     "Question 6", "Question 7", "Question 8"}));
    }

    void questionReadsBack_data()
    {
        QTest::addColumn<int>("number");
        for (int number : {1, 2, 4, 5, 6, 7, 8})
            QTest::addRow("question %d", number) << number;
    }
    void questionReadsBack()
    {
        QFETCH(int, number);
        QJsonObject read;
        for (const QJsonValue &q : std::as_const(parsed_)) {
            if (q[QStringLiteral("title")].toString() == QStringLiteral("Question %1").arg(number))
                read = q.toObject();
        }
        QVERIFY2(!read.isEmpty(), "the question was not read");
        const Question written = hardPaper()[std::size_t(number - 1)];

        QCOMPARE(read[QStringLiteral("type")].toString(), QStringLiteral("MC"));
        const QJsonObject stem = read[QStringLiteral("stem")].toObject();
        QCOMPARE(stem[QStringLiteral("text")].toString(), withNewlines(written.title));
        QCOMPARE(stem[QStringLiteral("format")].toString(), QStringLiteral("moodle"));

        QStringList texts, expectedTexts;
        QList<bool> correct, expectedCorrect;
        QList<double> weights, expectedWeights; // NaN: no weight written
        int right = 0, offered = 0;
        for (int i = 0; i < 6; ++i) {
            if (!written.options[std::size_t(i)].isEmpty()) {
                ++offered;
                right += written.answer.contains(QChar(u'A' + i)) ? 1 : 0;
            }
        }
        for (int i = 0; i < 6; ++i) {
            const QString &option = written.options[std::size_t(i)];
            if (option.isEmpty())
                continue;
            const bool isRight = written.answer.contains(QChar(u'A' + i));
            expectedTexts << option;
            if (offered == 1) {
                // The one option is ~%100%, which keeps the question a multiple choice.
                expectedCorrect << false;
                expectedWeights << 100.0;
            } else if (right == 1) {
                // = for the right option, ~ for the others; a text starting with % is given
                // its weight, 100 or 0.
                expectedCorrect << isRight;
                expectedWeights << (option.startsWith(u'%') ? (isRight ? 100.0 : 0.0) : qQNaN());
            } else {
                expectedCorrect << false; // every option is ~ with its weight
                expectedWeights << share(isRight ? right : offered - right, isRight);
            }
        }
        for (const QJsonValue &choice : read[QStringLiteral("choices")].toArray()) {
            texts << choice[QStringLiteral("text")][QStringLiteral("text")].toString();
            correct << choice[QStringLiteral("isCorrect")].toBool();
            const QJsonValue weight = choice[QStringLiteral("weight")];
            weights << (weight.isNull() ? qQNaN() : weight.toDouble());
        }
        QCOMPARE(texts, expectedTexts);
        QCOMPARE(correct, expectedCorrect);
        QCOMPARE(weights.size(), expectedWeights.size());
        for (qsizetype i = 0; i < weights.size(); ++i) {
            if (qIsNaN(expectedWeights[i]))
                QVERIFY2(qIsNaN(weights[i]), qPrintable(QStringLiteral("option %1 has a weight").arg(i + 1)));
            else
                QVERIFY2(qAbs(weights[i] - expectedWeights[i]) < 1e-4,
                         qPrintable(QStringLiteral("option %1: weight %2, not %3")
                                        .arg(i + 1).arg(weights[i]).arg(expectedWeights[i])));
        }
    }
};

QTEST_GUILESS_MAIN(TestGiftParser)
#include "tst_giftparser.moc"

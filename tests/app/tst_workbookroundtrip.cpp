// A paper file taken through a workbook and back with paperconv comes back byte for byte.
#include "paper/PaperFileWriter.h"
#include "paper/QuestionTable.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Exit code and messages of one paperconv run; -1 when it did not end normally.
std::pair<int, QString> paperconv(const QString &in, const QString &out)
{
    QProcess process;
    process.start(QStringLiteral(PAPERCONV_PATH), {in, out});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("paperconv did not finish")};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Texts that a careless writer or reader would change.
const QStringList HardTexts = {
    QStringLiteral("Comma, and \"double quotes\""),
    QStringLiteral("Line one\r\nline two\nline three"),
    QStringLiteral("  leading and trailing spaces  "),
    QStringLiteral("Gr\u00f6\u00dfe \u00e9t\u00e9 \u0152uvre \u20ac"),
    QStringLiteral("\u4e2d\u6587\u6c49\u5b57\uff0c\u65e5\u672c\u8a9e \U0001F600"),
    QStringLiteral("Tab\there, _x0041_ stays as typed"),
    QString(),
};

QByteArray paperFile(int questions, int titleLength)
{
    QuestionTable table;
    const QString answers[] = {QStringLiteral("A"), QStringLiteral("BDF"),
                               QStringLiteral("Uncertain"), QStringLiteral("ABCDEF")};
    for (int k = 1; k <= questions; ++k) {
        table.AddNew();
        table.setField(QuestionField::QuestionNo, k);
        table.setField(QuestionField::Score, k % 251);
        table.setField(QuestionField::TimeLimit, 1 + k % 250);
        table.setField(QuestionField::Answer, answers[k % 4]);
        QString title = HardTexts[k % HardTexts.size()] + QStringLiteral(" #%1 ").arg(k);
        for (int i = k; title.size() < titleLength; ++i)
            title += HardTexts[i % (HardTexts.size() - 1)]; // never the empty one
        if (titleLength > 0) {
            title.truncate(titleLength);
            if (title.back().isHighSurrogate())
                title.chop(1); // no half of an emoji
        }
        table.setField(QuestionField::Title, title);
        for (int i = 0; i < 6; ++i)
            table.setField(OptionField(i), HardTexts[(k + i) % HardTexts.size()]);
        table.Update();
    }
    return FormatPaperFile(table);
}
} // namespace

class TestWorkbookRoundTrip : public QObject
{
    Q_OBJECT
private slots:
    void paperFileSurvivesAWorkbook_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("titleLength");
        for (const char *extension : {"xls", "xlsx"}) {
            QTest::addRow("%s, hard texts", extension) << extension << 14 << 0;
            QTest::addRow("%s, 250 questions", extension) << extension << 250 << 250;
        }
        // The .xls reader gets back whole texts of up to about 8,000 characters beyond
        // Latin-1; .xlsx keeps any text a cell holds.
        QTest::addRow("xls, long titles") << "xls" << 12 << 8000;
        QTest::addRow("xlsx, long titles") << "xlsx" << 12 << 30000;
    }
    void paperFileSurvivesAWorkbook()
    {
        QFETCH(QString, extension);
        QFETCH(int, questions);
        QFETCH(int, titleLength);
        QTemporaryDir dir;
        const QString original = dir.filePath("original.csv");
        const QByteArray bytes = paperFile(questions, titleLength);
        {
            QFile file(original);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const QString workbook = dir.filePath("paper." + extension);
        const QString back = dir.filePath("back.csv");
        QCOMPARE(paperconv(original, workbook), std::make_pair(0, QString()));
        // Reading the workbook back says what it read, and nothing more: no row left
        // behind, no value changed.
        const QString said = QStringLiteral("paperconv: %1: ").arg(workbook);
        QCOMPARE(paperconv(workbook, back),
                 std::make_pair(0, QStringLiteral("%1%2 questions, from rows 2-%3 of sheet \"Sheet1\".\n"
                                                  "%1The questions end at row %4: the Question NO and Mark cells are empty.\n")
                                       .arg(said)
                                       .arg(questions)
                                       .arg(questions + 1)
                                       .arg(questions + 2)));
        QCOMPARE(bytesOf(back), bytes);
    }
};

QTEST_GUILESS_MAIN(TestWorkbookRoundTrip)
#include "tst_workbookroundtrip.moc"

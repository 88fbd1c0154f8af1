#include "print/KeysCsv.h"

#include "paper/QuestionTable.h"

QByteArray KeysCsv(const QuestionTable &paper, const PrintOptions &options)
{
    QByteArray csv = "Version,Question,Source Question,Answer,Mark,Option Order\r\n";
    for (const PaperVersion &version : MakeVersions(paper, options.versions, options.seed, options.shuffle)) {
        int number = 1;
        for (const PrintedQuestion &question : version.questions) {
            const QuestionRow &row = paper.row(question.sourceIndex);
            csv += QStringLiteral("%1,%2,%3,%4,%5,%6\r\n")
                       .arg(version.letter)
                       .arg(number++)
                       .arg(question.sourceIndex + 1)
                       .arg(question.printedAnswer(row))
                       .arg(row.Score)
                       .arg(question.sourceLetters())
                       .toUtf8();
        }
    }
    return csv;
}

#include "paper/XlsExportLosses.h"

#include "core/PaperColumns.h"
#include "paper/QuestionTable.h"
#include "workbook/Biff8SharedStrings.h"

namespace {
constexpr int MostListed = 20;
}

QStringList XlsExportLosses(const QuestionTable &table)
{
    QStringList lines;
    int unlisted = 0;
    for (const QuestionRow &row : table.rows()) {
        for (const PaperColumn &column : PaperColumns) {
            if (column.isInteger)
                continue;
            const QString text = row.value(column.field).toString();
            if (Biff8SharedStrings::readsBackWhole(text))
                continue;
            if (lines.size() == MostListed) {
                ++unlisted;
                continue;
            }
            lines << QStringLiteral("Question %1, %2: %3 characters are more than an .xls "
                                    "workbook can give back.")
                         .arg(row.QuestionNo)
                         .arg(column.header)
                         .arg(text.size());
        }
    }
    if (unlisted > 0)
        lines << QStringLiteral("And %1 more.").arg(unlisted);
    if (!lines.isEmpty())
        lines << QStringLiteral("Use an .xlsx workbook for such long texts.");
    return lines;
}

#include "core/PaperColumns.h"

namespace {
constexpr bool everyFieldHasOneColumn()
{
    for (int field = 0; field < QuestionFieldCount; ++field) {
        int columns = 0;
        for (const PaperColumn &column : PaperColumns)
            columns += int(column.field) == field ? 1 : 0;
        if (columns != 1)
            return false;
    }
    return true;
}
static_assert(everyFieldHasOneColumn());
} // namespace

std::optional<QuestionField> QuestionFieldByName(QStringView name)
{
    for (const PaperColumn &column : PaperColumns) {
        if (name.compare(column.fieldName, Qt::CaseInsensitive) == 0)
            return column.field;
    }
    return std::nullopt;
}

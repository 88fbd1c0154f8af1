#pragma once

#include <QLatin1StringView>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>

// The fields of a question, in the order the question table's schema lists them.
enum class QuestionField {
    QuestionNo, Score, TimeLimit, Answer, Title, ItemA, ItemB, ItemC, ItemD, ItemE, ItemF
};
inline constexpr int QuestionFieldCount = 11;

constexpr QuestionField OptionField(int index) // 0 -> ItemA ... 5 -> ItemF
{
    return QuestionField(int(QuestionField::ItemA) + index);
}

// A field's attributes in the question table's schema.
inline constexpr int RowIdentifierAttribute = 0x100;
inline constexpr int NullableAttribute = 0x20;

// One field as every view of a paper shows it: a column of the paper file, of the sheet
// and of the editor's grid, which all keep the same order.
struct PaperColumn
{
    QuestionField field;
    QLatin1StringView fieldName;     // the field's name in the question table
    QLatin1StringView header;        // the column's header in the paper file and the sheet
    QLatin1StringView gridCaption;   // the grid's caption, as the window sets it
    QLatin1StringView designCaption; // the grid's caption until the window sets its own
    int gridWidthTwips;              // the grid column's width on the reference screen
    bool gridWidthScales;            // whether that width follows the screen's scale
    double sheetWidth;               // the sheet column's width, in characters
    bool isInteger;                  // a 32-bit signed integer; otherwise Unicode text
    int attributes;                  // RowIdentifierAttribute, NullableAttribute
};

inline constexpr int PaperColumnCount = QuestionFieldCount;

namespace PaperColumnTable {
// A function, so that the _L1 literals need no using-directive in every includer.
constexpr std::array<PaperColumn, PaperColumnCount> columns()
{
    using namespace Qt::StringLiterals;
    using F = QuestionField;
    constexpr int Id = RowIdentifierAttribute;
    constexpr int Null = NullableAttribute;
    return {{
        // field, name, header, grid caption, design caption, twips, scales, sheet width,
        // integer, attributes
        {F::QuestionNo, "QuestionNo"_L1, "Question NO"_L1, "NO."_L1, "NO."_L1,
         1155, true, 6, true, Id},
        {F::Score, "Score"_L1, "Mark"_L1, "Mark"_L1, "Mark"_L1, 1260, true, 6, true, Null},
        {F::Answer, "Answer"_L1, "Answer"_L1, "Answer"_L1, "Answer"_L1,
         1500, true, 6, false, Null},
        {F::Title, "Title"_L1, "Question Title"_L1, "Question tile"_L1,
         "              Question Tile"_L1, 3750, true, 30, false, Null},
        {F::TimeLimit, "TimeLimit"_L1, "Time Limit"_L1, "Time limit"_L1, "Time Limit"_L1,
         795, true, 6, true, Null},
        {F::ItemA, "ItemA"_L1, "Option A"_L1, "OptionA"_L1, "  Option A"_L1,
         1050, true, 13, false, Null},
        {F::ItemB, "ItemB"_L1, "Option B"_L1, "OptionB"_L1, "  Option B"_L1,
         1035, true, 13, false, Null},
        {F::ItemC, "ItemC"_L1, "Option C"_L1, "OptionC"_L1, "  Option C"_L1,
         1080, true, 13, false, Null},
        {F::ItemD, "ItemD"_L1, "Option D"_L1, "OptionD"_L1, "  Option D"_L1,
         1050, true, 13, false, Null},
        // The last two grid columns keep their design widths on any screen.
        {F::ItemE, "ItemE"_L1, "Option E"_L1, "OptionE"_L1, "  Option E"_L1,
         1110, false, 13, false, Null},
        {F::ItemF, "ItemF"_L1, "Option F"_L1, "OptionF"_L1, "  Option F"_L1,
         1095, false, 13, false, Null},
    }};
}
} // namespace PaperColumnTable

// The columns in the paper file's order: number, mark, answer, title, time limit,
// options A..F.
inline constexpr std::array<PaperColumn, PaperColumnCount> PaperColumns =
    PaperColumnTable::columns();

// The 0-based place of field's column in PaperColumns.
constexpr int PaperColumnIndex(QuestionField field)
{
    for (int index = 0; index < PaperColumnCount; ++index) {
        if (PaperColumns[std::size_t(index)].field == field)
            return index;
    }
    return -1;
}

// The field with this name in the question table, in any letter case.
std::optional<QuestionField> QuestionFieldByName(QStringView name);

#pragma once

#include "workbook/SheetContent.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <limits>

// Sheets that both workbook writers must carry unchanged to an independent reader.
namespace WorkbookSamples {

inline const QList<double> PaperWidths{6, 6, 6, 30, 6, 13, 13, 13, 13, 13, 13};
inline const QStringList PaperHeaders{
    "Question NO", "Mark",     "Answer",   "Question Title", "Time Limit", "Option A",
    "Option B",    "Option C", "Option D", "Option E",       "Option F"};

inline SheetContent paperSheet(int questions)
{
    SheetContent content;
    content.sheetName = QStringLiteral("Paper");
    content.columnWidths = PaperWidths;
    content.wrapText = true;
    content.cells = SheetGrid(questions + 1, 11);
    for (int c = 1; c <= 11; ++c)
        content.cells.setCell(1, c, SheetCell::fromText(PaperHeaders[c - 1]));
    const QStringList answers{"A", "BC", "Uncertain", "ABCDEF"};
    for (int k = 1; k <= questions; ++k) {
        const int row = k + 1;
        content.cells.setCell(row, 1, SheetCell::fromNumber(k));
        content.cells.setCell(row, 2, SheetCell::fromNumber(k % 251));
        content.cells.setCell(row, 3, SheetCell::fromText(answers[k % answers.size()]));
        content.cells.setCell(row, 4, SheetCell::fromText(
            QStringLiteral("Question %1, \"quoted\",\r\nsecond line\nthird: été 中文").arg(k)));
        content.cells.setCell(row, 5, SheetCell::fromNumber(1 + k % 250));
        for (int c = 6; c <= 11; ++c)
            content.cells.setCell(row, c,
                                  SheetCell::fromText(QStringLiteral("Option %1 of %2")
                                                          .arg(QChar(u'A' + c - 6))
                                                          .arg(k)));
    }
    return content;
}

// Texts whose every character must come back: line breaks of all kinds, blanks at the
// ends, text that looks like the .xlsx escape form, control characters, NUL, Unicode.
inline QStringList hardTexts()
{
    QString controls;
    for (char16_t c = 1; c < 0x20; ++c)
        controls += QChar(c);
    return {
        QStringLiteral("CR LF\r\nbetween"),
        QStringLiteral("lone CR\rbetween"),
        QStringLiteral("LF\nbetween"),
        QStringLiteral("\r\nstarts and ends with CR LF\r\n"),
        QStringLiteral("tab\tbetween"),
        QStringLiteral("   leading spaces"),
        QStringLiteral("trailing spaces   "),
        QStringLiteral("\tleading tab and trailing LF\n"),
        QStringLiteral(" "),
        QStringLiteral("_x0041_"),
        QStringLiteral("a_x000D_b_x000a_c"),
        QStringLiteral("_x005F_"),
        QStringLiteral("_x0041_x0042_"),
        QStringLiteral("_x005F_x0041_"),
        QStringLiteral("_X0041_ _x00G1_ _x041_ x0041_ _x0041"),
        QStringLiteral("x005F_ alone"),
        controls,
        QStringLiteral("NUL") + QChar(u'\0') + QStringLiteral("inside"),
        QStringLiteral("DEL\x7F and C1 ") + QChar(0x85) + QChar(0x9F),
        QStringLiteral("<tag attr=\"v\"> & 'apostrophes' ]]>"),
        QStringLiteral("Crème brûlée, Œuvre €, ÿ"),
        QStringLiteral("中文题目：选择正确答案"),
        QStringLiteral("emoji 😀 and 𝄞 beyond the BMP"),
        QStringLiteral("noncharacters ") + QChar(0xFFFE) + QChar(0xFFFF),
    };
}

// Each text in its own row of the title column, under the paper's header row.
inline SheetContent textsSheet(const QStringList &texts)
{
    SheetContent content = paperSheet(0);
    content.cells = SheetGrid(int(texts.size()) + 1, 11);
    for (int c = 1; c <= 11; ++c)
        content.cells.setCell(1, c, SheetCell::fromText(PaperHeaders[c - 1]));
    for (int i = 0; i < texts.size(); ++i) {
        content.cells.setCell(i + 2, 1, SheetCell::fromNumber(i + 1));
        content.cells.setCell(i + 2, 4, SheetCell::fromText(texts[i]));
    }
    return content;
}

// A shared-string table several records long: compressed and UTF-16 strings that run
// over record boundaries (one made of surrogate pairs), with short strings between. Each
// string fits in two records, as much as FreeXL 1.0.6 can read.
inline QStringList straddlingStrings()
{
    QStringList texts;
    texts << QString(9000, u'a');
    for (int i = 0; i < 150; ++i)
        texts << QStringLiteral("short %1 ").arg(i).repeated(1 + i % 7);
    texts << QStringLiteral("中") + QStringLiteral("😀").repeated(2500);
    for (int i = 150; i < 300; ++i)
        texts << QStringLiteral("short %1 é").arg(i).repeated(1 + i % 5);
    texts << QString(12000, QChar(0xE9)); // é: 8-bit although not ASCII
    texts << QStringLiteral("汉字").repeated(2000);
    return texts;
}

// Strings that need three records or more.
inline QStringList stringsOverManyRecords()
{
    return {QString(20000, QChar(0xE9)), QStringLiteral("汉字").repeated(6000),
            QStringLiteral("𝄞").repeated(4500)};
}

inline SheetContent emptyTextsSheet()
{
    SheetContent content = paperSheet(2);
    for (int c = 6; c <= 11; ++c)
        content.cells.setCell(2, c, SheetCell::fromText(QString()));
    content.cells.setCell(3, 4, SheetCell::fromText(QString()));
    return content;
}

// One cell holding the longest text a cell may hold, in 8-bit and in UTF-16 form.
inline SheetContent longestTextsSheet()
{
    return textsSheet({QString(32767, u'x'),
                       QStringLiteral("長").repeated(32765) + QStringLiteral("😀")});
}

// No widths and no wrapping: cells keep the default format.
inline SheetContent plainSheet()
{
    SheetContent content;
    content.cells = SheetGrid(2, 3);
    content.cells.setCell(1, 1, SheetCell::fromText(QStringLiteral("plain")));
    content.cells.setCell(1, 3, SheetCell::fromNumber(-2.5));
    content.cells.setCell(2, 2, SheetCell::fromNumber(1e300));
    content.cells.setCell(2, 3, SheetCell::fromBoolean(true)); // not written
    return content;
}

inline QList<std::pair<const char *, SheetContent>> all()
{
    return {
        {"paper with 3 questions", paperSheet(3)},
        {"paper with 250 questions", paperSheet(250)},
        {"hard texts", textsSheet(hardTexts())},
        {"strings straddling records", textsSheet(straddlingStrings())},
        {"strings over many records", textsSheet(stringsOverManyRecords())},
        {"empty texts", emptyTextsSheet()},
        {"32767 characters", longestTextsSheet()},
        {"plain sheet", plainSheet()},
    };
}

} // namespace WorkbookSamples

namespace WorkbookSamples {

// Content a writer must refuse, and a part of the reason it must give.
struct Refusal
{
    const char *name;
    SheetContent content;
    QString reason;
};

inline QList<Refusal> refusals()
{
    QList<Refusal> list;
    SheetContent tooLong = paperSheet(3);
    tooLong.cells.setCell(3, 4, SheetCell::fromText(QString(32768, u'x')));
    list.append({"text of 32768 characters", tooLong, QStringLiteral("row 3, column D: the text has 32768")});

    SheetContent tooLongWide = paperSheet(3);
    tooLongWide.cells.setCell(4, 7, SheetCell::fromText(QStringLiteral("😀").repeated(16384)));
    list.append({"32768 UTF-16 units in surrogate pairs", tooLongWide, QStringLiteral("row 4, column G")});

    SheetContent slash = paperSheet(1);
    slash.sheetName = QStringLiteral("a/b");
    list.append({"sheet name with a slash", slash, QStringLiteral("sheet name")});

    SheetContent longName = paperSheet(1);
    longName.sheetName = QString(32, u'n');
    list.append({"sheet name of 32 characters", longName, QStringLiteral("longer than 31")});

    SheetContent noName = paperSheet(1);
    noName.sheetName.clear();
    list.append({"empty sheet name", noName, QStringLiteral("sheet name is empty")});

    SheetContent notANumber = paperSheet(2);
    notANumber.cells.setCell(2, 2, SheetCell::fromNumber(std::numeric_limits<double>::quiet_NaN()));
    list.append({"NaN", notANumber, QStringLiteral("row 2, column B: the number is not finite")});

    SheetContent infinite = paperSheet(2);
    infinite.cells.setCell(3, 5, SheetCell::fromNumber(std::numeric_limits<double>::infinity()));
    list.append({"infinity", infinite, QStringLiteral("row 3, column E")});

    SheetContent negativeWidth = paperSheet(1);
    negativeWidth.columnWidths[2] = -1;
    list.append({"negative width", negativeWidth, QStringLiteral("column C: the column width -1")});

    SheetContent wideColumn = paperSheet(1);
    wideColumn.columnWidths[10] = 256;
    list.append({"width above 255", wideColumn, QStringLiteral("column K")});
    return list;
}

} // namespace WorkbookSamples

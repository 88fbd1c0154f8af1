#pragma once

#include "paper/QuestionTable.h"
#include "StartedEditor.h"

#include <QLineEdit>
#include <QTest>

// Grows the started editor's blank paper to `count` questions titled "Q1", "Q2"...
// with the given marks (default mark when none), then makes it the open paper afresh,
// unmodified and with nothing to undo, as if it had just been opened.
inline void fillPaper(StartedEditor &editor, int count, const QList<int> &marks = {})
{
    FormPaper &form = editor.form();
    while (form.questionTable()->RecordCount() < count)
        form.AddQuestion_Click();
    QuestionTable *table = form.questionTable();
    for (int k = 1; k <= count; ++k) {
        table->MoveTo(k);
        table->setField(QuestionField::Title, QStringLiteral("Q%1").arg(k));
        if (k <= marks.size()) {
            table->setField(QuestionField::Score, marks[k - 1]);
            editor.document().setScore(k, std::int16_t(marks[k - 1]));
        }
        table->Update();
    }
    BuiltPaper opened;
    opened.table = std::make_unique<QuestionTable>();
    for (const QuestionRow &row : table->rows())
        opened.table->AppendRow(row);
    opened.scores = editor.document().scores();
    editor.document().replacePaper(std::move(opened));
    editor.form().questionTable()->MoveFirst();
    form.CountScore();
    editor.document().setModified(false);
}

inline QStringList titles(const QuestionTable &table)
{
    QStringList result;
    for (const QuestionRow &row : table.rows())
        result << row.Title;
    return result;
}

// Shows the window and waits until it can take the keyboard focus.
inline bool activate(StartedEditor &editor)
{
    editor.form().activateWindow();
    return QTest::qWaitForWindowActive(&editor.form());
}

#pragma once

#include <QString>
#include <QStringList>

// What an import tells the user beside the paper it read: how much was read and from
// where, what may have been left behind, and every value the import's rules changed.
struct ImportReport
{
    QString summary;      // "8 questions, from rows 2-9 of sheet "Sheet1"."
    QStringList warnings; // what may be missing from the paper
    QStringList changes;  // one a cell: "row 5, column B (Mark): the text "2 pts" ..."

    // The report as the import's message shows it: the summary, each warning, then the
    // first mostChanges changes and how many more there are.
    QString text(int mostChanges) const;
    // Every line of the report, nothing left out, for a log; none for an empty report.
    QStringList lines() const;
};

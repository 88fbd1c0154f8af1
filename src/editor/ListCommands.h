#pragma once

#include "editor/CommandContext.h"

// Commands on the question list: add at the end, duplicate, delete, move up and down.
// Each keeps QuestionNo equal to the row's position and the marks cache in step, records
// itself as one step of the undo history, and marks the paper modified.
class ListCommands
{
public:
    explicit ListCommands(CommandContext context) : context_(context) {}

    void addQuestion();
    // Inserts a copy of the current question right below it and moves to the copy.
    void duplicateQuestion();
    void deleteQuestion();
    void moveUp();
    void moveDown();

private:
    // Exchanges the current question with the one `offset` (-1 or +1) rows away.
    void swapWithNeighbour(int offset);

    CommandContext context_;
};

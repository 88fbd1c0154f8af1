#pragma once

#include "quick/QuickSheetBase.h"

#include <memory>

struct SharedState;

// The quick answer sheet for the installation type: check boxes A to F for the
// types that answer with any set of letters, one of A to E or "Uncertain" otherwise.
std::unique_ptr<QuickSheetBase> CreateQuickAnswerSheet(SharedState &state, QWidget *parent = nullptr);

// Shows that sheet modally. The answers stay in state.QuickAnswers, and
// state.quickNewConfirmed tells whether they were confirmed with OK.
void ShowQuickAnswerSheet(SharedState &state, QWidget *parent = nullptr);

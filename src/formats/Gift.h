#pragma once

#include "formats/PlatformExport.h"

// The paper as GIFT text (UTF-8): a $CATEGORY: line named after the paper, then one
// multiple-choice question per question, "::Question n::" and its title, its options
// with = (the one right option) or ~%weight% (several right options). Written from
// "GIFT format" in Moodle's documentation (docs.moodle.org/en/GIFT_format). GIFT has no
// marks or time limits.
PlatformExport WriteGift(const QuestionTable &paper, const QString &paperName);

// A text with GIFT's special characters ~ = # { } : and the backslash escaped by a
// backslash, and line breaks as \n.
QString GiftEscaped(const QString &text);

#pragma once

#include <QString>

// The end of every refusal of a text longer than MaxTextLength, after what has it:
// "40000 characters, more than the 32767 a text holds".
QString TextLengthBeyondLimit(qsizetype length);

// True when the text fits a title or an option.
bool TextLengthFits(const QString &text);

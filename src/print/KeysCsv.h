#pragma once

#include "print/PrintOptions.h"

#include <QByteArray>

class QuestionTable;

// The answer keys of the versions as CSV (RFC 4180, CR LF line ends): the header
// Version,Question,Source Question,Answer,Mark,Option Order, then one line per question
// of each version. Answer is in the printed letters; Option Order lists the paper's
// letters of the printed options in printed order ("CAEB").
QByteArray KeysCsv(const QuestionTable &paper, const PrintOptions &options);

#pragma once

#include <QStringView>

// The number at the start of a text, read the way an old BASIC reads a number out of a
// text: blanks, tabs and line feeds anywhere are skipped; an optional sign, digits, one
// decimal point and an exponent (E, then an optional sign and digits) are taken; reading
// stops at the first other character. A text with no digits reads as 0.
struct LeadingNumber
{
    double value = 0;
    bool hasDigits = false; // some digit was read
    bool wholeText = false; // digits were read and nothing but skipped blanks follows
};

LeadingNumber ReadLeadingNumber(QStringView text);

#pragma once

#include <QByteArrayView>
#include <QString>

// True when the bytes are well-formed UTF-8: no stray continuation bytes, no truncated,
// overlong or surrogate sequences, nothing above U+10FFFF. (Qt 6.4's stateless UTF-8
// decoder does not report such faults, so the reader checks for itself.)
bool IsValidUtf8(QByteArrayView bytes);

// The bytes as text for a message: well-formed UTF-8 as itself, every other byte as \xNN.
QString EscapedNonUtf8(QByteArrayView bytes);

// The length of the well-formed UTF-8 sequence that starts at `at` (1 for ASCII); 0 when
// the bytes there are not one.
int Utf8SequenceLength(QByteArrayView bytes, qsizetype at);

// How much of some bytes looks like UTF-8: its sequences of two bytes or more, and the
// bytes that are no part of a well-formed sequence.
struct Utf8Census
{
    qsizetype multibyteSequences = 0;
    qsizetype strayBytes = 0;
};
void CountUtf8(QByteArrayView bytes, Utf8Census &census);

#pragma once

#include <QByteArrayView>

// True when the bytes are well-formed UTF-8: no stray continuation bytes, no truncated,
// overlong or surrogate sequences, nothing above U+10FFFF. (Qt 6.4's stateless UTF-8
// decoder does not report such faults, so the reader checks for itself.)
bool IsValidUtf8(QByteArrayView bytes);

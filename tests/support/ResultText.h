#pragma once

#include "core/Result.h"

#include <QString>

// What a check prints about a result: its error's text, or "(no error)" when it has none.
template <typename T>
QString errorText(const Result<T> &result)
{
    return result ? QStringLiteral("(no error)") : result.error().text();
}

#pragma once

#include <QString>

// Splits a full path at its last '/' into the folder (which keeps that '/') and the
// file name after it. True only when both parts are non-empty. The empty path gives
// false and leaves both outputs as they were.
bool SplitFilePath(const QString &path, QString &fileName, QString &folder);

#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <utility>

// Runs one of the python reader scripts beside these tests with Debian's python, whose
// xlrd and openpyxl are independent of the writers under test.
namespace WorkbookProbe {

inline const QString Python = QStringLiteral("/usr/bin/python3");

struct ProbeReport
{
    QString skip;  // why the reader could not be run at all
    QString error; // the reader ran but failed
    QJsonObject json;
};

inline ProbeReport run(const QString &script, const QStringList &arguments)
{
    ProbeReport result;
    if (!QFile::exists(Python)) {
        result.skip = Python + QStringLiteral(" is missing");
        return result;
    }
    QProcess process;
    process.start(Python, QStringList{QStringLiteral(WORKBOOK_PROBE_DIR "/") + script} + arguments);
    if (!process.waitForStarted() || !process.waitForFinished(300000)) {
        result.error = QStringLiteral("%1 did not run: %2").arg(script, process.errorString());
        return result;
    }
    const QByteArray errors = process.readAllStandardError();
    if (errors.contains("ModuleNotFoundError")) {
        result.skip = QString::fromUtf8(errors);
        return result;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        result.error = QStringLiteral("%1 failed: %2").arg(script, QString::fromUtf8(errors));
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(process.readAllStandardOutput(), &parseError);
    if (!document.isObject())
        result.error = QStringLiteral("%1 printed no JSON object: %2")
                           .arg(script, parseError.errorString());
    result.json = document.object();
    return result;
}

using CellKey = std::pair<int, int>; // row, column from 1

// The reader's cells keyed by row and column.
inline QMap<CellKey, QJsonObject> cellsOf(const QJsonObject &json)
{
    QMap<CellKey, QJsonObject> cells;
    for (const QJsonValue &value : json.value(QStringLiteral("cells")).toArray()) {
        const QJsonObject cell = value.toObject();
        cells.insert({cell.value(QStringLiteral("row")).toInt(),
                      cell.value(QStringLiteral("column")).toInt()},
                     cell);
    }
    return cells;
}

inline QString place(int row, int column)
{
    return QStringLiteral("row %1, column %2").arg(row).arg(column);
}

// A text shown with its control characters spelled out, for failure messages.
inline QString visible(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            out += c;
    }
    return out.size() > 200 ? out.left(200) + QStringLiteral("...") : out;
}

} // namespace WorkbookProbe

// Skips or fails the calling test when a reader script could not give its view.
#define WORKBOOK_PROBE_OR_STOP(result)                                                     \
    do {                                                                                   \
        if (!(result).skip.isEmpty())                                                      \
            QSKIP(qPrintable(QStringLiteral("the independent reader is not available: ")   \
                             + (result).skip));                                            \
        if (!(result).error.isEmpty())                                                     \
            QFAIL(qPrintable((result).error));                                             \
    } while (false)

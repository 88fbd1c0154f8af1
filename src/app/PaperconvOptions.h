#pragma once

#include "print/PrintOptions.h"

#include <QString>
#include <QStringList>
#include <optional>

// What paperconv is asked to do, read from its arguments:
//   paperconv IN OUT
//   paperconv [--print paper|key|both] [--versions N] [--seed S]
//             [--shuffle none|questions|options|both] IN OUT.pdf
//   paperconv --to keys [--versions N] [--seed S] [--shuffle ...] IN OUT.csv
struct PaperconvRequest
{
    enum class Output { Converted, Pdf, Keys };
    Output output = Output::Converted;
    PrintOptions print;
    QString in;
    QString out;
};

// The request, or why the arguments (without the program's name) are not one: a message
// that names the option at fault.
std::optional<PaperconvRequest> ReadPaperconvArguments(const QStringList &arguments,
                                                       QString &problem);

QString PaperconvUsage();

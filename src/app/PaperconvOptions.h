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
//   paperconv [--to FORMAT] [--strict] IN OUT   (FORMAT: csv, xls, xlsx, pdf, keys,
//             moodle-xml, gift, aiken; without it the output's extension says, .xml
//             and .gift naming Moodle XML and GIFT)
struct PaperconvRequest
{
    enum class Output { Converted, Pdf, Keys, MoodleXml, Gift, Aiken };
    Output output = Output::Converted;
    PrintOptions print;
    bool strict = false; // refuse to write a platform format that cannot carry everything
    QString in;
    QString out;
};

// The request, or why the arguments (without the program's name) are not one: a message
// that names the option at fault.
std::optional<PaperconvRequest> ReadPaperconvArguments(const QStringList &arguments,
                                                       QString &problem);

QString PaperconvUsage();

#pragma once

#include "formats/PlatformFormat.h"
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
//             moodle-xml, gift, aiken, qti21, kahoot; without it the output's extension
//             says, .xml, .gift and .zip naming Moodle XML, GIFT and QTI 2.1)
//   paperconv --to FORMAT [--strict] -o OUT IN...   (every paper in one file: moodle-xml,
//             gift or qti21, a category or test per paper)
//   paperconv --to FORMAT [options] -d DIR IN...    (each paper to DIR/NAME.EXT)
// IN is a paper file (.csv), a workbook (.xls, .xlsx) or a learning platform's file:
// .xml Moodle XML or a QTI 2.1 item (by its first element), .gift GIFT, .txt Aiken, .zip
// a QTI 2.1 package; --from moodle-xml|gift|aiken|qti21 reads every IN in that format.
struct PaperconvRequest
{
    enum class Output { Converted, Pdf, Keys, Platform };
    enum class Batch { None, OneFile, Folder };
    Output output = Output::Converted;
    PlatformFormat platform = PlatformFormat::MoodleXml; // for Output::Platform
    QString convertedExtension; // csv, xls or xlsx when --to names one
    PrintOptions print;
    bool strict = false; // refuse to write when anything is lost, in reading or writing
    std::optional<PlatformFormat> from; // --from: the platform format of every input
    Batch batch = Batch::None;
    QStringList inputs;
    QString out; // the file written; the folder for Batch::Folder

    // The extension a paper's file gets in a folder: "xml", "pdf", "csv".
    QString outputExtension() const;
};

// The request, or why the arguments (without the program's name) are not one: a message
// that names the option at fault.
std::optional<PaperconvRequest> ReadPaperconvArguments(const QStringList &arguments,
                                                       QString &problem);

QString PaperconvUsage();

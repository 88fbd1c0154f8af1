#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// The workbook's shared string table: every text cell refers to its text by index.
class Biff8SharedStrings
{
public:
    // The index of text in the table, adding it when new. Each call counts as one use.
    quint32 add(const QString &text);

    qsizetype uniqueCount() const { return strings_.size(); }

    // The SST record with the CONTINUE records it needs, then the EXTSST record that
    // indexes it. streamOffset is the stream position where the SST record will start,
    // which EXTSST must know.
    //
    // A record body holds at most 8224 bytes, so a long table goes on in CONTINUE
    // records. A string's count and option flags always stay together with its first
    // character; when its characters go on in the next record, that record starts with
    // the option-flags byte again. UTF-16 strings are never split inside a surrogate pair.
    // A record simply ends where the next string's header and first character do not
    // fit; and a string that could lie in two records starts a new one rather than spread
    // over three, as FreeXL 1.0.6 completes a split string from one more record only.
    QByteArray records(quint32 streamOffset) const;

    // Whether the .xls reader reads text back whole from the table records() writes. It
    // does not read a string spread over three records or more, which a text needs when
    // its characters take more than two records, wherever it starts.
    static bool readsBackWhole(const QString &text);

private:
    QList<QString> strings_;
    QHash<QString, quint32> indexOf_;
    quint32 uses_ = 0;
};

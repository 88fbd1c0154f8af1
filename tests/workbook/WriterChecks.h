#pragma once

#include "ResultText.h"
#include "workbook/SheetContent.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// What every workbook writer must do when it cannot write: leave the old file as it was
// and no temporary file behind. Each check reports through QTest; callers return when
// QTest::currentTestFailed().
namespace WriterChecks {

using Write = Result<void> (*)(const SheetContent &, const QString &);

inline const QByteArray OldBytes = "the workbook that was there before\n";

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool wrapsColumn(const SheetContent &content, int column)
{
    return content.wrapText && column <= content.columnWidths.size();
}

// The content is refused with a reason naming `reason`, over an existing file.
inline void refusalKeepsTheOldFile(Write write, const SheetContent &content,
                                   const QString &fileName, const QString &reason)
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(fileName);
    QVERIFY(writeBytes(path, OldBytes));

    const Result<void> written = write(content, path);
    QVERIFY(!written);
    QVERIFY2(written.error().text().contains(reason), qPrintable(errorText(written)));
    QCOMPARE(readAll(path), OldBytes);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{fileName});
}

// A missing folder, and a folder where the file should be, fail with a reason that
// names it and leave nothing behind.
inline void unwritablePlacesLeaveNothing(Write write, const SheetContent &content,
                                         const QString &extension)
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const Result<void> intoMissing = write(content, folder.filePath("missing/paper." + extension));
    QVERIFY(!intoMissing);
    QCOMPARE(intoMissing.error().text(),
             "the folder " + folder.filePath("missing") + " does not exist");
    QVERIFY(!QFile::exists(folder.filePath("missing")));

    const QString taken = "taken." + extension;
    QVERIFY(QDir(folder.path()).mkdir(taken));
    const Result<void> overFolder = write(content, folder.filePath(taken));
    QVERIFY(!overFolder);
    QCOMPARE(overFolder.error().text(), folder.filePath(taken) + " is a folder, not a file");
    QVERIFY(QFileInfo(folder.filePath(taken)).isDir());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

} // namespace WriterChecks

// The help file as the build writes it, read through chmlib, and the readers of its
// #SYSTEM record and table of contents on made-up input.
#include "help/HelpArchive.h"
#include "help/HelpContents.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtEndian>

namespace {
QByteArray systemEntry(quint16 code, const QByteArray &data, int declaredLength = -1)
{
    QByteArray entry(4, '\0');
    qToLittleEndian<quint16>(code, entry.data());
    qToLittleEndian<quint16>(quint16(declaredLength < 0 ? data.size() : declaredLength),
                             entry.data() + 2);
    return entry + data;
}

QByteArray recordOf(const QList<QByteArray> &entries)
{
    QByteArray record("\x03\0\0\0", 4);
    for (const QByteArray &entry : entries)
        record += entry;
    return record;
}

QByteArray text(const char *value)
{
    return QByteArray(value) + '\0';
}

// Object paths of the files a page refers to, resolved against the page.
QStringList referencedObjects(const QString &pagePath, const QByteArray &page)
{
    static const QRegularExpression reference(
        QStringLiteral("\\b(?:href|src)\\s*=\\s*\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    const QUrl base(QStringLiteral("help:") + pagePath);
    QStringList paths;
    for (auto it = reference.globalMatch(QString::fromUtf8(page)); it.hasNext();) {
        const QUrl target(it.next().captured(1));
        if (!target.scheme().isEmpty())
            continue; // another site
        const QUrl resolved = base.resolved(target);
        paths.append(resolved.path());
    }
    return paths;
}

QString pageTitle(const QByteArray &page)
{
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    return title.match(QString::fromUtf8(page)).captured(1);
}
} // namespace

class TestHelpFile : public QObject
{
    Q_OBJECT
private slots:
    void systemRecord_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("defaultTopic");
        QTest::addColumn<QString>("contentsFile");
        QTest::addColumn<QString>("title");

        QTest::newRow("all three") << recordOf({systemEntry(0, text("guide.hhc")),
                                                    systemEntry(2, text("index.html")),
                                                    systemEntry(3, text("Guide"))})
                                   << "/index.html" << "/guide.hhc" << "Guide";
        QTest::newRow("unknown codes skipped")
            << recordOf({systemEntry(9, text("x")), systemEntry(4, QByteArray(36, '\1')),
                             systemEntry(2, text("start.html"))})
            << "/start.html" << "" << "";
        QTest::newRow("no default topic") << recordOf({systemEntry(3, text("Guide"))})
                                          << "" << "" << "Guide";
        QTest::newRow("empty default topic") << recordOf({systemEntry(2, text(""))})
                                             << "" << "" << "";
        QTest::newRow("no terminator") << recordOf({systemEntry(2, "a.html")})
                                       << "/a.html" << "" << "";
        QTest::newRow("leading slash kept") << recordOf({systemEntry(2, text("/b/c.html"))})
                                            << "/b/c.html" << "" << "";
        QTest::newRow("text ends at its NUL") << recordOf({systemEntry(2, QByteArray("a.html\0junk", 11))})
                                              << "/a.html" << "" << "";
        QTest::newRow("entry longer than the record")
            << recordOf({systemEntry(3, text("Guide")), systemEntry(2, text("a.html"), 4000)})
            << "" << "" << "Guide";
        QTest::newRow("header cut short") << recordOf({}) + QByteArray("\2\0", 2)
                                          << "" << "" << "";
        QTest::newRow("shorter than the version word") << QByteArray("\3", 1) << "" << "" << "";
        QTest::newRow("empty") << QByteArray() << "" << "" << "";
    }

    void systemRecord()
    {
        QFETCH(QByteArray, record);
        const HelpSystemInfo info = ParseHelpSystemRecord(record);
        QTEST(info.defaultTopic, "defaultTopic");
        QTEST(info.contentsFile, "contentsFile");
        QTEST(info.title, "title");
    }

    void contentsSitemap()
    {
        const QByteArray sitemap =
            "<HTML><BODY><OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"x\"></OBJECT>\n"
            "<ul><li><object TYPE='text/sitemap'><PARAM name=\"Name\" value=\"Start &amp; end\">"
            "<param name=\"Local\" value=\"index.html\"></object>\n"
            "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"a.html#part\">"
            "<param name=\"Name\" value=\"A\"></OBJECT>\n"
            "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Deep\"></OBJECT></UL>\n"
            "</UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"nameless.html\"></OBJECT>\n"
            "<LI><OBJECT type=\"text/sitemap\"><param name=Name value=B><param name=Local value=b.html></OBJECT>\n"
            "</UL></BODY></HTML>";
        const QList<HelpContentsEntry> entries = ParseHelpContents(sitemap);
        QCOMPARE(entries.size(), 4);
        const QList<std::tuple<QString, QString, int>> expected = {
            {"Start & end", "index.html", 0}, {"A", "a.html#part", 1}, {"Deep", "", 2}, {"B", "b.html", 0}};
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i].name, std::get<0>(expected[i]));
            QCOMPARE(entries[i].local, std::get<1>(expected[i]));
            QCOMPARE(entries[i].depth, std::get<2>(expected[i]));
        }
        QVERIFY(ParseHelpContents("</UL></UL><OBJECT type=\"text/sitemap\">").isEmpty());
    }

    void builtFileOpensOnTheGuidesFirstPage()
    {
        const auto archive = HelpArchive::open(QStringLiteral(HELP_FILE));
        QVERIFY(archive);
        QCOMPARE(archive->defaultTopic(), QStringLiteral("/index.html"));
        QCOMPARE(archive->title(), QStringLiteral("Test Paper Editor Help"));
        const auto page = archive->read(archive->defaultTopic());
        QVERIFY(page);
        QCOMPARE(pageTitle(*page), QStringLiteral("Test Paper Editor"));
        // Bytes come back whole: the page's end is there too.
        QVERIFY(page->trimmed().endsWith("</html>"));
        QVERIFY(!archive->read(QStringLiteral("/no-such-page.html")));
        QVERIFY(!archive->contains(QStringLiteral("/no-such-page.html")));
    }

    void everyContentsEntryIsAPageOfTheFile()
    {
        const auto archive = HelpArchive::open(QStringLiteral(HELP_FILE));
        QVERIFY(archive);
        QVERIFY(!archive->contentsFile().isEmpty());
        const auto sitemap = archive->read(archive->contentsFile());
        QVERIFY(sitemap);
        const QList<HelpContentsEntry> entries = ParseHelpContents(*sitemap);
        QVERIFY(entries.size() >= 6);
        QCOMPARE(entries.first().local, QStringLiteral("index.html"));
        for (const HelpContentsEntry &entry : entries) {
            const auto page = archive->read(QLatin1Char('/') + entry.local);
            QVERIFY2(page, qPrintable(entry.local));
            // The contents show each page under its own title.
            QCOMPARE(pageTitle(*page), entry.name);
        }
    }

    // From the first page on, every link, stylesheet and image of every page is in the
    // file, and every page of the contents can be reached.
    void everyReferenceResolvesInsideTheFile()
    {
        const auto archive = HelpArchive::open(QStringLiteral(HELP_FILE));
        QVERIFY(archive);
        QStringList queue = {archive->defaultTopic()};
        QSet<QString> seen(queue.cbegin(), queue.cend());
        while (!queue.isEmpty()) {
            const QString path = queue.takeFirst();
            const auto bytes = archive->read(path);
            QVERIFY2(bytes, qPrintable(path));
            if (!path.endsWith(QLatin1String(".html")))
                continue;
            for (const QString &target : referencedObjects(path, *bytes)) {
                if (seen.contains(target))
                    continue;
                QVERIFY2(archive->contains(target), qPrintable(path + " -> " + target));
                seen.insert(target);
                queue.append(target);
            }
        }
        for (const HelpContentsEntry &entry : ParseHelpContents(*archive->read(archive->contentsFile())))
            QVERIFY2(seen.contains(QLatin1Char('/') + entry.local), qPrintable(entry.local));
        QVERIFY(seen.contains(QStringLiteral("/style.css")));
        QVERIFY(seen.contains(QStringLiteral("/window.png")));
    }

    void unreadableFilesDoNotOpen_data()
    {
        QFile built(QStringLiteral(HELP_FILE));
        QVERIFY(built.open(QIODevice::ReadOnly));
        const QByteArray real = built.readAll();
        QByteArray garbage(4096, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919 + 13) % 251);
        QByteArray wrongVersion = real;
        wrongVersion[4] = '\x7f';

        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << garbage;
        QTest::newRow("signature only") << QByteArray("ITSF");
        QTest::newRow("header only") << real.left(0x60);
        QTest::newRow("unknown version") << wrongVersion;
        // chmlib would read the missing end as zeros and hand out pages of them.
        for (int percent : {25, 50, 75, 90})
            QTest::addRow("cut to %d%%", percent) << real.left(real.size() * percent / 100);
        QTest::newRow("one byte short") << real.chopped(1);
    }

    void unreadableFilesDoNotOpen()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("paperedit.chm")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QVERIFY(!HelpArchive::open(file.fileName()));
    }

    void copyOfTheBuiltFileOpens()
    {
        QTemporaryDir folder;
        const QString copy = folder.filePath(QStringLiteral("paperedit.chm"));
        QVERIFY(QFile::copy(QStringLiteral(HELP_FILE), copy));
        const auto archive = HelpArchive::open(copy);
        QVERIFY(archive);
        QVERIFY(archive->read(QStringLiteral("messages.html")));
    }

    void missingFileOrFolderDoesNotOpen()
    {
        QTemporaryDir folder;
        QVERIFY(!HelpArchive::open(folder.filePath(QStringLiteral("paperedit.chm"))));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("paperedit.chm")));
        QVERIFY(!HelpArchive::open(folder.filePath(QStringLiteral("paperedit.chm"))));
    }

};

QTEST_GUILESS_MAIN(TestHelpFile)
#include "tst_helpfile.moc"

#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "search/phrase_search.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QRandomGenerator>

#include <sys/stat.h>

using namespace tessik;
using namespace tessik::test;

namespace {

QByteArray analysisFile(const QString &description, const QString &caption = QString())
{
    Analysis a{description, "op", "Plant North", {}};
    if (!caption.isEmpty())
        a.table.BlockText[a.table.addBlock(5, 5)] = caption;
    return writeAnalysis(a, QLocale::c());
}

QStringList namesOf(const SearchOutcome &outcome)
{
    QStringList names;
    for (const SearchEntry &entry : outcome.entries)
        names << entry.filePath.mid(entry.filePath.lastIndexOf('/') + 1);
    return names;
}

struct Match {
    QByteArray content;
    QString phrase;
    bool found;
};

} // namespace

class PhraseSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Only the folder's analysis files are searched, tags and all; each entry shows the
    // description and the name, and leads back to its own file.
    void findsTheFolderFilesHoldingThePhrase()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        QVERIFY(writeBytes(lib + "Conveyor_op.rca.xml", readBytes(dataFile("worked_example.rca.xml"))));
        QVERIFY(writeBytes(lib + "Pump [B]] x.RCA.XML", analysisFile("Pump cavitation", "Impeller")));
        QVERIFY(writeBytes(lib + "Blank.rca.xml", analysisFile("\u20ac caf\u00e9 [x]")));
        QVERIFY(writeBytes(lib + "Bare.rca.xml", "<description>open, no end xml"));
        const QByteArray bait = "<block>turbine sensor xml";
        for (const char *name : {"notes.txt", ".Hidden.rca.xml", "Sub/Deep.rca.xml", "x.rca.xml.bak"})
            QVERIFY(writeBytes(lib + name, bait));
        QVERIFY(QDir().mkpath(lib + "Folder.rca.xml"));
        QCOMPARE(namesOf(searchFolder(lib, "SENSOR")), QStringList{"Conveyor_op.rca.xml"});
        QCOMPARE(namesOf(searchFolder(lib, "block")), QStringList({"Conveyor_op.rca.xml", "Pump [B]] x.RCA.XML"}));
        QVERIFY(searchFolder(lib, "turbine").entries.isEmpty() && searchFolder(lib, "").entries.isEmpty());
        const SearchOutcome all = searchFolder(lib, "xml");
        QCOMPARE(namesOf(all),
                 QStringList({"Bare.rca.xml", "Conveyor_op.rca.xml", "Pump [B]] x.RCA.XML", "Blank.rca.xml"}));
        const QString gap(91, ' ');
        QCOMPARE(all.entries[3].text, QString("\u20ac caf\u00e9 [x]") + gap + "[Blank]");
        QCOMPARE(all.entries[2].text, "Pump cavitation" + gap + "[Pump [B]] x]");
        QCOMPARE(all.entries[2].filePath, lib + "Pump [B]] x.RCA.XML");
        QCOMPARE(all.entries[0].text, gap + "[Bare]");
        QCOMPARE(all.statusText(), QString());
    }

    // Each file holds its text at the start, at the end and in the middle of a longer run, so the
    // phrase is looked for at every kind of place the scan treats apart.
    void matchesOnlyTheWholePhrase_data()
    {
        test::addRows<Match>({
            {"e acute, capital in file", {"CAF\xC9", "caf\u00e9", true}},
            {"times is not divide", {"\xD7", "\u00f7", false}},
            {"bracket is not brace", {"[", "{", false}},
            {"sharp s has no capital", {"SS", "\u00df", false}},
            {"no byte for the arrow", {"a?b", "a\u2192b", false}},
            // A match and near misses that share its first and last byte.
            {"whole phrase in other case", {"SeNsOr", "sensor", true}},
            {"differs in the second byte", {"sxnsor", "SENSOR", false}},
            {"differs in the second last byte", {"sensxr", "sensor", false}},
            {"two bytes", {"oO", "oo", true}},
            {"two bytes, the second differs", {"ox", "oo", false}},
            {"zero byte inside", {QByteArray("se\0nsor", 7), "sensor", false}},
            {"longer than the file", {"senso", "sensor", false}},
        });
    }
    void matchesOnlyTheWholePhrase()
    {
        QFETCH(Match, row);
        TestEnvironment env;
        const QByteArray run(40, '.');
        const QByteArray placings[] = {row.content, row.content + run, run + row.content, run + row.content + run};
        for (int i = 0; i < 4; ++i)
            QVERIFY(writeBytes(env.path(QStringLiteral("lib/F%1.rca.xml").arg(i)), placings[i]));
        QCOMPARE(searchFolder(env.path("lib"), row.phrase).entries.size(), row.found ? 4 : 0);
    }

    void unreadableFilesAreLeftOutAndCounted()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        for (const char *name : {"Removed.rca.xml", "NowFolder.rca.xml", "NowPipe.rca.xml", "Kept.rca.xml"})
            QVERIFY(writeBytes(lib + name, analysisFile("Still here", "Sensor")));
        QVERIFY(QFile::link(lib + "nowhere", lib + "Dangling.rca.xml"));
        const AnalysisListing listing = listAnalysisFiles(lib);
        QCOMPARE(listing.fileNames.size(), std::size_t(5));
        // Between the listing and the reading, three of the files change under the search.
        QVERIFY(QFile::remove(lib + "Removed.rca.xml") && QFile::remove(lib + "NowFolder.rca.xml"));
        QVERIFY(QDir().mkdir(lib + "NowFolder.rca.xml") && QFile::remove(lib + "NowPipe.rca.xml"));
        QCOMPARE(mkfifo(QFile::encodeName(lib + "NowPipe.rca.xml").constData(), 0600), 0);
        const SearchOutcome outcome = searchListedFiles(listing, "sensor");
        QCOMPARE(namesOf(outcome), QStringList{"Kept.rca.xml"});
        QCOMPARE(outcome.statusText(), QString("4 files could not be read and were left out."));
        QCOMPARE(searchFolder(lib, "sensor").statusText(), QString("1 file could not be read and was left out."));
        QVERIFY(QDir(lib).removeRecursively()); // the folder gone since the listing: nothing can be read
        QCOMPARE(searchListedFiles(listing, "sensor").unreadable, 5);
        QCOMPARE(searchFolder(lib, "xml").statusText(), "The folder \"" + lib + "\" does not exist.");
        QVERIFY(QFile::link("loop", env.path("loop"))); // a folder that cannot be listed
        QCOMPARE(searchFolder(env.path("loop"), "xml").statusText(),
                 "The folder \"" + env.path("loop") + "\" could not be read.");
    }

    // The threads, the byte scan, the description taken from the raw bytes and the sort keys must
    // together give the plain search's result: each file holding the phrase, in the order of
    // entryLessThan, whichever thread reads which file.
    void manyFilesInManyThreads()
    {
        TestEnvironment env;
        const QString folder = env.path("lib");
        QRandomGenerator random(20160102);
        const QString stems[] = {"Pump", "pump", "Valve [2]", "\u00d6-\u00d6l", "a]b[c", "\U00010400", "\u00b5m"};
        const QByteArray descriptions[] = {"Pump", "PUMP", "caf\xE9 [x]", "CAF\xC9", "\xD7\x9A", "\xFF\x8A"};
        QMultiMap<QString, QString> holding; // phrase -> file
        for (int i = 0; i < 200; ++i) {
            QByteArray bytes = "<description>" + descriptions[random.bounded(6)] + "</description>";
            for (int n = random.bounded(300); n > 0; --n)
                bytes += char(random.bounded(256));
            const QString name = stems[random.bounded(7)] + QString::number(i) + (i % 3 ? ".rca.xml" : ".RCA.XML");
            QVERIFY(writeBytes(folder + '/' + name, bytes));
            for (const QString &phrase : QStringList{"pump", "caf\u00e9", "\u0161", "\u00ff", "x"})
                if (decode1252(bytes).toLower().contains(phrase))
                    holding.insert(phrase, folder + '/' + name);
        }
        AnalysisListing listing = listAnalysisFiles(folder);
        std::sort(listing.fileNames.begin(), listing.fileNames.end());
        for (const QString &phrase : holding.uniqueKeys())
            for (int workers : {0, 1, 2, 3, 8}) {
                const QList<SearchEntry> entries = searchListedFiles(listing, phrase.toUpper(), workers).entries;
                QStringList files;
                for (const SearchEntry &entry : entries)
                    files << entry.filePath;
                QVERIFY(std::is_sorted(entries.begin(), entries.end(), [](const SearchEntry &a, const SearchEntry &b) {
                    return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
                }));
                std::sort(files.begin(), files.end());
                QStringList expected = holding.values(phrase);
                std::sort(expected.begin(), expected.end());
                QVERIFY2(files == expected, qPrintable(QStringLiteral("%1 with %2 workers").arg(phrase).arg(workers)));
            }
    }
};

TESSIK_TEST(PhraseSearchTest)
#include "phrase_search_test.moc"

#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "search/case_fold.h"
#include "search/folder_access.h"
#include "search/found_entries.h"
#include "search/phrase_search.h"
#include "search/search_job.h"
#include "search/search_result_model.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <random>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessik;
using namespace tessik::test;

namespace {

const QString kGap(91, ' ');

QByteArray analysisFile(const QString &description, const QString &caption = QString())
{
    Analysis a{description, "op", "Plant North", {}};
    if (!caption.isEmpty())
        a.table.setCaption(a.table.addBlock(5, 5), caption);
    return writeAnalysis(a, QLocale::c());
}

QStringList namesOf(const SearchOutcome &outcome)
{
    QStringList names;
    for (const SearchEntry &entry : outcome.entries)
        names << entry.filePath.mid(entry.filePath.lastIndexOf('/') + 1);
    return names;
}

bool writeManyAnalyses(const QString &folder, int count)
{
    for (int i = 0; i < count; ++i)
        if (!writeBytes(folder + QString::number(i) + ".rca.xml", analysisFile("Any", "sensor")))
            return false;
    return true;
}

// Counts the files of a folder opened while it watches, as the kernel tells (inotify).
class OpenedFiles {
public:
    explicit OpenedFiles(const QString &folder) : m_watch(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        inotify_add_watch(m_watch, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenedFiles() { close(m_watch); }
    OpenedFiles(const OpenedFiles &) = delete;
    OpenedFiles &operator=(const OpenedFiles &) = delete;

    int count() const
    {
        int files = 0;
        alignas(inotify_event) char events[64 * 1024];
        for (ssize_t got; (got = read(m_watch, events, sizeof events)) > 0;) {
            for (const char *at = events; at < events + got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                files += (event->mask & IN_ISDIR) == 0 && event->len > 0;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return files;
    }

private:
    int m_watch;
};

struct Match {
    QByteArray content;
    QString phrase;
    bool found;
};

} // namespace

class PhraseSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Only the folder's analysis files are searched, tags and all: ordinary files and links to
    // them, also under a name that is not valid text. The result list shows each by description
    // and name, in order; an entry leads back to its own file and opens it by the name's bytes.
    void findsTheFolderFilesHoldingThePhrase()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        QVERIFY(writeBytes(lib + "Conveyor_op.rca.xml", readBytes(dataFile("worked_example.rca.xml"))));
        QVERIFY(writeBytes(lib + "Pump [B]] x.RCA.XML", analysisFile("Pump cavitation", "Impeller")));
        QVERIFY(writeBytes(lib + "Blank.rca.xml", analysisFile("\u20ac caf\u00e9 [x]")));
        QVERIFY(writeBytes(lib + "Bare.rca.xml", "<description>open, no end xml"));
        for (const char *name : {"notes.txt", ".Hidden.rca.xml", "Sub/Deep.rca.xml", "x.rca.xml.bak"})
            QVERIFY(writeBytes(lib + name, "<block>turbine sensor xml"));
        QVERIFY(QFile::link(lib + "Blank.rca.xml", lib + "Linked.rca.xml") &&
                mkfifo(QFile::encodeName(lib + "Pipe.rca.xml"), 0600) == 0);
        QVERIFY(QDir().mkpath(lib + "Folder.rca.xml") && QFile::link(lib + "Sub", lib + "ToFolder.rca.xml"));
        const std::string rawName = QFile::encodeName(lib).toStdString() + "Caf\xE9.rca.xml";
        std::ofstream(rawName) << analysisFile("Caf\u00e9 counter").toStdString();
        const qsizetype openFiles = QDir("/proc/self/fd").count();
        QCOMPARE(namesOf(searchFolder(lib, "SENSOR")), QStringList{"Conveyor_op.rca.xml"});
        QCOMPARE(namesOf(searchFolder(lib, "block")), QStringList({"Conveyor_op.rca.xml", "Pump [B]] x.RCA.XML"}));
        COMPARE_FACTS(bool, {"\"turbine\" found nowhere", searchFolder(lib, "turbine").entries.isEmpty(), true},
                      {"an empty phrase finds nothing", searchFolder(lib, "").entries.isEmpty(), true});
        QCOMPARE(QDir("/proc/self/fd").count(), openFiles); // every file read is closed again
        const SearchOutcome all = searchFolder(lib, "xml");
        SearchResultModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setEntries(all.entries);
        QStringList shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown << model.index(row).data().toString();
        QCOMPARE(
            shown,
            QStringList({kGap + "[Bare]", "Caf\u00e9 counter" + kGap + "[Caf\ufffd]",
                         "Conveyor stopped twice" + kGap + "[Conveyor_op]", "Pump cavitation" + kGap + "[Pump [B]] x]",
                         "\u20ac caf\u00e9 [x]" + kGap + "[Blank]", "\u20ac caf\u00e9 [x]" + kGap + "[Linked]"}));
        QCOMPARE(QStringList({all.entries[3].filePath, all.statusText()}),
                 QStringList({lib + "Pump [B]] x.RCA.XML", ""}));
        std::remove(rawName.c_str()); // Qt cannot name it to remove it with the folder
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
            {"zero byte inside", {QByteArray("se\0nsor", 7), "sensor", false}},
            // Placed at the end, then exactly filling and then passing the first read's 64 KiB.
            {"past the first read", {QByteArray(65490, '.') + "Sensor", "sensor", true}},
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

    // Random phrases in random bytes of letters that fold and some that do not: the scan finds a
    // phrase exactly where the decoded text, each character case-folded, holds the folded phrase.
    void scanFindsWhatTheFoldedTextHolds()
    {
        const QByteArray alphabet("aAbB\xE9\xC9\xDF\xFF\x9F\x8A\x9A\xB5x ", 14);
        std::mt19937 random(11);
        const auto randomBytes = [&](int most) {
            QByteArray bytes;
            for (int n = 1 + int(random() % unsigned(most)); n > 0; --n)
                bytes += alphabet[qsizetype(random() % unsigned(alphabet.size()))];
            return bytes;
        };
        const auto folded = [](const QByteArray &bytes) {
            QString text;
            for (const char byte : bytes)
                text += QChar(charFrom1252(uchar(byte))).toCaseFolded();
            return text;
        };
        for (int i = 0; i < 5000; ++i) {
            const QByteArray phrase = randomBytes(4), data = randomBytes(40);
            const FoldedPhrase scan(decode1252(phrase));
            QVERIFY2(scan.occursIn(data.constData(), size_t(data.size())) == folded(data).contains(folded(phrase)),
                     qPrintable(QString("\"%1\" in \"%2\"").arg(decode1252(phrase), decode1252(data))));
        }
    }

    // The scan alone, for the phrases the search never hands it: one the code page cannot write
    // is in no bytes, and nothing is in any bytes, none too.
    void scanOfPhrasesNoneOrAllBytesHold_data()
    {
        test::addRows<Match>({
            {"an arrow, the code page lacks it", {"xyz", "\u2192", false}},
            {"an arrow between letters that are there", {"a?b", "a\u2192b", false}},
            {"nothing in text", {"xyz", "", true}},
            {"nothing in nothing", {"", "", true}},
        });
    }
    void scanOfPhrasesNoneOrAllBytesHold()
    {
        QFETCH(Match, row);
        QCOMPARE(FoldedPhrase(row.phrase).occursIn(row.content.constData(), size_t(row.content.size())), row.found);
    }

    // The list is in the order of the texts compared with letter case ignored, then of the paths:
    // descriptions that begin others (the gap meets a tab, a blank, a letter), that differ only in
    // case, in accented letters or beyond ASCII, names that begin others or differ only in case,
    // a capital beside letters beyond ASCII, descriptions that run on where another's gap and
    // name are (one holding another's whole text), names whose letters differ only in case and
    // are one code apart, an "A" beside a sign between the capitals and the small letters in
    // names beyond ASCII.
    void listsEntriesInTextOrderThenByPath()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        QList<QPair<QString, QString>> expected; // text, path
        // Description and name, "~" standing for the gap between them in an entry.
        for (const QString file :
             {"Pump|ab",      "pump|ab[",     "Pump\tx|c",    "Pump x|d",     "Pumpa|e",     "Pump|abc",
              "Pump|ab_",     "PUMP|AB",      "\u00c4rger|f", "\u00e4rger|F", "Zeta|g",      "\u20ac|h",
              "\u00ff|i",     "Pump|\u00d1u", "Pump|\u00f1u", "Pump|Z\u00f1", "Pump~[ac|x",  "Pump~[AB|y",
              "Pump|\u0160",  "Pump|\u0161",  "Pump|\u0153",  "Pump|\u0152",  "Pump|\u017d", "Pump|\u017e",
              "Pump|\u00e9A", "Pump|\u00e9_", "Pump~[ab]|a"}) {
            const QString description = file.section('|', 0, 0).replace('~', kGap), name = file.section('|', 1);
            QVERIFY(writeBytes(lib + name + ".rca.xml", analysisFile(description)));
            expected.append({description + kGap + '[' + name + ']', lib + name + ".rca.xml"});
        }
        std::sort(expected.begin(), expected.end(), [](const auto &a, const auto &b) {
            const int byText = QString::compare(a.first, b.first, Qt::CaseInsensitive);
            return byText != 0 ? byText < 0 : a.second < b.second;
        });
        QList<QPair<QString, QString>> listed;
        for (const SearchEntry &entry : searchFolder(lib, "xml").entries)
            listed.append({entry.text, entry.filePath});
        QCOMPARE(listed, expected);
    }

    // Tens of thousands of entries, sorted as two halves at once and merged, come in the order of
    // the texts compared with letter case ignored, then of the paths, as a few do: descriptions
    // of few letters, so that many begin others or differ only in case, and many are alike.
    void tensOfThousandsOfEntriesInTextOrderThenByPath()
    {
        std::mt19937 random(5);
        const QByteArray letters("aAbB ");
        std::vector<QByteArray> names;
        std::string bytes;
        std::vector<FoundFile> found;
        QList<QPair<QString, QString>> expected; // text, path
        for (int i = 0; i < 30000; ++i) {
            QByteArray description;
            for (int n = int(random() % 5); n >= 0; --n)
                description += letters[qsizetype(random() % unsigned(letters.size()))];
            const QByteArray name = "F" + QByteArray::number(int(random() % 100)) + "_" + QByteArray::number(i);
            names.push_back(name + ".rca.xml");
            found.push_back(appendFoundFile(bytes, names.back(), description.toStdString(), std::uint32_t(i)));
            expected.append({QString::fromLatin1(description) + kGap + '[' + QString::fromLatin1(name) + ']',
                             "/lib/" + QString::fromLatin1(names.back())});
        }
        std::sort(expected.begin(), expected.end(), [](const auto &a, const auto &b) {
            const int byText = QString::compare(a.first, b.first, Qt::CaseInsensitive);
            return byText != 0 ? byText < 0 : a.second < b.second;
        });
        const FoundEntries entries("/lib", std::move(names), std::move(bytes), std::move(found));
        QCOMPARE(entries.size(), expected.size());
        for (qsizetype row = 0; row < entries.size(); ++row)
            QVERIFY2(entries.text(row) == expected[row].first && entries.filePath(row) == expected[row].second,
                     qPrintable(QString("row %1: %2 %3\nwanted: %4 %5")
                                    .arg(row)
                                    .arg(entries.text(row), entries.filePath(row), expected[row].first,
                                         expected[row].second)));
    }

    // Read on several threads, each keeping its own finds, while the folder is still being listed
    // or after, a large folder gives the list one thread gives.
    void severalThreadsFindWhatOneFinds()
    {
        TestEnvironment env;
        for (int i = 0; i < 400; ++i)
            QVERIFY(writeBytes(env.path("lib/F%1.rca.xml").arg(i), analysisFile(QString("Pump %1").arg(i % 37))));
        const AnalysisListing listing = listAnalysisFiles(env.path("lib/"));
        int misplaced = 0; // entries whose description is not that of the file at their path, Fi "Pump i % 37"
        const auto found = [&](int threads) {
            QStringList entries;
            for (const SearchEntry &entry :
                 (threads > 0 ? searchListedFiles(listing, "pump", threads) : searchFolder(env.path("lib/"), "pump"))
                     .entries) {
                entries << entry.text + entry.filePath;
                const int i = QFileInfo(entry.filePath).fileName().mid(1).chopped(8).toInt();
                misplaced += !entry.text.startsWith(QString("Pump %1 ").arg(i % 37));
            }
            return entries;
        };
        const QStringList byOne = found(1);
        QCOMPARE(byOne.size(), 400);
        QCOMPARE(found(4), byOne);
        QCOMPARE(found(0), byOne); // as the folder is listed
        QCOMPARE(misplaced, 0);
    }

    // The search names the entries that look widest in the list's font, widest first, so that the
    // window sizes every row by measuring only those: by the widths of their letters, not their
    // count, in the description and in the file's name, names beyond the code page included. One
    // missed would be drawn cut.
    void namesTheWidestEntriesInTheListFont()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        const QList<QPair<QString, QString>> files{
            {QString(30, 'W'), "F1"}, {"x", QString(20, QChar(0x416))}, // Cyrillic Zhe
            {QString(10, 'm'), "F3"}, {"Short", "F4"},
            {QString(20, 'i'), "F5"}, {"y", QString(40, 'W')}, // widest by its name
        };
        for (const auto &[description, name] : files)
            QVERIFY(writeBytes(lib + name + ".rca.xml", analysisFile(description)));
        QFont font("Liberation Sans");
        font.setPixelSize(11);
        SearchJob job;
        SearchOutcome outcome;
        connect(&job, &SearchJob::finished, [&outcome](const SearchOutcome &found) { outcome = found; });
        job.start(lib, "xml", font);
        QVERIFY2(QTest::qWaitFor([&job] { return job.isIdle(); }), "the search did not end");
        QList<int> byWidth{0, 1, 2, 3, 4, 5};
        const QFontMetrics metrics(font);
        std::sort(byWidth.begin(), byWidth.end(), [&](int a, int b) {
            return metrics.horizontalAdvance(outcome.entries[a].text) >
                   metrics.horizontalAdvance(outcome.entries[b].text);
        });
        QCOMPARE(outcome.widestRows, byWidth);
        QCOMPARE(widestRows(outcome.entries, EntryFont(font), 2), byWidth.mid(0, 2)); // fewer asked for
        QCOMPARE(widestRows(outcome.entries, EntryFont(font), 1), byWidth.mid(0, 1)); // the widest alone
    }

    // The listing tells whoever reads the files of each analysis as it finds it, with every name
    // found so far, so that reading starts while a large folder is still being listed.
    void listingTellsEachAnalysisAsItIsFound()
    {
        struct Recorder : ListingSink {
            std::vector<std::vector<QByteArray>> told;
            void listed(const std::vector<QByteArray> &names) override { told.push_back(names); }
        } recorder;
        TestEnvironment env;
        const QString lib = env.path("lib/");
        for (const char *name : {"A.rca.xml", "B.rca.xml", "notes.txt", "C.RCA.XML"})
            QVERIFY(writeBytes(lib + name, analysisFile("Pump")));
        const AnalysisListing listing = listAnalysisFiles(lib, nullptr, &recorder);
        QCOMPARE(listing.fileNames.size(), std::size_t(3));
        QCOMPARE(recorder.told.size(), std::size_t(3));
        for (std::size_t i = 0; i < recorder.told.size(); ++i)
            QVERIFY2(std::equal(recorder.told[i].begin(), recorder.told[i].end(), listing.fileNames.begin(),
                                listing.fileNames.begin() + std::ptrdiff_t(i + 1)) &&
                         recorder.told[i].size() == i + 1,
                     qPrintable(QString("told %1 names the %2th time").arg(recorder.told[i].size()).arg(i + 1)));
    }

    // Files that change between the listing and the reading, and files too large for an analysis,
    // are left out and counted; an entry whose file changed says why it does not open.
    void unreadableFilesAreLeftOutAndCounted()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        for (const char *name : {"Removed", "NowFolder", "NowPipe", "Kept", "Huge", "Huge2"})
            QVERIFY(writeBytes(lib + name + ".rca.xml", analysisFile("Still here", "Sensor")));
        QVERIFY(QFile::resize(lib + "Huge.rca.xml", kMaxAnalysisFileBytes + 1) && // sparse
                QFile::resize(lib + "Huge2.rca.xml", kMaxAnalysisFileBytes + 1));
        QVERIFY(QFile::link(lib + "nowhere", lib + "Dangling.rca.xml"));
        const AnalysisListing listing = listAnalysisFiles(lib);
        QCOMPARE(listing.fileNames.size(), std::size_t(7));
        const std::atomic<bool> stopped{true}; // a cancelled search stops listing at once
        QVERIFY(listAnalysisFiles(lib, &stopped).fileNames.empty());
        QVERIFY(QFile::remove(lib + "Removed.rca.xml") && QFile::remove(lib + "NowFolder.rca.xml"));
        QVERIFY(QDir().mkdir(lib + "NowFolder.rca.xml") && QFile::remove(lib + "NowPipe.rca.xml") &&
                mkfifo(QFile::encodeName(lib + "NowPipe.rca.xml"), 0600) == 0);
        const SearchOutcome outcome = searchListedFiles(listing, "sensor");
        QCOMPARE(namesOf(outcome), QStringList{"Kept.rca.xml"});
        QCOMPARE(outcome.statusText(), QString("4 files could not be read and were left out. 2 files are larger than "
                                               "256 MB and were left out."));
        QVERIFY(QFile::remove(lib + "Huge2.rca.xml"));
        QCOMPARE(searchFolder(lib, "sensor").statusText(),
                 QString("1 file could not be read and was left out. 1 file is larger than 256 MB and was left out."));
        QVERIFY(QDir(lib).removeRecursively()); // the folder gone since the listing: nothing can be read
        QCOMPARE(searchListedFiles(listing, "sensor").unreadable, 7);
        QVERIFY(QFile::link("loop", env.path("loop"))); // a folder that cannot be listed
        QCOMPARE(QStringList({searchFolder(lib, "xml").statusText(), searchFolder(env.path("loop"), "x").statusText()}),
                 QStringList({"The folder \"" + lib + "\" could not be searched. The folder does not exist.",
                              "The folder \"" + env.path("loop") +
                                  "\" could not be searched. Too many levels of symbolic links"}));
    }
    // A file of the largest size an analysis may have is searched like any other.
    void fileAtTheSizeLimitIsSearched()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        QVERIFY(writeBytes(lib + "Largest.rca.xml", analysisFile("Still here", "Sensor")) &&
                QFile::resize(lib + "Largest.rca.xml", kMaxAnalysisFileBytes)); // sparse
        const SearchOutcome outcome = searchFolder(lib, "sensor");
        QCOMPARE(namesOf(outcome), QStringList{"Largest.rca.xml"});
        QCOMPARE(outcome.statusText(), QString());
    }

    // An empty file reads as empty after a file that could not be opened, whose failure is still
    // the thread's last error.
    void emptyFileIsReadAfterAFailure()
    {
        TestEnvironment env;
        QVERIFY(writeBytes(env.path("lib/Empty.rca.xml"), "") &&
                QFile::link(env.path("lib/nowhere"), env.path("lib/Dangling.rca.xml")));
        const ListedFileReader reader(env.path("lib"));
        FileBuffer buffer;
        QVERIFY(!reader.read("Dangling.rca.xml", buffer).ok);
        const FileRead read = reader.read("Empty.rca.xml", buffer);
        QVERIFY2(read.ok && buffer.size() == 0, qPrintable("the empty file was refused: " + read.reason));
    }

    // A folder that has gone since it was listed: each of its files says so.
    void filesOfAFolderThatHasGoneSaySo()
    {
        TestEnvironment env;
        const ListedFileReader reader(env.path("gone"));
        FileBuffer buffer;
        const FileRead read = reader.read("Pump.rca.xml", buffer);
        QVERIFY(!read.ok);
        QCOMPARE(read.reason, kFolderMissing);
    }

    // An entry whose file has become something else since the search says why it does not open.
    void anEntryWhoseFileChangedSaysWhy()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        QVERIFY(QDir().mkpath(lib + "Folder.rca.xml") && mkfifo(QFile::encodeName(lib + "Pipe.rca.xml"), 0600) == 0);
        QStringList reasons;
        for (const char *name : {"Folder.rca.xml", "Pipe.rca.xml", "Gone.rca.xml"})
            reasons << readEntryAnalysis({{}, lib + name, lib, name}).reason;
        QCOMPARE(reasons, QStringList({"This is a folder, not a file.", "This is not an ordinary file.",
                                       "No such file or directory"}));
    }

    // A window closed during a search: its job waits for the search's thread, and nothing the
    // search finds arrives afterwards.
    void aJobEndedDuringItsSearchStopsIt()
    {
        TestEnvironment env;
        QVERIFY(writeManyAnalyses(env.path("lib/"), 2000));
        int outcomes = 0;
        {
            SearchJob job;
            connect(&job, &SearchJob::finished, [&outcomes] { ++outcomes; });
            job.start(env.path("lib/"), "sensor", QFont());
        }
        QTest::qWait(20); // time for an outcome posted late to arrive
        QCOMPARE(outcomes, 0);
    }

    // A search cancelled (replaced, or its window closed) is told to stop: its threads finish the
    // few files in hand and open no more, rather than read the folder to its end unseen.
    void aCancelledSearchStopsReading()
    {
        TestEnvironment env;
        QVERIFY(writeManyAnalyses(env.path("lib/"), 2000));
        const OpenedFiles opened(env.path("lib"));
        SearchJob job;
        job.start(env.path("lib/"), "sensor", QFont());
        job.cancel();
        const int readBefore = opened.count();
        QVERIFY2(QTest::qWaitFor([&job] { return job.isIdle(); }), "the cancelled search did not end");
        const int readAfter = opened.count();
        QVERIFY2(readAfter < 1000,
                 qPrintable(QString("the search read %1 of 2000 files after it was cancelled, %2 before")
                                .arg(readAfter)
                                .arg(readBefore)));
    }

    // Progress comes a few times a second, not on every turn of the event loop: the window
    // repaints its bar for each report.
    void progressComesAFewTimesASecond()
    {
        TestEnvironment env;
        QVERIFY(writeManyAnalyses(env.path("lib/"), 2000));
        SearchJob job;
        QSignalSpy progress(&job, &SearchJob::progressed), done(&job, &SearchJob::finished);
        QElapsedTimer clock;
        clock.start();
        job.start(env.path("lib/"), "sensor", QFont());
        QVERIFY2(done.wait(60000), "the search did not end");
        // One report at the start, one at the end, and one each 50 ms between (a timer may fire
        // a little early).
        const qint64 allowed = clock.elapsed() / 45 + 2;
        QVERIFY2(progress.size() <= allowed,
                 qPrintable(QString("%1 reports in %2 ms").arg(progress.size()).arg(clock.elapsed())));
    }

    // A long search tells how far it has got while it runs, not only at its start and end.
    void progressComesWhileTheSearchRuns()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        // Two of the largest files an analysis may be, each read whole (sparse: no disk used).
        for (const QString name : {"A", "B"})
            QVERIFY(writeBytes(lib + name + ".rca.xml", {}) &&
                    QFile::resize(lib + name + ".rca.xml", kMaxAnalysisFileBytes));
        SearchJob job;
        QSignalSpy progress(&job, &SearchJob::progressed), done(&job, &SearchJob::finished);
        QElapsedTimer clock;
        clock.start();
        job.start(lib, "sensor", QFont());
        QVERIFY2(done.wait(60000), "the search did not end");
        const QString reports = QString("%1 reports in a search of %2 ms").arg(progress.size()).arg(clock.elapsed());
        // The first tick, 50 ms in, may find the folder not yet listed; the second finds it read.
        if (clock.elapsed() < 120)
            QSKIP(qPrintable("the search ended before a second report was due: " + reports));
        QVERIFY2(progress.size() >= 3, qPrintable(reports));
    }

    // A new search's bar starts over, showing the listing, not the count of the search before.
    void eachSearchStartsItsProgressAfresh()
    {
        TestEnvironment env;
        for (const char *name : {"A", "B", "C"})
            QVERIFY(writeBytes(env.path("lib/") + name + ".rca.xml", analysisFile("Still here", "Sensor")));
        SearchJob job;
        QSignalSpy progress(&job, &SearchJob::progressed), done(&job, &SearchJob::finished);
        job.start(env.path("lib/"), "sensor", QFont());
        QVERIFY2(done.wait(10000), "the first search did not end");
        QCOMPARE(progress.last(), QVariantList({3, 3}));
        progress.clear();
        job.start(env.path("lib/"), "sensor", QFont());
        QCOMPARE(progress.first(), QVariantList({0, -1})); // the job waits for its search at its end
    }
};

TESSIK_TEST(PhraseSearchTest)
#include "phrase_search_test.moc"

#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "search/case_fold.h"
#include "search/folder_access.h"
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

// Entries as text and path, in the list's order: by text with letter case ignored, then by path.
using Listed = QList<QPair<QString, QString>>;
Listed inListOrder(Listed entries)
{
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        const int byText = QString::compare(a.first, b.first, Qt::CaseInsensitive);
        return byText != 0 ? byText < 0 : a.second < b.second;
    });
    return entries;
}

// The bytes of a file, the phrase and whether it is found there.
using Match = std::tuple<QByteArray, QString, bool>;

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
            {"no byte for the arrow", {"a?b", "a\u2192b", false}},
            {"zero byte inside", {QByteArray("se\0nsor", 7), "sensor", false}},
            // Placed at the end, then exactly filling and then passing the first read's 64 KiB.
            {"past the first read", {QByteArray(65490, '.') + "Sensor", "sensor", true}},
        });
    }
    void matchesOnlyTheWholePhrase()
    {
        QFETCH(Match, row);
        const auto &[content, phrase, found] = row;
        TestEnvironment env;
        const QByteArray run(40, '.');
        const QByteArray placings[] = {content, content + run, run + content, run + content + run};
        for (int i = 0; i < 4; ++i)
            QVERIFY(writeBytes(env.path(QStringLiteral("lib/F%1.rca.xml").arg(i)), placings[i]));
        QCOMPARE(searchFolder(env.path("lib"), phrase).entries.size(), found ? 4 : 0);
    }

    // Random phrases in random bytes of letters that fold and some that do not, after the phrases
    // the search never hands the scan (one the code page cannot write, and nothing): the scan finds
    // a phrase exactly where the decoded text, each character case-folded, holds the folded phrase.
    void scanFindsWhatTheFoldedTextHolds()
    {
        // Besides letters: signs one case bit apart (times and divide, bracket and brace), and a sharp
        // s, which has no capital, beside the letters of its upper-case spelling.
        const QByteArray alphabet("aAbB\xE9\xC9\xDF\xFF\x9F\x8A\x9A\xB5x \xD7\xF7[{sS", 20);
        std::mt19937 random(11);
        const auto randomBytes = [&](int most) {
            QByteArray bytes;
            for (int n = 1 + int(random() % unsigned(most)); n > 0; --n)
                bytes += alphabet[qsizetype(random() % unsigned(alphabet.size()))];
            return bytes;
        };
        const auto folded = [](const QString &text) {
            QString folding;
            for (const QChar c : text)
                folding += c.toCaseFolded();
            return folding;
        };
        QList<QPair<QString, QByteArray>> cases{{"\u2192", "xyz"}, {"a\u2192b", "a?b"}, {"", "xyz"}, {"", ""}};
        for (int i = 0; i < 5000; ++i)
            cases.append({decode1252(randomBytes(4)), randomBytes(40)});
        for (const auto &[phrase, data] : cases)
            QVERIFY2(FoldedPhrase(phrase).occursIn(data.constData(), size_t(data.size())) ==
                         folded(decode1252(data)).contains(folded(phrase)),
                     qPrintable(QString("\"%1\" in \"%2\"").arg(phrase, decode1252(data))));
    }

    // The list is in the order of the texts compared with letter case ignored, then of the paths,
    // also for tens of thousands of entries, sorted as two halves at once and merged: descriptions
    // that begin others (the gap meets a tab, a blank, a letter), that differ only in case, in
    // accented letters or beyond ASCII, names that begin others or differ only in case, a capital
    // beside letters beyond ASCII, descriptions that run on where another's gap and name are (one
    // holding another's whole text), names whose letters differ only in case and are one code
    // apart, an "A" beside a sign between the capitals and the small letters in names beyond
    // ASCII; then many of few letters, so that many begin others or differ only in case.
    void listsEntriesInTextOrderThenByPath()
    {
        Listed files; // description, name
        // Description and name, "~" standing for the gap between them in an entry.
        for (const QString file :
             {"Pump|ab",      "pump|ab[",     "Pump\tx|c",    "Pump x|d",     "Pumpa|e",     "Pump|abc",
              "Pump|ab_",     "PUMP|AB",      "\u00c4rger|f", "\u00e4rger|F", "Zeta|g",      "\u20ac|h",
              "\u00ff|i",     "Pump|\u00d1u", "Pump|\u00f1u", "Pump|Z\u00f1", "Pump~[ac|x",  "Pump~[AB|y",
              "Pump|\u0160",  "Pump|\u0161",  "Pump|\u0153",  "Pump|\u0152",  "Pump|\u017d", "Pump|\u017e",
              "Pump|\u00e9A", "Pump|\u00e9_", "Pump~[ab]|a"})
            files.append({file.section('|', 0, 0).replace('~', kGap), file.section('|', 1)});
        std::mt19937 random(5);
        const QString letters("aAbB ");
        for (int i = 0; i < 30000; ++i) {
            QString description;
            for (int n = int(random() % 5); n >= 0; --n)
                description += letters[qsizetype(random() % unsigned(letters.size()))];
            files.append({description, QString("F%1_%2").arg(random() % 100).arg(i)});
        }
        std::vector<QByteArray> names;
        std::string bytes;
        std::vector<FoundFile> found;
        Listed expected, listed;
        for (const auto &[description, name] : files) {
            names.push_back(QFile::encodeName(name + ".rca.xml"));
            found.push_back(appendFoundFile(bytes, names.back(), encode1252(description).toStdString(),
                                            std::uint32_t(found.size())));
            expected.append({description + kGap + '[' + name + ']', "/lib/" + name + ".rca.xml"});
        }
        const FoundEntries entries("/lib", std::move(names), std::move(bytes), std::move(found));
        for (qsizetype row = 0; row < entries.size(); ++row)
            listed.append({entries.text(row), entries.filePath(row)});
        QCOMPARE(listed, inListOrder(expected));
    }

    // Read on several threads, each keeping its own finds, while the folder is still being listed
    // or after, a large folder gives the list one thread gives, each entry that of its own file.
    void severalThreadsFindWhatOneFinds()
    {
        const AnalysisListing listing = listAnalysisFiles(many());
        const auto found = [&](int threads) {
            QStringList entries;
            for (const SearchEntry &entry :
                 (threads > 0 ? searchListedFiles(listing, "pump", threads) : searchFolder(many(), "pump")).entries)
                entries << entry.text + entry.filePath;
            return entries;
        };
        const QStringList byOne = found(1);
        QCOMPARE(byOne.size(), 2000);
        for (const QString &entry : byOne) // file i describes "Pump i % 37"
            QVERIFY2(entry.startsWith(QString("Pump %1 ").arg(QFileInfo(entry).fileName().chopped(8).toInt() % 37)),
                     qPrintable(entry));
        QCOMPARE(found(4), byOne);
        QCOMPARE(found(0), byOne); // as the folder is listed
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
        const FoundEntries entries = searchFolder(lib, "xml").entries;
        QList<int> byWidth{0, 1, 2, 3, 4, 5};
        const QFontMetrics metrics(font);
        std::sort(byWidth.begin(), byWidth.end(), [&](int a, int b) {
            return metrics.horizontalAdvance(entries.text(a)) > metrics.horizontalAdvance(entries.text(b));
        });
        QCOMPARE(widestRows(entries, EntryFont(font), 6), byWidth);
        QCOMPARE(widestRows(entries, EntryFont(font), 2), byWidth.mid(0, 2)); // fewer asked for
        QCOMPARE(widestRows(entries, EntryFont(font), 1), byWidth.mid(0, 1)); // the widest alone
    }

    // The listing tells whoever reads the files of each analysis as it finds it, with every name
    // found so far, so that reading starts while a large folder is still being listed.
    void listingTellsEachAnalysisAsItIsFound()
    {
        struct Recorder : ListingSink {
            std::vector<QByteArray> told; // the newest name, each time all the names so far came
            void listed(const std::vector<QByteArray> &names) override
            {
                told.push_back(names.size() == told.size() + 1 ? names.back() : QByteArray());
            }
        } recorder;
        const std::vector<QByteArray> names = listAnalysisFiles(many(), nullptr, &recorder).fileNames;
        QVERIFY2(names.size() == 2000 && recorder.told == names, "the names were not told one at a time as found");
    }

    // Files that change between the listing and the reading, and files too large for an analysis,
    // are left out and counted; one of the largest size allowed, and an empty one, are read. An
    // entry whose file changed says why it does not open, and a folder gone since its listing says so.
    void unreadableFilesAreLeftOutAndCounted()
    {
        TestEnvironment env;
        const QString lib = env.path("lib/");
        for (const char *name : {"Removed", "NowFolder", "NowPipe", "Kept", "Largest", "Huge", "Huge2"})
            QVERIFY(writeBytes(lib + name + ".rca.xml", analysisFile("Still here", "Sensor")));
        QVERIFY(QFile::resize(lib + "Huge.rca.xml", kMaxAnalysisFileBytes + 1) && // sparse
                QFile::resize(lib + "Huge2.rca.xml", kMaxAnalysisFileBytes + 1) &&
                QFile::resize(lib + "Largest.rca.xml", kMaxAnalysisFileBytes));
        QVERIFY(QFile::link(lib + "nowhere", lib + "Dangling.rca.xml") && writeBytes(lib + "Empty.rca.xml", ""));
        const AnalysisListing listing = listAnalysisFiles(lib);
        QCOMPARE(listing.fileNames.size(), std::size_t(9));
        const std::atomic<bool> stopped{true}; // a cancelled search stops listing at once
        QVERIFY(listAnalysisFiles(lib, &stopped).fileNames.empty());
        QVERIFY(QFile::remove(lib + "Removed.rca.xml") && QFile::remove(lib + "NowFolder.rca.xml"));
        QVERIFY(QDir().mkdir(lib + "NowFolder.rca.xml") && QFile::remove(lib + "NowPipe.rca.xml") &&
                mkfifo(QFile::encodeName(lib + "NowPipe.rca.xml"), 0600) == 0);
        const SearchOutcome outcome = searchListedFiles(listing, "sensor");
        QCOMPARE(namesOf(outcome), QStringList({"Kept.rca.xml", "Largest.rca.xml"}));
        QCOMPARE(outcome.statusText(), QString("4 files could not be read and were left out. 2 files are larger than "
                                               "256 MB and were left out."));
        QStringList reasons;
        for (const char *name : {"NowFolder.rca.xml", "NowPipe.rca.xml", "Removed.rca.xml"})
            reasons << readEntryAnalysis({{}, lib + name, lib, name}).reason;
        QCOMPARE(reasons, QStringList({"This is a folder, not a file.", "This is not an ordinary file.",
                                       "No such file or directory"}));
        QVERIFY(QFile::remove(lib + "Huge2.rca.xml"));
        QCOMPARE(searchFolder(lib, "sensor").statusText(),
                 QString("1 file could not be read and was left out. 1 file is larger than 256 MB and was left out."));
        // An empty file reads as empty after a file that could not be opened, whose failure is
        // still the thread's last error.
        FileBuffer buffer;
        const ListedFileReader reader(lib);
        QVERIFY2(!reader.read("Dangling.rca.xml", buffer).ok && reader.read("Empty.rca.xml", buffer).ok &&
                     buffer.size() == 0,
                 "the empty file read after a failure was refused");
        QVERIFY(QDir(lib).removeRecursively()); // the folder gone since the listing: nothing can be read
        QCOMPARE(ListedFileReader(lib).read("Kept.rca.xml", buffer).reason, kFolderMissing);
        QCOMPARE(searchListedFiles(listing, "sensor").unreadable, 9);
        QVERIFY(QFile::link("loop", env.path("loop"))); // a folder that cannot be listed
        QCOMPARE(QStringList({searchFolder(lib, "xml").statusText(), searchFolder(env.path("loop"), "x").statusText()}),
                 QStringList({"The folder \"" + lib + "\" could not be searched. The folder does not exist.",
                              "The folder \"" + env.path("loop") +
                                  "\" could not be searched. Too many levels of symbolic links"}));
    }

    // A large folder several tests share: 2,000 analyses, file i described as "Pump i % 37".
    void initTestCase()
    {
        QVERIFY(m_many.isValid());
        for (int i = 0; i < 2000; ++i)
            QVERIFY(writeBytes(many() + QString::number(i) + ".rca.xml",
                               analysisFile(QString("Pump %1").arg(i % 37), "sensor")));
    }

    // A search cancelled (replaced, or its window closed) is told to stop: its threads finish the
    // few files in hand and open no more, rather than read the folder to its end unseen, as the
    // kernel tells (inotify). A job ended during its search (its window closed) waits for the
    // search's thread. Nothing either search finds arrives afterwards.
    void aCancelledSearchStopsReading()
    {
        const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(inotify_add_watch(watch, QFile::encodeName(many()).constData(), IN_OPEN) >= 0);
        const auto opened = [watch] {
            int files = 0;
            alignas(inotify_event) char events[64 * 1024];
            for (ssize_t got; (got = read(watch, events, sizeof events)) > 0;)
                for (const char *at = events; at < events + got; ++files)
                    at += sizeof(inotify_event) + reinterpret_cast<const inotify_event *>(at)->len;
            return files;
        };
        int outcomes = 0;
        {
            SearchJob job;
            connect(&job, &SearchJob::finished, [&outcomes] { ++outcomes; });
            job.start(many(), "sensor", QFont());
            job.cancel();
            opened(); // those opened before the cancel
            QVERIFY2(QTest::qWaitFor([&job] { return job.isIdle(); }), "the cancelled search did not end");
            const int openedAfter = opened();
            QVERIFY2(openedAfter < 1000,
                     qPrintable(QString("%1 of 2000 files opened after the cancel").arg(openedAfter)));
            job.start(many(), "sensor", QFont()); // and the job ends during this one
        }
        close(watch);
        QTest::qWait(20); // time for an outcome posted late to arrive
        QCOMPARE(outcomes, 0);
    }

    // Progress comes while a long search runs, not only at its start and end; but only a few
    // times a second, not for every file: the window repaints its bar for each report. A new
    // search's bar starts over, showing the listing, not the count of the search before.
    void progressComesAFewTimesASecond()
    {
        // Two of the largest files an analysis may be, read whole (sparse: no disk used), keep the
        // search busy for a while.
        for (const QString name : {"A", "B"})
            QVERIFY(writeBytes(many() + name + ".rca.xml", {}) &&
                    QFile::resize(many() + name + ".rca.xml", kMaxAnalysisFileBytes));
        SearchJob job;
        QSignalSpy progress(&job, &SearchJob::progressed), done(&job, &SearchJob::finished);
        QElapsedTimer clock;
        clock.start();
        job.start(many(), "sensor", QFont());
        QVERIFY2(done.wait(60000), "the search did not end");
        const QString reports = QString("%1 reports in a search of %2 ms").arg(progress.size()).arg(clock.elapsed());
        // One report at the start, one at the end, and one each 50 ms between (a timer may fire
        // a little early).
        QVERIFY2(progress.size() <= clock.elapsed() / 45 + 2, qPrintable(reports));
        QCOMPARE(progress.last(), QVariantList({2002, 2002}));
        job.start(many(), "sensor", QFont());
        QCOMPARE(progress.last(), QVariantList({0, -1})); // the job waits for its search at its end
        // The first tick, 50 ms in, may find the folder not yet listed; the second finds it read.
        if (clock.elapsed() < 120)
            QSKIP(qPrintable("the search ended before a second report was due: " + reports));
        QVERIFY2(progress.size() >= 3, qPrintable(reports));
    }

private:
    QString many() const { return m_many.path() + '/'; }
    QTemporaryDir m_many;
};

TESSIK_TEST(PhraseSearchTest)
#include "phrase_search_test.moc"

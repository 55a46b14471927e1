#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "files/xml_get.h"
#include "search/phrase_search.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <sys/stat.h>

using namespace tessik;
using tessik::test::readBytes;
using tessik::test::writeBytes;

namespace {

QByteArray analysisFile(const QString &description, const QStringList &captions = {})
{
    Analysis a;
    a.description = description;
    a.office = QStringLiteral("Plant North");
    for (const QString &caption : captions)
        a.table.BlockText[a.table.addBlock(5, 5)] = caption;
    return writeAnalysis(a, QLocale::c());
}

QByteArray conveyorExample()
{
    return readBytes(QStringLiteral(TESSIK_TEST_DATA "/worked_example.rca.xml"));
}

QString entryText(const QString &description, const QString &name)
{
    return description + QString(91, QLatin1Char(' ')) + QLatin1Char('[') + name + QLatin1Char(']');
}

QString pathIn(const QTemporaryDir &dir, const QString &name)
{
    return dir.path() + QLatin1Char('/') + name;
}

QStringList namesOf(const QList<SearchEntry> &entries)
{
    QStringList names;
    for (const SearchEntry &entry : entries)
        names << QFileInfo(entry.filePath).fileName();
    return names;
}

// The search as plainly as it can be written: Qt's own listing, whole files decoded to text,
// every character folded through the code page, the real XMLget, a plain sort. The phrases
// given to it can all be written in the code page.
QString folded(QString text)
{
    for (QChar &c : text)
        if (const int byte = byteFor1252(c.unicode()); byte >= 0)
            c = QChar(charFrom1252(lowerCase1252(static_cast<unsigned char>(byte))));
    return text;
}

QList<SearchEntry> referenceSearch(const QString &folder, const QString &phrase)
{
    QList<SearchEntry> entries;
    const QString foldedPhrase = folded(phrase);
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.rca.xml")}, QDir::Files)) {
        const QString text = decode1252(readBytes(folder + QLatin1Char('/') + name));
        if (!folded(text).contains(foldedPhrase))
            continue;
        qsizetype start = 1;
        const QString description = XMLget(text, QStringLiteral("description"), start);
        entries.append(
            {entryText(description, name.left(name.indexOf(QStringLiteral(".rca.xml"), 0, Qt::CaseInsensitive))),
             folder + QLatin1Char('/') + name, folder, QFile::encodeName(name)});
    }
    std::sort(entries.begin(), entries.end(), [](const SearchEntry &a, const SearchEntry &b) {
        const int byText = QString::compare(a.text, b.text, Qt::CaseInsensitive);
        return byText != 0 ? byText < 0 : a.filePath < b.filePath;
    });
    return entries;
}

// Mostly plain text and markup, with every byte value able to turn up, the upper half often.
QByteArray randomBytes(QRandomGenerator &random, int count)
{
    static const QByteArray pieces[] = {"block", "xml",           "Sensor",         " ",       "\r\n",    "[",
                                        "]",     "<description>", "</description>", "caf\xE9", "CAF\xC9", "\x8A",
                                        "\x9A",  "\xFF",          "\x9F",           "\xD7"};
    QByteArray bytes;
    while (bytes.size() < count) {
        const quint32 pick = random.bounded(10);
        if (pick < 4)
            bytes += pieces[random.bounded(int(std::size(pieces)))];
        else
            bytes += char(pick < 7 ? 0x80 + random.bounded(0x80) : random.bounded(256));
    }
    return bytes;
}

// A folder of analyses with awkward names and descriptions that tie or differ only in case.
void fillRandomFolder(const QString &folder, int files)
{
    QRandomGenerator random(20160102);
    const QString endings[] = {".rca.xml", ".RCA.XML", ".rca.xml.rca.xml"};
    const QString stems[] = {"Pump", "pump", "Valve [2]", "Ö-Öl", "a]b[c", "\U00010400", "\u00b5m"};
    const QByteArray descriptions[] = {"Pump", "PUMP", "caf\xE9 [x]", "CAF\xC9"};
    for (int i = 0; i < files; ++i) {
        const QString name = stems[random.bounded(int(std::size(stems)))] + QString::number(i) +
                             endings[random.bounded(int(std::size(endings)))];
        const QByteArray description = random.bounded(2) ? descriptions[random.bounded(4)] : randomBytes(random, 12);
        QVERIFY(writeBytes(folder + QLatin1Char('/') + name,
                           "<analysis>\r\n  <description>" + description + "</description>\r\n" +
                               randomBytes(random, random.bounded(300)) + "</analysis>\r\n"));
    }
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsFilesHoldingThePhrase_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("caption in other case") << "SENSOR" << QStringList{"Conveyor_op.rca.xml"};
        QTest::newRow("element name: every file with a block")
            << "block" << QStringList{"Conveyor_op.rca.xml", "Pump.rca.xml"};
        QTest::newRow("declaration: every file")
            << "xml" << QStringList{"Conveyor_op.rca.xml", "Blank.rca.xml", "Pump.rca.xml"};
        QTest::newRow("nowhere") << "turbine" << QStringList{};
        QTest::newRow("empty phrase") << "" << QStringList{};
    }
    void findsFilesHoldingThePhrase()
    {
        QFETCH(QString, phrase);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "Conveyor_op.rca.xml"), conveyorExample()));
        QVERIFY(writeBytes(pathIn(dir, "Pump.rca.xml"), analysisFile("Pump cavitation", {"Impeller"})));
        QVERIFY(writeBytes(pathIn(dir, "Blank.rca.xml"), analysisFile("Nothing yet")));
        // Neighbours that hold every phrase but are not the folder's analysis files.
        const QByteArray bait = conveyorExample() + "turbine";
        QVERIFY(writeBytes(pathIn(dir, "notes.txt"), bait));
        QVERIFY(writeBytes(pathIn(dir, ".Hidden.rca.xml"), bait));
        QVERIFY(QDir(dir.path()).mkpath("Sub"));
        QVERIFY(writeBytes(pathIn(dir, "Sub/Deep.rca.xml"), bait));
        QVERIFY(QDir(dir.path()).mkpath("Folder.rca.xml"));

        // The last folder is kept with a separator at its end.
        const SearchOutcome outcome = searchFolder(dir.path() + QLatin1Char('/'), phrase);
        QCOMPARE(namesOf(outcome.entries), expected);
        for (const SearchEntry &entry : outcome.entries)
            QCOMPARE(entry.filePath, pathIn(dir, QFileInfo(entry.filePath).fileName()));
        QCOMPARE(outcome.unreadable, 0);
        QCOMPARE(outcome.statusText(), QString());
    }

    void entryShowsDescriptionAndKeepsItsFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expectedText");
        const QByteArray plain = analysisFile("Old press");
        QTest::newRow("worked example") << "Conveyor_op.rca.xml" << conveyorExample()
                                        << entryText("Conveyor stopped twice", "Conveyor_op");
        QTest::newRow("ending in capitals") << "OLD.RCA.XML" << plain << entryText("Old press", "OLD");
        QTest::newRow("brackets in the name")
            << "Pump [B]] x.rca.xml" << plain << entryText("Old press", "Pump [B]] x");
        QTest::newRow("brackets in the description")
            << "Valve.rca.xml" << analysisFile("Valve [stuck] open ]") << entryText("Valve [stuck] open ]", "Valve");
        QTest::newRow("no description element")
            << "Bare.rca.xml" << QByteArray("<analysis><block>x</block></analysis>") << entryText("", "Bare");
        QTest::newRow("code page characters")
            << "Caf\u00e9 \u00d6l.rca.xml" << QByteArray("<description>\x80 caf\xE9 \x8A\x81</description>")
            << entryText("\u20ac caf\u00e9 \u0160\u0081", "Caf\u00e9 \u00d6l");
    }
    void entryShowsDescriptionAndKeepsItsFile()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, expectedText);
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, fileName), content + " needle"));
        QVERIFY(writeBytes(pathIn(dir, "Other.rca.xml"), "<description>Other</description>"));
        const SearchOutcome outcome = searchFolder(dir.path(), "NEEDLE");
        QCOMPARE(outcome.entries.size(), 1);
        QCOMPARE(outcome.entries[0].text, expectedText);
        // The entry leads back to the very file it was built from.
        QCOMPARE(outcome.entries[0].filePath, pathIn(dir, fileName));
    }

    // Letter case is ignored for the letters of Windows-1252 only. Each file holds its text at
    // the start, at the end and in the middle of a longer run, so the phrase is looked for at
    // every kind of place the scan treats apart.
    void letterCaseIgnoredOnlyForLetters_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<bool>("found");
        QTest::newRow("e acute, capital in file") << QByteArray("CAF\xC9") << QString::fromUtf8("caf\u00e9") << true;
        QTest::newRow("e acute, capital in phrase") << QByteArray("caf\xE9") << QString::fromUtf8("CAF\u00c9") << true;
        QTest::newRow("S caron") << QByteArray("\x8A") << QString::fromUtf8("\u0161") << true;
        QTest::newRow("Y diaeresis") << QByteArray("\x9F") << QString::fromUtf8("\u00ff") << true;
        QTest::newRow("times is not divide") << QByteArray("\xD7") << QString::fromUtf8("\u00f7") << false;
        QTest::newRow("bracket is not brace") << QByteArray("[") << "{" << false;
        QTest::newRow("sharp s has no capital") << QByteArray("SS") << QString::fromUtf8("\u00df") << false;
        QTest::newRow("no byte for the arrow") << QByteArray("a?b") << QString::fromUtf8("a\u2192b") << false;
        QTest::newRow("near miss") << QByteArray("sensor data missixg") << "SENSOR DATA MISSING" << false;
        QTest::newRow("zero byte inside") << QByteArray("se\0nsor", 7) << "sensor" << false;
    }
    void letterCaseIgnoredOnlyForLetters()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, phrase);
        QFETCH(bool, found);
        QTemporaryDir dir;
        const QByteArray run(40, '.');
        const QByteArray placings[] = {content, content + run, run + content, run + content + run};
        for (const QByteArray &bytes : placings)
            QVERIFY(writeBytes(pathIn(dir, QStringLiteral("F%1.rca.xml").arg(&bytes - placings)), bytes));
        const SearchOutcome outcome = searchFolder(dir.path(), phrase);
        QCOMPARE(outcome.entries.size(), found ? 4 : 0);
        QCOMPARE(outcome.unreadable, 0);
    }

    void unreadableFilesAreLeftOutAndCounted()
    {
        QTemporaryDir dir;
        for (const char *name : {"Removed.rca.xml", "NowFolder.rca.xml", "NowPipe.rca.xml", "Kept.rca.xml"})
            QVERIFY(writeBytes(pathIn(dir, name), analysisFile("Still here", {"Sensor"})));
        const AnalysisListing listing = listAnalysisFiles(dir.path());
        QCOMPARE(listing.fileNames.size(), std::size_t(4));
        // Between the listing and the reading, three of the files change under the search.
        QVERIFY(QFile::remove(pathIn(dir, "Removed.rca.xml")));
        QVERIFY(QFile::remove(pathIn(dir, "NowFolder.rca.xml")));
        QVERIFY(QDir(dir.path()).mkdir("NowFolder.rca.xml"));
        QVERIFY(QFile::remove(pathIn(dir, "NowPipe.rca.xml")));
        QCOMPARE(mkfifo(QFile::encodeName(pathIn(dir, "NowPipe.rca.xml")).constData(), 0600), 0);

        const SearchOutcome outcome = searchListedFiles(listing, "sensor");
        QCOMPARE(namesOf(outcome.entries), QStringList{"Kept.rca.xml"});
        QCOMPARE(outcome.unreadable, 3);
        QCOMPARE(outcome.statusText(), QStringLiteral("3 files could not be read and were left out."));
    }

    void folderThatIsNotThere()
    {
        QTemporaryDir dir;
        const QString folder = pathIn(dir, "Nowhere");
        const SearchOutcome outcome = searchFolder(folder, "xml");
        QVERIFY(!outcome.listing.ok);
        QVERIFY(outcome.entries.isEmpty());
        QCOMPARE(outcome.statusText(),
                 QStringLiteral("The folder \"%1\" could not be searched. The folder does not exist.").arg(folder));
    }

    // The threads, the byte scan, the description taken from the raw bytes and the sort keys
    // must together give what the plain search gives.
    void sameResultAsOneByOneSearch()
    {
        QTemporaryDir dir;
        fillRandomFolder(dir.path(), 120);
        const AnalysisListing listing = listAnalysisFiles(dir.path());
        QCOMPARE(listing.fileNames.size(), std::size_t(120));
        for (const char *phrase :
             {"block", "xml", "A", "caf\xC3\xA9", "\xC5\xA0", "\xC3\xBF", "\xC3\x97", "]", "pump"}) {
            const QList<SearchEntry> expected = referenceSearch(dir.path(), QString::fromUtf8(phrase));
            QVERIFY2(!expected.isEmpty(), phrase);
            for (int workers : {0, 1, 3})
                QVERIFY2(searchListedFiles(listing, QString::fromUtf8(phrase), workers).entries == expected,
                         qPrintable(QStringLiteral("%1 with %2 workers").arg(QString::fromUtf8(phrase)).arg(workers)));
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"

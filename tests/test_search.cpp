#include "files/codepage.h"
#include "files/xml_get.h"
#include "search/case_fold.h"
#include "search/description_bytes.h"
#include "search/phrase_search.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessik;
using tessik::test::readBytes;
using tessik::test::writeBytes;

namespace {

struct TestBlock {
    QString text;
    QString notes = {};
    QString category = {};
    int parent = 0;
    int x = 0;
    int y = 0;
    bool active = true;
};

QString numberText(int value)
{
    return value < 0 ? QStringLiteral("%1 ").arg(value) : QStringLiteral(" %1 ").arg(value);
}

// An analysis file laid out line for line as the program writes it.
QByteArray analysisFile(const QString &description, const QList<TestBlock> &blocks,
                        const QString &email = QStringLiteral("operator"),
                        const QString &office = QStringLiteral("Plant North"))
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<analysis>\r\n");
    text += QStringLiteral("  <description>") + description + QStringLiteral("</description>\r\n");
    text += QStringLiteral("  <email>") + email + QStringLiteral("</email>\r\n");
    text += QStringLiteral("  <office>") + office + QStringLiteral("</office>\r\n");
    for (int i = 0; i < blocks.size(); ++i) {
        const TestBlock &b = blocks[i];
        text += QStringLiteral("  <block>\r\n");
        text += QStringLiteral("    <id>") + numberText(i + 1) + QStringLiteral("</id>\r\n");
        text += QStringLiteral("    <active>") + numberText(b.active ? -1 : 0) + QStringLiteral("</active>\r\n");
        text += QStringLiteral("    <parent>") + numberText(b.parent) + QStringLiteral("</parent>\r\n");
        text += QStringLiteral("    <x>") + numberText(b.x) + QStringLiteral("</x>\r\n");
        text += QStringLiteral("    <y>") + numberText(b.y) + QStringLiteral("</y>\r\n");
        text += QStringLiteral("    <text>") + b.text + QStringLiteral("</text>\r\n");
        text += QStringLiteral("    <notes>") + b.notes + QStringLiteral("</notes>\r\n");
        text += QStringLiteral("    <category>") + b.category + QStringLiteral("</category>\r\n");
        text += QStringLiteral("  </block>\r\n");
    }
    text += QStringLiteral("</analysis>\r\n");
    return encode1252(text);
}

QByteArray conveyorExample()
{
    return analysisFile(QStringLiteral("Conveyor stopped twice"),
                        {{QStringLiteral("Conveyor stopped"), {}, {}, 0, 0, 0},
                         {QStringLiteral("Sensor data missing"), QStringLiteral("Technology"),
                          QStringLiteral("Information"), 1, 15, -3}});
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
// every character folded through the code page, the real XMLget.
QString foldedText(const QString &text, bool *representable = nullptr)
{
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = byteFor1252(text[i].unicode());
        if (byte < 0 && representable)
            *representable = false;
        folded[i] = byte < 0 ? text[i] : QChar(charFrom1252(lowerCase1252(static_cast<unsigned char>(byte))));
    }
    return folded;
}

QList<SearchEntry> referenceSearch(const QString &folder, const QString &phrase, int *unreadable = nullptr)
{
    QList<SearchEntry> entries;
    if (phrase.isEmpty())
        return entries;
    bool representable = true;
    const QString foldedPhrase = foldedText(phrase, &representable);
    if (!representable)
        return entries;
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.rca.xml")}, QDir::Files);
    for (const QString &name : names) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            if (unreadable)
                ++*unreadable;
            continue;
        }
        const QString text = decode1252(file.readAll());
        if (!foldedText(text).contains(foldedPhrase))
            continue;
        qsizetype start = 1;
        const QString description = XMLget(text, QStringLiteral("description"), start);
        const QString shownName = name.left(name.indexOf(QStringLiteral(".rca.xml"), 0, Qt::CaseInsensitive));
        entries.append({description + QString(91, QLatin1Char(' ')) + QLatin1Char('[') + shownName + QLatin1Char(']'),
                        folder + QLatin1Char('/') + name});
    }
    std::sort(entries.begin(), entries.end(), [](const SearchEntry &a, const SearchEntry &b) {
        const int byText = QString::compare(a.text, b.text, Qt::CaseInsensitive);
        return byText != 0 ? byText < 0 : a.filePath < b.filePath;
    });
    return entries;
}

QByteArray randomBytes(QRandomGenerator &random, int count)
{
    // Mostly plain text, with every byte value able to turn up, the upper half often.
    static const QByteArray pieces[] = {"block", "xml",  "Sensor", " ",       "\r\n",    "[",    "]",
                                        "<",     ">",    "&",      "caf\xE9", "CAF\xC9", "\x8A", "\x9A",
                                        "\x8C",  "\x9C", "\xFF",   "\x9F",    "\xD7",    "\xF7"};
    QByteArray bytes;
    while (bytes.size() < count) {
        const quint32 pick = random.bounded(10);
        if (pick < 4)
            bytes += pieces[random.bounded(int(std::size(pieces)))];
        else if (pick < 7)
            bytes += char(0x80 + random.bounded(0x80));
        else
            bytes += char(random.bounded(256));
    }
    return bytes;
}

QByteArray randomAnalysis(QRandomGenerator &random)
{
    QByteArray bytes = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<analysis>\r\n";
    const quint32 kind = random.bounded(8);
    const QByteArray description = randomBytes(random, random.bounded(12));
    if (kind == 0) {
        // no description element at all
    } else if (kind == 1) {
        bytes += "  <description>" + description + "\r\n"; // never closed
    } else if (kind == 2) {
        bytes += "  <description>Pump</description>\r\n"; // same text as many others
    } else if (kind == 3) {
        bytes += "  <description>PUMP</description>\r\n"; // differs from those only in case
    } else {
        bytes += "  <description>" + description + "</description>\r\n";
    }
    const int blocks = random.bounded(4);
    for (int i = 0; i < blocks; ++i)
        bytes += "  <block>\r\n    <text>" + randomBytes(random, random.bounded(40)) + "</text>\r\n  </block>\r\n";
    bytes += randomBytes(random, random.bounded(200));
    return bytes + "</analysis>\r\n";
}

// A folder of analyses with awkward names and neighbours that are not analyses.
void fillRandomFolder(const QString &folder, int files, quint32 seed)
{
    QRandomGenerator random(seed);
    static const QString endings[] = {QStringLiteral(".rca.xml"), QStringLiteral(".RCA.XML"),
                                      QStringLiteral(".Rca.xml"), QStringLiteral(".rca.xml.rca.xml")};
    static const QString stems[] = {
        QStringLiteral("Pump"),       QStringLiteral("pump"),   QStringLiteral("Valve [2]"),
        QStringLiteral("Ö-Öl"),       QStringLiteral("a]b[c"),  QStringLiteral("Kiln"),
        QStringLiteral("Sensor"),     QStringLiteral("x y z"),  QStringLiteral("\U00010400"),
        QStringLiteral("\U00010428"), QStringLiteral("\u00b5m")};
    for (int i = 0; i < files; ++i) {
        const QString name = stems[random.bounded(int(std::size(stems)))] + QString::number(i) +
                             endings[random.bounded(int(std::size(endings)))];
        QVERIFY(writeBytes(folder + QLatin1Char('/') + name, randomAnalysis(random)));
    }
    QVERIFY(writeBytes(folder + QStringLiteral("/.hidden.rca.xml"), "block xml"));
    QVERIFY(writeBytes(folder + QStringLiteral("/notes.txt"), "block xml"));
    QVERIFY(writeBytes(folder + QStringLiteral("/Pump.rca.xml.bak"), "block xml"));
    QVERIFY(QDir(folder).mkpath(QStringLiteral("Sub")));
    QVERIFY(writeBytes(folder + QStringLiteral("/Sub/Deep.rca.xml"), "block xml"));
    QVERIFY(QDir(folder).mkpath(QStringLiteral("Folder.rca.xml")));
}

QString hexUnits(const QString &text)
{
    QStringList units;
    for (const QChar unit : text)
        units << QString::number(unit.unicode(), 16);
    return units.join(QLatin1Char(' '));
}

QString describeDifference(const QList<SearchEntry> &actual, const QList<SearchEntry> &expected)
{
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i)
        if (!(actual[i] == expected[i]))
            return QStringLiteral("entry %1: got %2 (%3), expected %4 (%5)")
                .arg(i)
                .arg(actual[i].text.simplified(), actual[i].filePath, expected[i].text.simplified(),
                     expected[i].filePath);
    return QStringLiteral("got %1 entries, expected %2").arg(actual.size()).arg(expected.size());
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
        QTest::newRow("phrase with a blank") << "sensor DATA" << QStringList{"Conveyor_op.rca.xml"};
        QTest::newRow("notes") << "seal WORN" << QStringList{"Pump.rca.xml"};
        QTest::newRow("element name: every file with a block")
            << "block" << QStringList{"Conveyor_op.rca.xml", "Pump.rca.xml"};
        QTest::newRow("declaration: every file")
            << "xml" << QStringList{"Conveyor_op.rca.xml", "Blank.rca.xml", "Pump.rca.xml"};
        QTest::newRow("number text") << "<parent> 1 </parent>" << QStringList{"Conveyor_op.rca.xml"};
        QTest::newRow("nowhere") << "turbine" << QStringList{};
        QTest::newRow("empty phrase") << "" << QStringList{};
    }
    void findsFilesHoldingThePhrase()
    {
        QFETCH(QString, phrase);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "Conveyor_op.rca.xml"), conveyorExample()));
        QVERIFY(writeBytes(pathIn(dir, "Pump.rca.xml"),
                           analysisFile("Pump cavitation", {{"Impeller", "Seal worn", "Physical Resources"}})));
        QVERIFY(writeBytes(pathIn(dir, "Blank.rca.xml"), analysisFile("Nothing yet", {})));
        // Neighbours that hold every phrase but are not the folder's analysis files.
        const QByteArray bait = conveyorExample() + "seal worn turbine";
        QVERIFY(writeBytes(pathIn(dir, "notes.txt"), bait));
        QVERIFY(writeBytes(pathIn(dir, ".Hidden.rca.xml"), bait));
        QVERIFY(QDir(dir.path()).mkpath("Sub"));
        QVERIFY(writeBytes(pathIn(dir, "Sub/Deep.rca.xml"), bait));
        QVERIFY(QDir(dir.path()).mkpath("Folder.rca.xml"));

        const SearchOutcome outcome = searchFolder(dir.path(), phrase);
        QCOMPARE(namesOf(outcome.entries), expected);
        QCOMPARE(outcome.unreadable, 0);
        QVERIFY(!outcome.folderMissing);
        QCOMPARE(outcome.statusText(), QString());
    }

    // The last folder is kept with a separator at its end; the paths must still be sound.
    void folderGivenWithTrailingSeparator()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "Conveyor_op.rca.xml"), conveyorExample()));
        const SearchOutcome outcome = searchFolder(dir.path() + QLatin1Char('/'), "sensor");
        QCOMPARE(outcome.entries.size(), 1);
        QCOMPARE(outcome.entries[0].filePath, pathIn(dir, "Conveyor_op.rca.xml"));
    }

    void emptyPhraseReadsNothing()
    {
        const SearchOutcome outcome = searchFolder(QStringLiteral("/no/such/folder"), QString());
        QVERIFY(outcome.entries.isEmpty());
        QVERIFY(!outcome.folderMissing);
        QCOMPARE(outcome.statusText(), QString());
    }

    void entryShowsDescriptionAndKeepsItsFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QString>("expectedText");
        const QByteArray plain = analysisFile("Old press", {});
        QTest::newRow("worked example") << "Conveyor_op.rca.xml" << conveyorExample() << "SENSOR"
                                        << entryText("Conveyor stopped twice", "Conveyor_op");
        QTest::newRow("ending in capitals") << "OLD.RCA.XML" << plain << "old press" << entryText("Old press", "OLD");
        QTest::newRow("ending in mixed case")
            << "Mixed.Rca.Xml" << plain << "old press" << entryText("Old press", "Mixed");
        QTest::newRow("cut at the first ending")
            << "Twice.rca.xml.rca.xml" << plain << "old press" << entryText("Old press", "Twice");
        QTest::newRow("brackets in the name")
            << "Pump [B]] x.rca.xml" << plain << "old press" << entryText("Old press", "Pump [B]] x");
        QTest::newRow("brackets in the description") << "Valve.rca.xml" << analysisFile("Valve [stuck] open ]", {})
                                                     << "STUCK" << entryText("Valve [stuck] open ]", "Valve");
        QTest::newRow("no description element") << "Bare.rca.xml" << QByteArray("<analysis><block>x</block></analysis>")
                                                << "block" << entryText("", "Bare");
        QTest::newRow("description never closed")
            << "Open.rca.xml" << QByteArray("<description>Half\r\n</analysis>") << "half" << entryText("", "Open");
        QTest::newRow("first description wins")
            << "Two.rca.xml" << QByteArray("<description>A</description><description>B</description>")
            << "description>b" << entryText("A", "Two");
        QTest::newRow("description over two lines, markup kept")
            << "Lines.rca.xml" << analysisFile("Line one &\r\n<two> \"x\" ", {}) << "LINE ONE"
            << entryText("Line one &\r\n<two> \"x\" ", "Lines");
        QTest::newRow("code page characters")
            << "Caf\u00e9 \u00d6l.rca.xml" << QByteArray("<description>\x80 caf\xE9 \x8A\x81</description>")
            << "CAF\u00c9" << entryText("\u20ac caf\u00e9 \u0160\u0081", "Caf\u00e9 \u00d6l");
    }
    void entryShowsDescriptionAndKeepsItsFile()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, phrase);
        QFETCH(QString, expectedText);
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, fileName), content));
        QVERIFY(writeBytes(pathIn(dir, "Other.rca.xml"), "<description>Other</description>"));

        const SearchOutcome outcome = searchFolder(dir.path(), phrase);
        QCOMPARE(outcome.entries.size(), 1);
        QCOMPARE(outcome.entries[0].text, expectedText);
        QCOMPARE(outcome.entries[0].filePath, pathIn(dir, fileName));
        // The entry leads back to the very file it was built from.
        QCOMPARE(readBytes(outcome.entries[0].filePath), content);
    }

    void entriesAreSortedByTextIgnoringCase()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "b.rca.xml"), analysisFile("beta", {})));
        QVERIFY(writeBytes(pathIn(dir, "a2.rca.xml"), analysisFile("Alpha", {})));
        QVERIFY(writeBytes(pathIn(dir, "g.rca.xml"), analysisFile("Gamma", {})));
        QVERIFY(writeBytes(pathIn(dir, "a1.rca.xml"), analysisFile("alpha", {})));
        QVERIFY(writeBytes(pathIn(dir, "A.rca.xml"), analysisFile("alpha", {})));
        QVERIFY(writeBytes(pathIn(dir, "a.rca.xml"), analysisFile("alpha", {})));
        QVERIFY(writeBytes(pathIn(dir, "e.rca.xml"), analysisFile("", {})));
        // The name is part of the text: "[a1]" sorts before "[a]"; "[A]" and "[a]" tie and go by file.
        const SearchOutcome outcome = searchFolder(dir.path(), "xml");
        QCOMPARE(namesOf(outcome.entries), (QStringList{"e.rca.xml", "a1.rca.xml", "a2.rca.xml", "A.rca.xml",
                                                        "a.rca.xml", "b.rca.xml", "g.rca.xml"}));
    }

    void letterCaseIgnoredOnlyForLetters_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<bool>("found");
        QTest::newRow("e acute, capital in file") << QByteArray("CAF\xC9") << QString::fromUtf8("caf\u00e9") << true;
        QTest::newRow("e acute, capital in phrase") << QByteArray("caf\xE9") << QString::fromUtf8("CAF\u00c9") << true;
        QTest::newRow("S caron") << QByteArray("\x8A") << QString::fromUtf8("\u0161") << true;
        QTest::newRow("s caron") << QByteArray("\x9A") << QString::fromUtf8("\u0160") << true;
        QTest::newRow("OE") << QByteArray("\x8C") << QString::fromUtf8("\u0153") << true;
        QTest::newRow("oe") << QByteArray("\x9C") << QString::fromUtf8("\u0152") << true;
        QTest::newRow("Z caron") << QByteArray("\x8E") << QString::fromUtf8("\u017e") << true;
        QTest::newRow("y diaeresis") << QByteArray("\xFF") << QString::fromUtf8("\u0178") << true;
        QTest::newRow("Y diaeresis") << QByteArray("\x9F") << QString::fromUtf8("\u00ff") << true;
        QTest::newRow("A grave") << QByteArray("\xC0") << QString::fromUtf8("\u00e0") << true;
        QTest::newRow("Thorn") << QByteArray("\xFE") << QString::fromUtf8("\u00de") << true;
        QTest::newRow("times is not divide") << QByteArray("\xD7") << QString::fromUtf8("\u00f7") << false;
        QTest::newRow("divide is not times") << QByteArray("\xF7") << QString::fromUtf8("\u00d7") << false;
        QTest::newRow("times is times") << QByteArray("\xD7") << QString::fromUtf8("\u00d7") << true;
        QTest::newRow("bracket is not brace") << QByteArray("[") << "{" << false;
        QTest::newRow("brace is not bracket") << QByteArray("{") << "[" << false;
        QTest::newRow("at is not backquote") << QByteArray("@") << "`" << false;
        QTest::newRow("caret is not tilde") << QByteArray("^") << "~" << false;
        QTest::newRow("sharp s has no capital") << QByteArray("SS") << QString::fromUtf8("\u00df") << false;
        QTest::newRow("micro is itself") << QByteArray("\xB5") << QString::fromUtf8("\u00b5") << true;
        QTest::newRow("euro") << QByteArray("\x80") << QString::fromUtf8("\u20ac") << true;
        QTest::newRow("undefined byte") << QByteArray("\x81") << QString(QChar(0x81)) << true;
        QTest::newRow("no byte for the arrow") << QByteArray("a?b") << QString::fromUtf8("a\u2192b") << false;
        QTest::newRow("no byte for a far character") << QByteArray("?") << QString::fromUtf8("\U0001F600") << false;
        QTest::newRow("zero byte inside") << QByteArray("se\0nsor", 7) << "sensor" << false;
        QTest::newRow("zero byte searched") << QByteArray("a\0b", 3) << QString("a") + QChar(0) + "B" << true;
        QTest::newRow("phrase longer than file") << QByteArray("abc") << "abcd" << false;
    }
    void letterCaseIgnoredOnlyForLetters()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, phrase);
        QFETCH(bool, found);
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "F.rca.xml"), content));
        const SearchOutcome outcome = searchFolder(dir.path(), phrase);
        QCOMPARE(outcome.entries.size(), found ? 1 : 0);
        QCOMPARE(outcome.unreadable, 0);
    }

    // The scan looks at sixteen positions at a time; a phrase must be found wherever it lies,
    // right up to the last byte, and a near miss must not be.
    void scanFindsThePhraseAtEveryPosition()
    {
        QRandomGenerator random(7);
        const QString phrases[] = {QStringLiteral("\u00e9"), QStringLiteral("s\u0161"), QStringLiteral("blo"),
                                   QStringLiteral("Sensor data missing"), QStringLiteral("\u0153uvre \u00ff")};
        for (const QString &phrase : phrases) {
            const FoldedPhrase folded(phrase);
            const QByteArray small = folded.foldedBytes();
            const QByteArray capital = encode1252(phrase.toUpper());
            for (int size = small.size(); size < 70; ++size) {
                for (int at = 0; at + small.size() <= size; ++at) {
                    QByteArray filler(size, 'q');
                    const QByteArray spelling = random.bounded(2) ? small : capital;
                    filler.replace(at, spelling.size(), spelling);
                    QVERIFY2(folded.occursIn(filler.constData(), std::size_t(filler.size())),
                             qPrintable(QStringLiteral("size %1 at %2").arg(size).arg(at)));
                    // Spoil any one byte of it: no longer a match.
                    const int spoilt = random.bounded(int(small.size()));
                    filler[at + spoilt] = 'q';
                    QVERIFY2(!folded.occursIn(filler.constData(), std::size_t(filler.size())),
                             qPrintable(QStringLiteral("byte %3 spoilt, size %1 at %2").arg(size).arg(at).arg(spoilt)));
                }
            }
        }
    }

    void descriptionFromBytesIsXMLget()
    {
        QRandomGenerator random(11);
        static const QByteArray pieces[] = {"<description>",
                                            "</description>",
                                            "<description",
                                            "</description",
                                            "<Description>",
                                            "description>",
                                            "<",
                                            ">",
                                            "/",
                                            "x",
                                            "\xE9",
                                            "\x80"};
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes;
            const int count = random.bounded(8);
            for (int i = 0; i < count; ++i)
                bytes += pieces[random.bounded(int(std::size(pieces)))];
            const std::string_view found = descriptionBytes(std::string_view(bytes.constData(), bytes.size()));
            qsizetype start = 1;
            const QString expected = XMLget(decode1252(bytes), QStringLiteral("description"), start);
            QVERIFY2(decode1252(QByteArray(found.data(), qsizetype(found.size()))) == expected, bytes.constData());
        }
    }

    // The list is sorted on keys made from the texts; they must order exactly as the
    // case-ignoring compare does, through folds that change a character's code (Kelvin sign,
    // micro sign, final sigma) and through surrogate pairs, whole or broken.
    void sortKeyOrdersAsCaseIgnoringCompare()
    {
        const char16_t units[] = {u'a',      u'A',      u'k',      u'[',      u' ',      u'\u00e9', u'\u00c9',
                                  u'\u00b5', u'\u03bc', u'\u039c', u'\u00df', u'\u1e9e', u'\u0130', u'\u0131',
                                  u'\u212a', u'\u03a3', u'\u03c2', u'\u03c3', u'\uff21', u'\uff41', u'\ue000',
                                  u'\uffff', 0xD801,    0xDC00,    0xDC28,    0xD835,    0xDD04};
        QRandomGenerator random(5);
        const auto randomText = [&](const QString &prefix) {
            QString text = prefix;
            for (int n = random.bounded(5); n > 0; --n)
                text += QChar(units[random.bounded(int(std::size(units)))]);
            return text;
        };
        for (int round = 0; round < 40000; ++round) {
            const QString shared = randomText(QString());
            const QString a = randomText(shared);
            const QString b = randomText(shared);
            const int expected = QString::compare(a, b, Qt::CaseInsensitive);
            const int actual = caseInsensitiveSortKey(a).compare(caseInsensitiveSortKey(b));
            QVERIFY2((expected < 0) == (actual < 0) && (expected == 0) == (actual == 0),
                     qPrintable(hexUnits(a) + QStringLiteral(" / ") + hexUnits(b)));
        }
    }

    void unreadableFilesAreLeftOutAndCounted()
    {
        QTemporaryDir dir;
        const QByteArray good = analysisFile("Still here", {{"Sensor"}});
        for (const char *name : {"Removed.rca.xml", "NowFolder.rca.xml", "NowPipe.rca.xml", "Kept.rca.xml"})
            QVERIFY(writeBytes(pathIn(dir, name), good));
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

    void linksAreFollowedAndBrokenOnesCounted()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "Real.rca.xml"), analysisFile("Real", {{"Sensor"}})));
        QVERIFY(QDir(dir.path()).mkdir("Folder"));
        QVERIFY(QFile::link(pathIn(dir, "Real.rca.xml"), pathIn(dir, "Link.rca.xml")));
        QVERIFY(QFile::link(pathIn(dir, "Folder"), pathIn(dir, "ToFolder.rca.xml")));
        QVERIFY(QFile::link(pathIn(dir, "Gone"), pathIn(dir, "Dangling.rca.xml")));
        QCOMPARE(symlink("Loop.rca.xml", QFile::encodeName(pathIn(dir, "Loop.rca.xml")).constData()), 0);

        const SearchOutcome outcome = searchFolder(dir.path(), "SENSOR");
        QCOMPARE(namesOf(outcome.entries), (QStringList{"Link.rca.xml", "Real.rca.xml"}));
        QCOMPARE(outcome.unreadable, 2);
        QCOMPARE(outcome.statusText(), QStringLiteral("2 files could not be read and were left out."));
    }

    void fileWithoutPermissionIsCounted()
    {
        if (geteuid() == 0)
            QSKIP("the superuser reads every file; the other unreadable cases cover this path");
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "Locked.rca.xml"), "xml"));
        QVERIFY(writeBytes(pathIn(dir, "Open.rca.xml"), "xml"));
        QVERIFY(QFile::setPermissions(pathIn(dir, "Locked.rca.xml"), QFileDevice::Permissions()));
        const SearchOutcome outcome = searchFolder(dir.path(), "xml");
        QCOMPARE(namesOf(outcome.entries), QStringList{"Open.rca.xml"});
        QCOMPARE(outcome.unreadable, 1);
        QCOMPARE(outcome.statusText(), QStringLiteral("1 file could not be read and was left out."));

        const QString lockedFolder = pathIn(dir, "Locked");
        QVERIFY(QDir(dir.path()).mkdir("Locked"));
        QVERIFY(writeBytes(lockedFolder + "/Inside.rca.xml", "xml"));
        QVERIFY(QFile::setPermissions(lockedFolder, QFileDevice::Permissions()));
        const SearchOutcome refused = searchFolder(lockedFolder, "xml");
        QVERIFY(refused.folderUnreadable);
        QVERIFY(!refused.folderMissing);
        QVERIFY(refused.entries.isEmpty());
        QCOMPARE(refused.statusText(), QStringLiteral("The folder \"%1\" could not be read.").arg(lockedFolder));
        QVERIFY(QFile::setPermissions(lockedFolder,
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    // A file far larger than memory (here a sparse one) cannot be held; it is counted like any
    // other unreadable file instead of ending the program.
    void fileTooLargeForMemoryIsCounted()
    {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("the sanitizers stop on an allocation this large");
#endif
        const QByteArray overcommit = readBytes(QStringLiteral("/proc/sys/vm/overcommit_memory")).trimmed();
        if (overcommit != "0" && overcommit != "2")
            QSKIP("memory is promised without limit here, so the large file would really be read");
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "Small.rca.xml"), "xml"));
        QFile huge(pathIn(dir, "Huge.rca.xml"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        if (!huge.resize(qint64(8) << 40))
            QSKIP("this file system holds no file of 8 TB, even a sparse one");
        huge.close();
        const SearchOutcome outcome = searchFolder(dir.path(), "xml");
        QCOMPARE(namesOf(outcome.entries), QStringList{"Small.rca.xml"});
        QCOMPARE(outcome.unreadable, 1);
    }

    void folderThatIsNotThere_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing") << "Nowhere";
        QTest::newRow("a file, not a folder") << "plain.txt";
        QTest::newRow("under a file") << "plain.txt/inner";
    }
    void folderThatIsNotThere()
    {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QVERIFY(writeBytes(pathIn(dir, "plain.txt"), "xml"));
        const QString folder = pathIn(dir, relative);
        const SearchOutcome outcome = searchFolder(folder, "xml");
        QVERIFY(outcome.folderMissing);
        QVERIFY(outcome.entries.isEmpty());
        QCOMPARE(outcome.unreadable, 0);
        QCOMPARE(outcome.statusText(), QStringLiteral("The folder \"%1\" does not exist.").arg(folder));
    }

    void folderRemovedAfterListingCountsEveryFile()
    {
        QTemporaryDir dir;
        const QString folder = pathIn(dir, "Lib");
        QVERIFY(QDir(dir.path()).mkdir("Lib"));
        QVERIFY(writeBytes(folder + "/A.rca.xml", "xml"));
        QVERIFY(writeBytes(folder + "/B.rca.xml", "xml"));
        const AnalysisListing listing = listAnalysisFiles(folder);
        QVERIFY(QDir(folder).removeRecursively());
        const SearchOutcome outcome = searchListedFiles(listing, "xml");
        QVERIFY(outcome.entries.isEmpty());
        QCOMPARE(outcome.unreadable, 2);
    }

    void sameResultAsOneByOneSearch_data()
    {
        QTest::addColumn<QString>("phrase");
        for (const char *phrase :
             {"block",    "xml",      "BLOCK",    "a",        "Sensor",   "caf\xC3\xA9",  "CAF\xC3\x89", "\xC3\xA9",
              "\xC3\x89", "\xC5\xA1", "\xC5\xA0", "\xC5\x93", "\xC5\x92", "\xC3\xBF",     "\xC5\xB8",    "\xC3\x97",
              "\xC3\xB7", "[",        "]",        "\r\n<",    "pump",     "\xE2\x82\xAC", "zz\xC3\xA9q"})
            QTest::newRow(phrase) << QString::fromUtf8(phrase);
    }
    void sameResultAsOneByOneSearch()
    {
        QFETCH(QString, phrase);
        static QTemporaryDir dir;
        static bool filled = false;
        if (!filled) {
            fillRandomFolder(dir.path(), 300, 20160102);
            if (QTest::currentTestFailed())
                return;
            filled = true;
        }
        int referenceUnreadable = 0;
        const QList<SearchEntry> expected = referenceSearch(dir.path(), phrase, &referenceUnreadable);
        QCOMPARE(referenceUnreadable, 0);
        const AnalysisListing listing = listAnalysisFiles(dir.path());
        QCOMPARE(listing.fileNames.size(), std::size_t(300));
        for (int workers : {0, 1, 2, 7}) {
            const SearchOutcome outcome =
                workers == 0 ? searchFolder(dir.path(), phrase) : searchListedFiles(listing, phrase, workers);
            QVERIFY2(outcome.entries == expected, qPrintable(QStringLiteral("%1 workers: ").arg(workers) +
                                                             describeDifference(outcome.entries, expected)));
            QCOMPARE(outcome.unreadable, 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"

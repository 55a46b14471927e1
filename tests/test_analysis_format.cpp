#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "files/number_text.h"
#include "support/test_env.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace tessik;

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(TESSIK_TEST_DATA "/") + name;
}

QByteArray dataBytes(const QString &name)
{
    return test::readBytes(dataFile(name));
}

const QLocale kGerman(QLocale::German, QLocale::Germany);
constexpr qsizetype kFiftyMegabytes = 50 * 1024 * 1024;

Analysis workedExample()
{
    Analysis analysis;
    analysis.description = QStringLiteral("Conveyor stopped twice");
    analysis.email = QStringLiteral("operator");
    analysis.office = QStringLiteral("Plant North");
    BlockTable &t = analysis.table;
    t.BlockCount = 2;
    t.BlockActive[1] = kTrue;
    t.BlockText[1] = QStringLiteral("Conveyor stopped");
    t.BlockActive[2] = kTrue;
    t.BlockParent[2] = 1;
    t.BlockX[2] = 15;
    t.BlockY[2] = -3;
    t.BlockText[2] = QStringLiteral("Sensor data missing");
    t.BlockNotes[2] = QStringLiteral("Technology");
    t.BlockCategory[2] = QStringLiteral("Information");
    return analysis;
}

Analysis oneBlock(const QString &caption, const QString &notes = QString())
{
    Analysis analysis;
    analysis.description = QStringLiteral("d");
    analysis.office = QStringLiteral("o");
    analysis.table.addBlock(5, 5);
    analysis.table.BlockText[1] = caption;
    analysis.table.BlockNotes[1] = notes;
    return analysis;
}

// Compares the used range slot by slot, so a failure names the field.
void compareAnalyses(const Analysis &actual, const Analysis &expected)
{
    QCOMPARE(actual.description, expected.description);
    QCOMPARE(actual.email, expected.email);
    QCOMPARE(actual.office, expected.office);
    QCOMPARE(actual.table.BlockCount, expected.table.BlockCount);
    for (int i = 1; i <= expected.table.BlockCount; ++i) {
        QCOMPARE(actual.table.BlockActive[i], expected.table.BlockActive[i]);
        QCOMPARE(actual.table.BlockParent[i], expected.table.BlockParent[i]);
        QCOMPARE(actual.table.BlockX[i], expected.table.BlockX[i]);
        QCOMPARE(actual.table.BlockY[i], expected.table.BlockY[i]);
        QCOMPARE(actual.table.BlockText[i], expected.table.BlockText[i]);
        QCOMPARE(actual.table.BlockNotes[i], expected.table.BlockNotes[i]);
        QCOMPARE(actual.table.BlockCategory[i], expected.table.BlockCategory[i]);
    }
}

ReadOutcome readSound(const QString &name)
{
    ReadOutcome outcome = readAnalysisFile(dataFile(name), QLocale::c());
    if (!outcome.ok)
        qWarning() << outcome.failureReason;
    return outcome;
}

} // namespace

class TestAnalysisFormat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void workedExampleIsWrittenExactly()
    {
        const QByteArray bytes = writeAnalysis(workedExample(), QLocale::c());
        QCOMPARE(bytes.size(), qsizetype(623));
        QCOMPARE(bytes.count("\r\n"), qsizetype(26));
        QVERIFY(bytes.endsWith("</analysis>\r\n"));
        QCOMPARE(bytes, dataBytes(QStringLiteral("worked_example.rca.xml")));
    }

    void workedExampleReadsBack()
    {
        const ReadOutcome outcome = readSound(QStringLiteral("worked_example.rca.xml"));
        QVERIFY(outcome.ok);
        QVERIFY(outcome.repairs.isEmpty());
        compareAnalyses(outcome.analysis, workedExample());
    }

    void emptyTableEndsAfterTheHeader()
    {
        Analysis analysis;
        analysis.description = QStringLiteral("Nothing yet");
        const QList<QByteArray> lines = writeAnalysis(analysis).split('\n');
        QCOMPARE(lines.size(), qsizetype(7)); // six lines and what follows the last line break
        QCOMPARE(lines[5], QByteArray("</analysis>\r"));
        QCOMPARE(lines[6], QByteArray());
    }

    void freeSlotInTheMiddleKeepsItsPlace()
    {
        const QByteArray stored = dataBytes(QStringLiteral("free_slot_in_middle.rca.xml"));
        const ReadOutcome outcome = readSound(QStringLiteral("free_slot_in_middle.rca.xml"));
        QVERIFY(outcome.ok);
        QVERIFY(outcome.repairs.isEmpty());
        const BlockTable &t = outcome.analysis.table;
        QCOMPARE(t.BlockCount, std::int16_t(3));
        QVERIFY(t.isLive(1));
        QVERIFY(!t.isLive(2));
        QVERIFY(t.isLive(3));
        QCOMPARE(t.BlockParent[3], std::int16_t(1));
        QCOMPARE(t.BlockX[2], 20.0f); // a freed slot keeps its position and category
        QCOMPARE(t.BlockY[2], -7.0f);
        QCOMPARE(t.BlockCategory[2], QStringLiteral("Motives"));
        QCOMPARE(writeAnalysis(outcome.analysis, QLocale::c()), stored);

        // The same file comes from a table whose slot 2 was freed by the editor.
        Analysis built;
        built.description = QStringLiteral("Pump tripped");
        built.email = QStringLiteral("maint");
        built.office = QStringLiteral("Plant South");
        BlockTable &b = built.table;
        b.addBlock(5, 5);
        b.addBlock(25, -2);
        b.addBlock(20, 9);
        b.BlockParent[3] = 1;
        b.BlockCategory[2] = QStringLiteral("Motives");
        b.BlockText[2] = QStringLiteral("Gone");
        b.freeSlot(2);
        b.BlockText[1] = QStringLiteral("Pump tripped");
        b.BlockNotes[1] = QStringLiteral("Technology");
        b.BlockCategory[1] = QStringLiteral("Physical Resources");
        b.BlockText[3] = QStringLiteral("Seal worn");
        b.BlockNotes[3] = QStringLiteral("Science; Technology");
        b.BlockCategory[3] = QStringLiteral("Wellness/Capacity");
        QCOMPARE(writeAnalysis(built, QLocale::c()), stored);
    }

    void textsComeBackUnchanged_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("notes");
        QTest::newRow("ampersand and angle brackets") << "Tom & Jerry <said> a > b"
                                                      << "x < y && y > z";
        QTest::newRow("quotes") << "\"double\" and 'single'"
                                << "it's \"fine\"";
        QTest::newRow("blanks at both ends") << "   padded   "
                                             << " ";
        QTest::newRow("only blanks") << "   "
                                     << "  ";
        QTest::newRow("line breaks in notes") << "Caption"
                                              << "First line\r\nSecond line\r\n\r\nFourth";
        QTest::newRow("entity look-alikes") << "&amp; &lt;text&gt;"
                                            << "&#60;";
        QTest::newRow("accented and euro") << "Überlauf €5 — naïve"
                                           << "Straße";
        QTest::newRow("opening tags of other elements") << "<block><x> 3 </x>"
                                                        << "<category>Motives";
    }
    void textsComeBackUnchanged()
    {
        QFETCH(QString, caption);
        QFETCH(QString, notes);
        Analysis analysis = oneBlock(caption, notes);
        analysis.description = QStringLiteral("  & <desc> ");
        analysis.office = caption;
        const QByteArray bytes = writeAnalysis(analysis, QLocale::c());
        const ReadOutcome outcome = parseAnalysisText(decode1252(bytes), QLocale::c());
        QVERIFY(outcome.ok);
        QVERIFY(outcome.repairs.isEmpty());
        compareAnalyses(outcome.analysis, analysis);
        QCOMPARE(writeAnalysis(outcome.analysis, QLocale::c()), bytes);
    }

    // Bytes -> read -> write gives the same bytes for every byte value, the five that
    // Windows-1252 leaves undefined included.
    void everyByteValueSurvivesInACaption()
    {
        QByteArray caption;
        for (int b = 0; b < 256; ++b)
            caption.append(char(b));
        QByteArray file = dataBytes(QStringLiteral("worked_example.rca.xml"));
        file.replace("Sensor data missing", caption);
        QCOMPARE(file.size(), qsizetype(623 - 19 + 256));

        test::TestEnvironment env;
        const QString path = env.path(QStringLiteral("bytes.rca.xml"));
        QVERIFY(test::writeBytes(path, file));
        const ReadOutcome outcome = readAnalysisFile(path, QLocale::c());
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.analysis.table.BlockText[2].size(), qsizetype(256));
        const QString copy = env.path(QStringLiteral("copy.rca.xml"));
        QVERIFY(saveAnalysisFile(copy, outcome.analysis, QLocale::c()).ok);
        QCOMPARE(test::readBytes(copy), file);
    }

    void readingRules_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("header");

        QTest::newRow("ids 7 and 9 land in slots 1 and 2")
            << "ids_7_and_9.rca.xml" << 2 << QStringList{"First in file", "Second in file"}
            << QStringList{"Ids out of step", "a", "b"};
        QTest::newRow("capital block tag is not found")
            << "capital_block_tag.rca.xml" << 1 << QStringList{"Found"} << QStringList{"Capital tag", "x", "y"};
        QTest::newRow("header after the blocks") << "header_after_blocks.rca.xml" << 1 << QStringList{"Only block"}
                                                 << QStringList{"Written last", "late", "Back office"};
        QTest::newRow("empty block ends the list")
            << "empty_block_ends_list.rca.xml" << 1 << QStringList{"Before"} << QStringList{"Empty block", "e", "o"};
        QTest::newRow("unclosed block ends the list")
            << "unclosed_block.rca.xml" << 1 << QStringList{"Closed"} << QStringList{"Unclosed", "e", "o"};
        QTest::newRow("caption holding its closing tag is cut")
            << "caption_with_closing_tag.rca.xml" << 1 << QStringList{"Before"} << QStringList{"Cut caption", "e", "o"};
        QTest::newRow("no analysis element opens empty")
            << "not_an_analysis.txt" << 0 << QStringList{} << QStringList{"", "", ""};
    }
    void readingRules()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, header);
        const ReadOutcome outcome = readSound(file);
        QVERIFY(outcome.ok);
        // A block cut short is the one fault here that loses data; the reader says so.
        QCOMPARE(outcome.repairs.size(), file.startsWith("unclosed") ? 1 : 0);
        const Analysis &a = outcome.analysis;
        QCOMPARE(QStringList({a.description, a.email, a.office}), header);
        QCOMPARE(int(a.table.BlockCount), count);
        for (int i = 1; i <= count; ++i) {
            QCOMPARE(a.table.BlockText[i], captions[i - 1]);
            QCOMPARE(a.table.BlockActive[i], kTrue);
        }
    }

    void idsAreNotRead()
    {
        const ReadOutcome outcome = readSound(QStringLiteral("ids_7_and_9.rca.xml"));
        // The second block's parent 1 is the first block of the file, whatever its id said.
        QCOMPARE(outcome.analysis.table.BlockParent[2], std::int16_t(1));
        QCOMPARE(outcome.analysis.table.BlockX[2], 15.0f);
    }

    void notesBeforeTextReadAsEmpty()
    {
        const ReadOutcome outcome = readSound(QStringLiteral("notes_before_text.rca.xml"));
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.analysis.table.BlockText[1], QStringLiteral("Caption"));
        QCOMPARE(outcome.analysis.table.BlockNotes[1], QString());
        QCOMPARE(outcome.analysis.table.BlockCategory[1], QStringLiteral("Motives"));
    }

    void numberTextsInAFile()
    {
        const ReadOutcome outcome = readSound(QStringLiteral("number_texts.rca.xml"));
        QVERIFY(outcome.ok);
        QVERIFY(outcome.repairs.isEmpty());
        const BlockTable &t = outcome.analysis.table;
        QCOMPARE(t.BlockX[1], 12.0f);
        QCOMPARE(t.BlockY[1], -3.0f);
        QCOMPARE(t.BlockX[2], 0.5f);
        QCOMPARE(t.BlockY[2], 2.5f);
        // Written back, the fractions take the general form.
        const QByteArray written = writeAnalysis(outcome.analysis, QLocale::c());
        QVERIFY(written.contains("<x> .5 </x>"));
        QVERIFY(written.contains("<y> 2.5 </y>"));
        QCOMPARE(written, dataBytes(QStringLiteral("number_texts.rca.xml")));
    }

    void writesNumbers_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("german");
        QTest::newRow("zero") << 0.0f << " 0 "
                              << " 0 ";
        QTest::newRow("negative zero") << -0.0f << " 0 "
                                       << " 0 ";
        QTest::newRow("whole") << 15.0f << " 15 "
                               << " 15 ";
        QTest::newRow("negative whole") << -3.0f << "-3 "
                                        << "-3 ";
        QTest::newRow("half") << 0.5f << " .5 "
                              << " ,5 ";
        QTest::newRow("negative quarter") << -0.25f << "-.25 "
                                          << "-,25 ";
        QTest::newRow("two and a half") << 2.5f << " 2.5 "
                                        << " 2,5 ";
        QTest::newRow("tenth, seven digits") << 0.1f << " .1 "
                                             << " ,1 ";
        QTest::newRow("third") << 1.0f / 3.0f << " .3333333 "
                               << " ,3333333 ";
        QTest::newRow("rounded to seven digits") << 12.345678f << " 12.34568 "
                                                 << " 12,34568 ";
        QTest::newRow("small, still plain") << 0.0001f << " .0001 "
                                            << " ,0001 ";
        QTest::newRow("small, exponent") << 0.000015f << " 1.5E-05 "
                                         << " 1,5E-05 ";
        QTest::newRow("negative small exponent") << -0.00002f << "-2E-05 "
                                                 << "-2E-05 ";
        QTest::newRow("large fraction, plain") << 1234567.5f << " 1234568 "
                                               << " 1234568 ";
        QTest::newRow("large whole stays exact") << 123456792.0f << " 123456792 "
                                                 << " 123456792 ";
        QTest::newRow("largest float") << 3.4028235e38f << " 340282346638528859811704183484516925440 "
                                       << " 340282346638528859811704183484516925440 ";
        QTest::newRow("not finite") << std::numeric_limits<float>::infinity() << " 0 "
                                    << " 0 ";
    }
    void writesNumbers()
    {
        QFETCH(float, value);
        QFETCH(QString, c);
        QFETCH(QString, german);
        QCOMPARE(singleNumberText(value, QLocale::c()), c);
        QCOMPARE(singleNumberText(value, kGerman), german);
        // What was written reads back as the number shown, in either locale.
        if (std::isfinite(value)) {
            const float shown = singleFromText(c, QLocale::c()).value;
            QCOMPARE(singleFromText(german, kGerman).value, shown);
            QCOMPARE(singleFromText(c, kGerman).value, shown);
            QVERIFY(std::fabs(shown - value) <= std::fabs(value) * 1e-6f);
        }
    }

    void writesIntegers_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("slot 7") << 7 << " 7 ";
        QTest::newRow("live") << -1 << "-1 ";
        QTest::newRow("free") << 0 << " 0 ";
        QTest::newRow("largest") << 32767 << " 32767 ";
        QTest::newRow("smallest") << -32768 << "-32768 ";
    }
    void writesIntegers()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(integerNumberText(std::int16_t(value)), text);
        QCOMPARE(int(integerFromText(text, QLocale::c()).value), value);
    }

    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<float>("single");
        QTest::addColumn<int>("integer");
        QTest::addColumn<int>("fault"); // NumberFault, for both conversions

        const int none = int(NumberFault::None);
        QTest::newRow("framed twelve") << " 12 "
                                       << "C" << 12.0f << 12 << none;
        QTest::newRow("minus three") << "-3 "
                                     << "C" << -3.0f << -3 << none;
        QTest::newRow("point five") << " .5 "
                                    << "C" << 0.5f << 0 << none;
        QTest::newRow("one and a half, tie up") << "1.5"
                                                << "C" << 1.5f << 2 << none;
        QTest::newRow("two and a half, tie down") << " 2.5 "
                                                  << "C" << 2.5f << 2 << none;
        QTest::newRow("minus two and a half") << "-2.5"
                                              << "C" << -2.5f << -2 << none;
        QTest::newRow("nearest") << "2.6"
                                 << "C" << 2.6f << 3 << none;
        QTest::newRow("plus sign") << "+4"
                                   << "C" << 4.0f << 4 << none;
        QTest::newRow("trailing separator") << "5."
                                            << "C" << 5.0f << 5 << none;
        QTest::newRow("leading zeros") << "007"
                                       << "C" << 7.0f << 7 << none;
        QTest::newRow("exponent") << "1.5E+03"
                                  << "C" << 1500.0f << 1500 << none;
        QTest::newRow("small exponent") << " 1.5E-05 "
                                        << "C" << 1.5e-5f << 0 << none;
        QTest::newRow("exponent small e") << "2e2"
                                          << "C" << 200.0f << 200 << none;
        QTest::newRow("tabs and line breaks") << "\r\n\t 8 \r\n"
                                              << "C" << 8.0f << 8 << none;
        QTest::newRow("comma locale") << " 2,5 "
                                      << "de" << 2.5f << 2 << none;
        QTest::newRow("point in a comma locale") << " 2.5 "
                                                 << "de" << 2.5f << 2 << none;
        QTest::newRow("point is no group separator") << "1.000"
                                                     << "de" << 1.0f << 1 << none;
        QTest::newRow("comma locale, no zero") << "-,25"
                                               << "de" << -0.25f << 0 << none;
        QTest::newRow("negative zero") << "-0"
                                       << "C" << 0.0f << 0 << none;
        QTest::newRow("underflow is zero") << "1E-400"
                                           << "C" << 0.0f << 0 << none;
        QTest::newRow("long digits") << "1.00000000000000000000000000000000000000000000000001"
                                     << "C" << 1.0f << 1 << none;

        const int empty = int(NumberFault::Empty);
        QTest::newRow("empty") << ""
                               << "C" << 0.0f << 0 << empty;
        QTest::newRow("blanks") << "   "
                                << "C" << 0.0f << 0 << empty;

        const int nan = int(NumberFault::NotANumber);
        QTest::newRow("word") << "twelve"
                              << "C" << 0.0f << 0 << nan;
        QTest::newRow("trailing letters") << " 12abc "
                                          << "C" << 0.0f << 0 << nan;
        QTest::newRow("minus alone") << "-"
                                     << "C" << 0.0f << 0 << nan;
        QTest::newRow("separator alone") << "."
                                         << "C" << 0.0f << 0 << nan;
        QTest::newRow("blank inside") << "1 000"
                                      << "C" << 0.0f << 0 << nan;
        QTest::newRow("comma in C") << "1,5"
                                    << "C" << 0.0f << 0 << nan;
        QTest::newRow("two signs") << "--1"
                                   << "C" << 0.0f << 0 << nan;
        QTest::newRow("exponent without digits") << "1E"
                                                 << "C" << 0.0f << 0 << nan;
        QTest::newRow("infinity") << "inf"
                                  << "C" << 0.0f << 0 << nan;
        QTest::newRow("not a number") << "nan"
                                      << "C" << 0.0f << 0 << nan;
        QTest::newRow("hexadecimal") << "0x10"
                                     << "C" << 0.0f << 0 << nan;
        QTest::newRow("two separators") << "1.2.3"
                                        << "C" << 0.0f << 0 << nan;
        QTest::newRow("fullwidth digits") << "\uFF11"
                                          << "C" << 0.0f << 0 << nan;
    }
    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(float, single);
        QFETCH(int, integer);
        QFETCH(int, fault);
        const QLocale loc = locale == QLatin1String("de") ? kGerman : QLocale::c();
        const SingleFromText s = singleFromText(text, loc);
        const IntegerFromText i = integerFromText(text, loc);
        QCOMPARE(int(s.fault), fault);
        QCOMPARE(int(i.fault), fault);
        QCOMPARE(s.value, single);
        QCOMPARE(int(i.value), integer);
    }

    void rangesOfTheTypes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("singleFits");
        QTest::addColumn<bool>("integerFits");
        QTest::newRow("largest integer") << "32767" << true << true;
        QTest::newRow("one above") << "32768" << true << false;
        QTest::newRow("rounds up past the end") << "32767.5" << true << false;
        QTest::newRow("rounds down inside") << "32767.4" << true << true;
        QTest::newRow("smallest integer") << "-32768" << true << true;
        QTest::newRow("one below") << "-32769" << true << false;
        QTest::newRow("large single") << "1E+38" << true << false;
        QTest::newRow("too large for a single") << "1E+39" << false << false;
        QTest::newRow("too large for a double") << "1E+400" << false << false;
        QTest::newRow("long digit string") << QString(500, QLatin1Char('9')) << false << false;
    }
    void rangesOfTheTypes()
    {
        QFETCH(QString, text);
        QFETCH(bool, singleFits);
        QFETCH(bool, integerFits);
        const SingleFromText s = singleFromText(text, QLocale::c());
        const IntegerFromText i = integerFromText(text, QLocale::c());
        QCOMPARE(s.fault == NumberFault::None, singleFits);
        QCOMPARE(i.fault == NumberFault::None, integerFits);
        if (!singleFits)
            QCOMPARE(s.fault, NumberFault::OutOfRange);
        if (!integerFits)
            QCOMPARE(i.fault, NumberFault::OutOfRange);
    }

    void writeToADeviceThatFails()
    {
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QString error;
        QVERIFY(!writeAnalysisTo(buffer, workedExample(), &error));
        QVERIFY(!error.isEmpty());

        QBuffer good;
        QVERIFY(good.open(QIODevice::WriteOnly));
        QVERIFY(writeAnalysisTo(good, workedExample(), &error, QLocale::c()));
        QCOMPARE(good.data(), dataBytes(QStringLiteral("worked_example.rca.xml")));
    }

    void unreadableFilesFailWithAReason_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing file") << "missing.rca.xml";
        QTest::newRow("a folder") << "folder.rca.xml";
        QTest::newRow("under a regular file") << "plain.rca.xml/inner.rca.xml";
        QTest::newRow("empty path") << "";
    }
    void unreadableFilesFailWithAReason()
    {
        QFETCH(QString, relative);
        test::TestEnvironment env;
        QVERIFY(QDir(env.root.path()).mkdir(QStringLiteral("folder.rca.xml")));
        QVERIFY(test::writeBytes(env.path(QStringLiteral("plain.rca.xml")), "<analysis></analysis>"));
        const QString path = relative.isEmpty() ? QString() : env.path(relative);
        const ReadOutcome outcome = readAnalysisFile(path);
        QVERIFY(!outcome.ok);
        QVERIFY(!outcome.failureReason.isEmpty());
        QCOMPARE(outcome.analysis.table.BlockCount, std::int16_t(0));
        QVERIFY(outcome.analysis.description.isEmpty());
        const QString message = readFailureMessage(path, outcome.failureReason);
        QVERIFY(message.contains(QDir::toNativeSeparators(path)));
        QVERIFY(message.contains(outcome.failureReason));
        QCOMPARE(test::readBytes(env.path(QStringLiteral("plain.rca.xml"))), QByteArray("<analysis></analysis>"));
    }

    void oversizedFileIsRefusedBeforeReading()
    {
        test::TestEnvironment env;
        const QString path = env.path(QStringLiteral("huge.rca.xml"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(kMaxAnalysisFileBytes + 1)); // sparse: costs no disk space
        file.close();
        const ReadOutcome outcome = readAnalysisFile(path);
        QVERIFY(!outcome.ok);
        QVERIFY(outcome.failureReason.contains(QStringLiteral("too large")));
        QCOMPARE(QFileInfo(path).size(), kMaxAnalysisFileBytes + 1);
    }

    void readingNeverWritesTheFile()
    {
        test::TestEnvironment env;
        const QString path = env.path(QStringLiteral("repair.rca.xml"));
        QByteArray bytes = dataBytes(QStringLiteral("worked_example.rca.xml"));
        bytes.replace("<x> 15 </x>", "<x> fifteen </x>");
        QVERIFY(test::writeBytes(path, bytes));
        const QDateTime modified = QFileInfo(path).lastModified();
        const ReadOutcome outcome = readAnalysisFile(path, QLocale::c());
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.repairs.size(), qsizetype(1));
        QCOMPARE(test::readBytes(path), bytes);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        QCOMPARE(QDir(env.root.path()).entryList(QDir::Files), QStringList{QStringLiteral("repair.rca.xml")});
    }

    // Inputs that would take ages with a search that starts over for every element. They
    // finish well inside the test's time limit only when reading is one pass. Built here,
    // one at a time, rather than kept in the data table: each is 100 MB of text.
    void largeInputsReadInOnePass_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("captionLength");
        QTest::addColumn<int>("repairs");
        QTest::newRow("10,000 block elements") << 0 << 100 << 1 << 1;
        QTest::newRow("50 MB caption") << 1 << 1 << int(kFiftyMegabytes) << 0;
        QTest::newRow("50 MB of opening tags") << 2 << 0 << 0 << 1; // the unclosed block is reported
        QTest::newRow("50 MB of unclosed elements in a block") << 3 << 1 << 0 << 4;
        QTest::newRow("50 MB of small blocks") << 4 << 100 << 1 << 1;
    }
    void largeInputsReadInOnePass()
    {
        QFETCH(int, kind);
        QFETCH(int, blocks);
        QFETCH(int, captionLength);
        QFETCH(int, repairs);
        const QString head = QStringLiteral("<analysis><description>Big</description>");
        const QString block = QStringLiteral("<block><id> 1 </id><active>-1 </active><parent> 0 </parent>"
                                             "<x> 0 </x><y> 0 </y><text>c</text><notes></notes>"
                                             "<category></category></block>");
        QString body;
        switch (kind) {
        case 0:
            body = block.repeated(10000);
            break;
        case 1:
            body = block;
            body.replace(QStringLiteral("<text>c</text>"), QStringLiteral("<text>") +
                                                               QString(kFiftyMegabytes, QLatin1Char('w')) +
                                                               QStringLiteral("</text>"));
            break;
        case 2:
            body = QStringLiteral("<block>").repeated(kFiftyMegabytes / 7);
            break;
        case 3:
            body = QStringLiteral("<block>") + QStringLiteral("<x><y><text><notes>").repeated(kFiftyMegabytes / 19) +
                   QStringLiteral("</block>");
            break;
        default:
            body = block.repeated(kFiftyMegabytes / block.size());
            break;
        }
        const QString text = head + body + QStringLiteral("</analysis>");
        body.clear();
        const ReadOutcome outcome = parseAnalysisText(text, QLocale::c());
        QVERIFY(outcome.ok);
        QCOMPARE(int(outcome.analysis.table.BlockCount), blocks);
        QCOMPARE(int(outcome.repairs.size()), repairs);
        if (blocks > 0)
            QCOMPARE(int(outcome.analysis.table.BlockText[1].size()), captionLength);
    }

    void largeFileFromDisk()
    {
        test::TestEnvironment env;
        const QString path = env.path(QStringLiteral("large.rca.xml"));
        QByteArray bytes = dataBytes(QStringLiteral("worked_example.rca.xml"));
        bytes.replace("<notes>Technology</notes>",
                      QByteArray("<notes>" + QByteArray(50 * 1024 * 1024, 'n') + "\r\nTechnology</notes>"));
        QVERIFY(test::writeBytes(path, bytes));
        const ReadOutcome outcome = readAnalysisFile(path, QLocale::c());
        QVERIFY(outcome.ok);
        QVERIFY(outcome.analysis.table.BlockNotes[2].endsWith(QStringLiteral("\r\nTechnology")));
        QCOMPARE(saveAnalysisFile(path, outcome.analysis, QLocale::c()).ok, true);
        QCOMPARE(test::readBytes(path), bytes);
    }
};

QTEST_GUILESS_MAIN(TestAnalysisFormat)
#include "test_analysis_format.moc"

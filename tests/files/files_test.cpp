#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "files/number_text.h"
#include "files/ordinary_file.h"
#include "files/paths.h"
#include "files/round_trip_check.h"
#include "files/safe_write.h"
#include "files/save_rules.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>

#include <atomic>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tessik;
using namespace tessik::test;

using NameBytes = std::pair<QByteArray, QString>; // a file name's bytes, and as it is shown

// Every fsync and fdatasync of this program passes here, so that a test sees a save force its
// bytes to the disk.
std::atomic<int> gSyncCalls{0};
extern "C" int fsync(int fd)
{
    ++gSyncCalls;
    return int(::syscall(SYS_fsync, fd));
}
extern "C" int fdatasync(int fd)
{
    ++gSyncCalls;
    return int(::syscall(SYS_fdatasync, fd));
}

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

QString faultName(NumberFault fault)
{
    return std::array{"none", "empty", "not a number", "out of range"}[size_t(fault)];
}
// Room on the disk, the most bytes one write takes, a file there before, a folder taking the
// file's place while it is written.
using FailedWrite = std::tuple<qint64, qint64, bool, bool>;

Analysis workedExample()
{
    Analysis a{"Conveyor stopped twice", "operator", "Plant North", {}};
    a.table.setCaption(a.table.addBlock(5, 5), "Conveyor stopped"); // corner at (0, 0)
    a.table.setCaption(a.table.addBlock(20, 2), "Sensor data missing");
    a.table.link(2, 1);
    a.table.setNotes(2, "Technology");
    a.table.setCategory(2, "Information");
    return a;
}

// Every field of the header and of each used slot, a line a slot, so a failure shows where.
QStringList fields(const Analysis &a)
{
    return analysisLines(a.description, a.email, a.office, a.table);
}

// What a sound block i holds: live, under block i - 1, 20 units right of it, at y = i.
double soundValue(int slot, int field)
{
    return std::array{-1.0, slot - 1.0, 20.0 * (slot - 1), double(slot)}[size_t(field)];
}

QString fileWith(int blocks, int slot = 0, int field = 0, const QString &value = {})
{
    QString text = "<analysis><description>d</description><office>o</office>\r\n";
    for (int i = 1; i <= blocks; ++i) {
        text += "<block>";
        for (int f = 0; f < 4; ++f) {
            const QString shown = i == slot && f == field ? value : QString::number(soundValue(i, f));
            if (shown != "-")
                text += QStringLiteral("<%1> %2 </%1>").arg(std::array{"active", "parent", "x", "y"}[size_t(f)], shown);
        }
        text += QStringLiteral("<text>Block %1</text></block>\r\n").arg(i);
    }
    return text + "</analysis>\r\n";
}

// A save file on a disk that fills up after `room` bytes, taking at most `perWrite` bytes a write;
// `duringWrite` runs at the first write.
struct FaultySaveFile : QSaveFile {
    using QSaveFile::QSaveFile;
    qint64 room = 0, perWrite = 0;
    std::function<void()> duringWrite;
    qint64 writeData(const char *data, qint64 length) override
    {
        std::exchange(duringWrite, [] {})();
        setErrorString("No space left on device");
        const qint64 written = room <= 0 ? -1 : QSaveFile::writeData(data, std::min({length, room, perWrite}));
        room -= std::max<qint64>(written, 0);
        return written;
    }
};

const QString kNotSaved = "The Root Cause Analysis was not saved.\r\n\r\n";
const QByteArray kNewBytes(64 * 1024, 'n');

} // namespace

// The analysis file: its bytes and numbers, reading with the repairs, and saving safely.
class FilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every byte value survives a read and a write, the five the code page leaves undefined
    // included; letter case folds as Qt's own case mapping has it.
    void codePage()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(encode1252(decode1252(all)), all);
        QCOMPARE(decode1252(all).mid(0x7F, 3) + decode1252(all).mid(0x9D, 4),
                 QString("\x7f\u20ac\u0081\u009d\u017e\u0178\u00a0"));
        QCOMPARE(encode1252("\u03a9\u0085a\U0001F600b"), QByteArray("??a?b")); // one "?" for each it cannot hold
        for (int c = 0; c < 0x10000; ++c) // a character has a byte only when the byte reads back as it
            QVERIFY(byteFor1252(char16_t(c)) < 0 || charFrom1252(uchar(byteFor1252(char16_t(c)))) == c);
        for (int b = 0; b < 256; ++b) {
            const QChar c(charFrom1252(uchar(b)));
            const int small = byteFor1252(c.toLower().unicode()), capital = byteFor1252(c.toUpper().unicode());
            QCOMPARE(int(lowerCase1252(uchar(b))), small < 0 ? b : small);
            QCOMPARE(lowerCase1252(uchar(capital < 0 ? b : capital)), lowerCase1252(uchar(b)));
        }
    }

    // A number past the float's range is written as 0, so the file still reads back.
    void anInfiniteNumberIsWrittenAsZero() { QCOMPARE(singleNumberText(INFINITY, kGerman), QString(" 0 ")); }

    // Thousands of numbers against the C++ library: each is written in the general form of seven
    // digits (%.7G; whole ones in all their digits, no zero before the separator) and reads back
    // as the float the library reads from that text; random number texts read as it reads them.
    void numbersAsTheLibraryWritesAndReadsThem()
    {
        std::mt19937 random(20261207);
        std::uniform_real_distribution<double> mantissa(1, 10);
        std::uniform_int_distribution<int> exponent(-12, 12), digits(0, 999999), whole(-(1 << 24), 1 << 24);
        const auto libraryRead = [](const std::string &text) {
            float value = 0;
            std::from_chars(text.data() + (text[0] == '-'), text.data() + text.size(), value);
            return text[0] == '-' ? -value : value;
        };
        for (int i = 0; i < 20000; ++i) {
            // Every eighth a power of ten, whose mantissa is one digit.
            const double significand = i % 8 == 1 ? 1.0 : mantissa(random);
            const float value = i % 4 == 0 ? float(whole(random))
                                           : float((i % 2 ? -1 : 1) * significand * std::pow(10.0, exponent(random)));
            char c[64];
            const bool isWhole = value == std::trunc(value);
            const std::string general(c, std::to_chars(c, c + sizeof c, std::fabs(value),
                                                       isWhole ? std::chars_format::fixed : std::chars_format::general,
                                                       isWhole ? 0 : 7)
                                             .ptr);
            const QString text =
                (value < 0 ? "-" : " ") +
                QString::fromStdString(general).toUpper().replace(QRegularExpression("^0\\."), ",").replace('.', ',') +
                ' ';
            QCOMPARE(singleNumberText(value, kGerman), text);
            QCOMPARE(singleFromText(text, kGerman).value, libraryRead(general) * (value < 0 ? -1 : 1));
            const std::string randomText = QString::asprintf("%s%d.%06de%d", i % 3 ? "" : "-", digits(random) % 1000,
                                                             digits(random), exponent(random) * 2)
                                               .toStdString();
            QCOMPARE(singleFromText(QString::fromStdString(randomText), QLocale::c()).value, libraryRead(randomText));
        }
    }

    // A sample damaged in hundreds of ways (cut short, a stretch missing, a tag, an entity, a
    // stray byte or a number put in), each read as recorded: refused with its reason, or read with
    // its repairs into the header and the blocks shown a line each.
    void damagedFilesReadAsRecorded()
    {
        const QByteArray sample = readBytes(TESSIK_SAMPLES_DIR "/Conveyor_stoppage.rca.xml");
        QVERIFY(!sample.isEmpty());
        QStringList lines;
        const auto readAs = [&](const QString &name, const QByteArray &bytes) {
            const ReadOutcome read = readAnalysisBytes(bytes, AnalysisEncoding::CodePage, kGerman);
            lines << name + ": " + (read.ok ? fields(read.analysis).join(" | ") : "refused: " + read.reason) +
                         (read.repairs.isEmpty() ? QString() : " | repairs: " + read.repairs.join(" / "));
        };
        const QList<QByteArray> putIn{"<block>",      "</block>", "<parent> 7 </parent>",
                                      "<id> 2 </id>", "&amp;",    "-1E+40",
                                      " .5 ",         "</text>",  QByteArray("\x81\x00", 2)};
        for (qsizetype at = 0; at < sample.size(); at += 23) {
            const QByteArray &what = putIn[(at / 23) % putIn.size()];
            readAs(u"cut at %1"_s.arg(at), sample.left(at));
            readAs(u"13 missing at %1"_s.arg(at), QByteArray(sample).remove(at, 13));
            readAs(u"%1 put in at %2"_s.arg(what.toHex(), QString::number(at)), QByteArray(sample).insert(at, what));
        }
        compareWithRecorded(lines, dataFile("recorded/damaged_files.txt"));
    }

    // A file cut short opens with the blocks it still holds, and says so, also when it has no
    // declaration before its analysis tag (cut short after one, it is among the damaged files).
    void fileCutShortWithoutDeclarationOpensWithWhatItHolds()
    {
        const QByteArray sample = readBytes(TESSIK_SAMPLES_DIR "/Conveyor_stoppage.rca.xml");
        const qsizetype opening = sample.indexOf("<analysis>"), lastBlock = sample.lastIndexOf("<block>");
        QVERIFY2(opening > 0 && lastBlock > opening, "the sample is not as this test knows it");
        const ReadOutcome whole = readAnalysisBytes(sample, AnalysisEncoding::CodePage, kGerman),
                          read = readAnalysisBytes(sample.mid(opening, lastBlock - opening), AnalysisEncoding::CodePage,
                                                   kGerman);
        QVERIFY2(read.ok && read.repairs.join(' ').contains("without its closing </analysis> tag"),
                 qPrintable(read.reason + " / not said: " + read.repairs.join(" / ")));
        QCOMPARE(read.analysis.table.usedSlots(), whole.analysis.table.usedSlots() - 1);
    }

    // Text, German locale or C, the Single and its fault, the Integer and its fault.
    void readsNumbers_data() { addRowsFrom("number_reading.tsv"); }
    void readsNumbers()
    {
        QFETCH(QStringList, row);
        const QLocale locale = row[1] == "de" ? kGerman : QLocale::c();
        const SingleFromText s = singleFromText(row[0], locale);
        const IntegerFromText i = integerFromText(row[0], locale);
        COMPARE_FACTS(QString, {"the Single's fault", faultName(s.fault), row[3]},
                      {"the Integer's fault", faultName(i.fault), row[5]});
        COMPARE_FACTS(double, {"the Single", s.value, row[2].toFloat()},
                      {"the Integer", double(i.value), row[4].toDouble()});
    }

    // An exponent of millions weighs against as long a run of zeros: what they stand for is read,
    // not zero or an overflow.
    void exponentOutweighsMillionsOfZeros()
    {
        const QString text = "0." + QString(12'000'000, '0') + "15e12000001";
        const SingleFromText s = singleFromText(text, QLocale::c());
        QCOMPARE(faultName(s.fault), QString("none"));
        QCOMPARE(s.value, 1.5f);
    }

    // The worked example is written as its file holds it (which reads back to the same bytes
    // among the stored files below). The program's own copies are UTF-8 and keep what the code
    // page cannot hold. A decimal separator the code page lacks is written as a point.
    void workedExample()
    {
        QCOMPARE(writeAnalysis(::workedExample(), QLocale::c()), readBytes(dataFile("worked_example.rca.xml")));
        Analysis a = ::workedExample();
        a.table.setCaption(1, "Ma\u0141y \U0001F600 \u20ac");
        const QByteArray copy = writeAnalysisUtf8(a, kGerman);
        QVERIFY(copy.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<analysis>"));
        QCOMPARE(fields(readAnalysisBytes(copy, AnalysisEncoding::Utf8, kGerman).analysis), fields(a));
        a.table.move(2, -0.5f, a.table.block(2).y);
        QVERIFY(writeAnalysis(a, QLocale(QLocale::Arabic, QLocale::Egypt)).contains("<x>-.5 </x>"));
    }

    // Files that come back byte for byte after a read and a write, nothing repaired: the samples
    // beside the program, a free slot in the middle (it keeps position and category), hand-edited
    // number texts, the worked example, texts as they stand (markup, quotes, blanks at either end, line breaks), every
    // byte value in a caption.
    void storedFilesKeepEveryByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (const QString &name : QDir(TESSIK_SAMPLES_DIR).entryList({"*.rca.xml"}))
            QTest::newRow(qPrintable(name)) << readBytes(TESSIK_SAMPLES_DIR "/" + name);
        for (const char *name : {"free_slot_in_middle.rca.xml", "number_texts.rca.xml", "worked_example.rca.xml"})
            QTest::newRow(name) << readBytes(dataFile(name));
        QByteArray texts = readBytes(dataFile("worked_example.rca.xml")), all = texts;
        texts.replace("Sensor data missing", " Tom & Jerry <said> \"a\" > 'b' ").replace("Plant North", "<category>x ");
        QTest::newRow("texts as they stand") << texts.replace("<notes>Technology", "<notes>\r\n\r\n <block><x> 3 </x>");
        for (int b = 0; b < 256; ++b)
            all.insert(all.indexOf("</text>"), char(b));
        QTest::newRow("all 256 byte values in a caption") << all;
    }
    void storedFilesKeepEveryByte()
    {
        QFETCH(QByteArray, bytes);
        TestEnvironment env;
        QVERIFY(writeBytes(env.path("a.rca.xml"), bytes));
        const ReadOutcome outcome = readAnalysisFile(env.path("a.rca.xml"), QLocale::c());
        COMPARE_FACTS(bool, {"read", outcome.ok, true}, {"nothing repaired", outcome.repairs.isEmpty(), true});
        QVERIFY(saveAnalysisFile(env.path("a.rca.xml"), outcome.analysis, QLocale::c()).ok);
        QCOMPARE(readBytes(env.path("a.rca.xml")), bytes);
    }

    // The header texts and the captions as read, "|" between them, and how many repairs are told.
    void readingRules_data() { addRowsFrom("reading_rules.tsv"); }
    void readingRules()
    {
        QFETCH(QStringList, row);
        const QString file = row[0], read = row[1];
        const int repairs = row[2].toInt();
        const ReadOutcome outcome = readAnalysisFile(dataFile(file));
        QVERIFY2(outcome.ok, qPrintable("refused: " + outcome.reason));
        QVERIFY2(outcome.repairs.size() == repairs,
                 qPrintable(QStringLiteral("%1 repairs told, not %2: ").arg(outcome.repairs.size()).arg(repairs) +
                            outcome.repairs.join(" / ")));
        const Analysis &a = outcome.analysis;
        QStringList texts{a.description, a.email, a.office};
        for (int i = 1; i <= a.table.usedSlots(); ++i)
            texts << a.table.block(i).caption + a.table.block(i).notes; // notes_before_text has notes, but too early
        QCOMPARE(texts, read.split('|'));
    }

    // Refused with the reason, nothing read: a file too large, a folder, a file that is no
    // analysis (a save over it would destroy it), an empty one.
    void unreadableFilesAreRefused()
    {
        TestEnvironment env;
        QFile file(env.path("huge.rca.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(kMaxAnalysisFileBytes + 1)); // sparse
        QVERIFY(writeBytes(env.path("empty.rca.xml"), ""));
        QStringList reasons;
        for (const QString &path : {file.fileName(), env.path("work"), dataFile("not_an_analysis.txt"),
                                    env.path("empty.rca.xml"), env.path("gone.rca.xml")}) {
            const ReadOutcome outcome = readAnalysisFile(path);
            QVERIFY(!outcome.ok && outcome.analysis.description.isEmpty() && outcome.analysis.table.usedSlots() == 0);
            reasons << outcome.reason;
        }
        const QString noAnalysis = "The file holds no Root Cause Analysis: it has no <analysis> element.";
        QCOMPARE(reasons,
                 QStringList({"The file is too large for an analysis file (256 MB; at most 256 MB are read).",
                              "This is a folder, not a file.", noAnalysis, noAnalysis, "No such file or directory"}));
    }

    // A save to a name that is no text, standing for a chain of links each relative to its own
    // folder, writes the file at the chain's end, as a save through any other name does, and the
    // links stay links. A chain of as many links as the system follows (40) is followed to its
    // end; one of more (41) only as far as the system follows it, so that the name reads back
    // what was saved.
    void saveThroughAChainOfLinks_data()
    {
        QTest::addColumn<int>("links");
        QTest::newRow("as many as the system follows") << 40;
        QTest::newRow("one more") << 41;
    }
    void saveThroughAChainOfLinks()
    {
        QFETCH(int, links);
        TestEnvironment env;
        const QByteArray folder = QFile::encodeName(env.path("work/")), name = folder + "Caf\xE9.rca.xml";
        QVERIFY(QDir().mkpath(env.path("work/sub")) && writeBytes(env.path("work/sub/Pump.rca.xml"), "old"));
        QVERIFY(::symlink("sub/c1", name.constData()) == 0);
        for (int link = 1; link < links; ++link) {
            const QByteArray to = link == links - 1 ? QByteArray("Pump.rca.xml") : "c" + QByteArray::number(link + 1);
            QVERIFY(::symlink(to.constData(), QByteArray(folder + "sub/c" + QByteArray::number(link)).constData()) ==
                    0);
        }
        QVERIFY(writeFileSafely(fileNameFromBytes(name), "new").ok);
        const FileBytes read = readOrdinaryFileStart(fileNameFromBytes(name), 100);
        QVERIFY2(read.ok && read.bytes == "new", qPrintable(read.reason + " / read: " + read.bytes));
        QCOMPARE(fileKind(fileNameFromBytes(name), AtLink::NotFollowed), FileKind::Link);
        if (links == 40) {
            QCOMPARE(readBytes(env.path("work/sub/Pump.rca.xml")), QByteArray("new"));
            QCOMPARE(fileKind(env.path("work/sub/c39"), AtLink::NotFollowed), FileKind::Link);
        }
    }

    // A save forces the new bytes to the disk before they take the old file's place, so that a
    // power cut right after it leaves the new file whole, not empty: under a name that is text,
    // and under one that is not.
    void saveForcesTheBytesToTheDisk()
    {
        TestEnvironment env;
        for (const QByteArray name : {"Pump.rca.xml", "Caf\xE9.rca.xml"}) {
            const int before = gSyncCalls;
            QVERIFY(
                writeFileSafely(fileNameFromBytes(QByteArray(QFile::encodeName(env.path("work/")) + name)), "new").ok);
            QVERIFY2(gSyncCalls > before,
                     QByteArray(name).append(": the bytes were not forced to the disk").constData());
        }
    }

    // A disk that fills up during a save under a name that is no text: the save fails with the
    // system's reason, the old file is as it was, and no half-written file is left beside it.
    void fullDiskUnderANameThatIsNoTextKeepsTheOldFile()
    {
        TestEnvironment env;
        const QString name = fileNameFromBytes(QByteArray(QFile::encodeName(env.path("work/")) + "Caf\xE9.rca.xml"));
        QVERIFY(writeFileSafely(name, "old").ok);
        const IoResult written = [&] {
            const FullDisk full;
            return writeFileSafely(name, QByteArray(1000, 'x'));
        }();
        QCOMPARE(written.reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(readOrdinaryFile(name, 1 << 20).bytes, QByteArray("old"));
        const std::filesystem::directory_iterator files(QFile::encodeName(env.path("work")).toStdString());
        QCOMPARE(std::distance(begin(files), end(files)), 1); // by the names' bytes, which QDir would skip
    }

    // A file of just the limit is read whole; one byte more and it is refused unread.
    void limitOfAFileRead()
    {
        TestEnvironment env;
        const QString name = env.path("work/a.rca.xml");
        for (const int size : {1000, 1001}) {
            QVERIFY(writeBytes(name, QByteArray(size, 'x')));
            const FileBytes read = readOrdinaryFile(name, 1000);
            COMPARE_FACTS(qint64, {"refused as too large", read.tooLarge, size > 1000},
                          {"the size told", read.size, size},
                          {"the bytes read", read.bytes.size(), size > 1000 ? 0 : size});
        }
    }

    // A file that ends before the size it gave when opened (one cut short as it is read) is read
    // to where it ends. A kernel status file is such a file: it says 4096 bytes and holds a line.
    void fileShorterThanItsSizeIsReadToItsEnd()
    {
        const QString status = "/sys/devices/system/cpu/online";
        if (QFileInfo(status).size() <= 16)
            QSKIP("no kernel status file that claims more than it holds");
        const FileBytes read = readOrdinaryFile(status, 1 << 20);
        QVERIFY2(read.ok, qPrintable("the short file was refused: " + read.reason));
        QVERIFY2(read.bytes.endsWith('\n') && read.bytes.size() < 16, read.bytes.constData());
    }

    void repairs_data() { addRowsFrom("repairs.tsv"); }
    void repairs()
    {
        QFETCH(QStringList, row);
        const int blocks = row[0].toInt(), slot = row[1].toInt(), field = row[2].toInt();
        const double expected = row[4].toDouble();
        const QString value = row[3], repair = row[5];
        const ReadOutcome outcome = parseAnalysisText(fileWith(blocks, slot, field, value), QLocale::c());
        const BlockTable &t = outcome.analysis.table;
        QCOMPARE(int(t.usedSlots()), std::min(blocks, kMaxBlocks));
        for (int i = 1; i <= t.usedSlots(); ++i) {
            QCOMPARE(t.block(i).caption, QStringLiteral("Block %1").arg(i));
            const double values[] = {double(t.block(i).active), double(t.block(i).parent), t.block(i).x, t.block(i).y};
            for (int f = 0; f < 4; ++f)
                QCOMPARE(values[f], i == slot && f == field ? expected : soundValue(i, f));
        }
        QCOMPARE(outcome.repairs, repair.isEmpty() ? QStringList() : QStringList{repair});
    }

    // Every repair of a file is told in one message naming the file; a long list is cut.
    void oneMessageListsTheRepairs()
    {
        const QStringList repairs = parseAnalysisText(fileWith(20).replace("-1 ", "yes ")).repairs;
        const QString message = repairMessage("/data/broken.rca.xml", repairs);
        QVERIFY2(message.contains("/data/broken.rca.xml") && message.contains(repairs[9] + "\r\n... and 10 more") &&
                     !message.contains(repairs[10]) && message.endsWith("unchanged until the analysis is saved."),
                 qPrintable(message));
        QVERIFY(!repairMessage("/a", repairs.mid(0, 10)).contains("more") && repairMessage("/a", {}).isEmpty());
    }

    void unwritablePathsFailWithAReason()
    {
        TestEnvironment env;
        QVERIFY(writeBytes(env.path("a.rca.xml"), "previous") && QDir().mkpath(env.path("folder.rca.xml")));
        const QStringList paths{"missing/a.rca.xml", "folder.rca.xml", "a.rca.xml/b.rca.xml"};
        const QStringList reasons{"The folder does not exist.", "A folder of that name is in the way.",
                                  "Part of the path is a file, not a folder.", "No file name was given."};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(writeFileSafely(i < 3 ? env.path(paths[i]) : "", "new").reason, reasons[i]);
        QCOMPARE(readBytes(env.path("a.rca.xml")), QByteArray("previous"));
        QCOMPARE(QDir(env.root.path()).entryList(QDir::Files), QStringList{"a.rca.xml"});
    }

    // A new file may be read and written by its owner, and by others as far as the process's mask
    // allows; a file saved over keeps who may read it, beyond what the mask would give. Both
    // whether it is written through Qt or by its name's bytes (a link replaced at its name, a name
    // Qt cannot carry).
    void savedFilesPermissions()
    {
        TestEnvironment env;
        const mode_t before = ::umask(027);
        const auto restore = qScopeGuard([before] { ::umask(before); });
        const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        for (const AtLink link : {AtLink::Follow, AtLink::NotFollowed}) {
            const QString path = env.path(link == AtLink::Follow ? "followed.rca.xml" : "by-name.rca.xml");
            QVERIFY(writeFileSafely(path, "new", link).ok);
            struct stat written;
            QVERIFY(::stat(QFile::encodeName(path).constData(), &written) == 0);
            QVERIFY2((written.st_mode & 07777) == 0640,
                     qPrintable(path + QString(": mode %1").arg(written.st_mode & 07777, 0, 8)));
            QVERIFY(QFile::setPermissions(path, shared) && writeFileSafely(path, "again", link).ok);
            QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), shared);
        }
    }

    // The file that was there stays byte for byte, a new one is not created, and no temporary
    // file is left beside it, whether the disk fills up or the final rename fails.
    void failedWriteLeavesThePreviousFile_data()
    {
        const qint64 size = kNewBytes.size();
        test::addRows<FailedWrite>({
            {"nothing fits", {0, size, true, false}},
            {"all but one byte", {size - 1, size, true, false}},
            {"exactly enough, one byte a write", {size, 1, true, false}},
            {"new file, half fits", {size / 2, size, false, false}},
            {"everything written, the commit fails", {size, size, false, true}},
        });
    }
    void failedWriteLeavesThePreviousFile()
    {
        QFETCH(FailedWrite, row);
        const auto [room, perWrite, previousFile, commitFails] = row;
        TestEnvironment env;
        const QString path = env.path("a.rca.xml");
        const QByteArray previous("previous\r\n\x81\x8D\xFF", 13);
        QVERIFY(!previousFile || writeBytes(path, previous));
        FaultySaveFile file(path);
        file.room = room, file.perWrite = perWrite;
        file.duringWrite = [&] { QVERIFY(!commitFails || QDir().mkpath(path + "/x")); };
        const IoResult result = writeThroughSaveFile(file, kNewBytes);
        const bool fits = room == kNewBytes.size() && !commitFails;
        COMPARE_FACTS(bool, {"saved", result.ok, fits}, {"no reason given", result.reason.isEmpty(), fits});
        QCOMPARE(result.reason == "No space left on device", room < kNewBytes.size());
        QCOMPARE(readBytes(path), fits ? kNewBytes : previousFile ? previous : QByteArray());
        QCOMPARE(QDir(env.root.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList(fits || previousFile, "a.rca.xml"));
    }

    void validationAndProposedName()
    {
        QCOMPARE(saveValidationMessage("   ", " ", SaveCommand::Save), QString());
        QCOMPARE(saveValidationMessage("", "Office", SaveCommand::Save), kNotSaved + "You need an Event Description");
        QCOMPARE(saveValidationMessage("Event", "", SaveCommand::Save), kNotSaved + "You need to identify the office");
        QCOMPARE(saveValidationMessage("Event", "", SaveCommand::SaveAs), kNotSaved + "You need to identify an office");
        QCOMPARE(saveFailureMessage("/data/a.rca.xml", "Disk full"),
                 "The Root Cause Analysis was not saved. This file could not be written:\r\n\r\n/data/a.rca.xml\r\n\r\n"
                 "Disk full\r\n\r\nA file that was there before is unchanged.");
        // ASCII digits and letters only, so no path character can lead out of the chosen folder.
        QCOMPARE(proposedFileName("Conveyor stopped: twice!", "op.one"), QString("Conveyorstoppedtwice_opone"));
        QCOMPARE(proposedFileName("\u00dc/09:@AZ[`az{..\\", "\uFF21\U0001F600x"), QString("09AZaz_x"));
    }

    // A file name's bytes as the program shows them: valid UTF-8 as its characters, every other byte
    // as a character of its own that stands for it; and back to the same bytes.
    void fileNameBytesShownAndKept_data()
    {
        addRows<NameBytes>({
            {"two bytes, lowest and highest", {"\xC2\x80|\xDF\xBF", u"\u0080|\u07FF"_s}},
            {"three bytes, lowest, below the surrogates and highest",
             {"\xE0\xA0\x80|\xED\x9F\xBF|\xEF\xBF\xBF", u"\u0800|\uD7FF|\uFFFF"_s}},
            {"four bytes, lowest and highest", {"\xF0\x90\x80\x80|\xF4\x8F\xBF\xBF", u"\U00010000|\U0010FFFF"_s}},
            {"overlong", {"\xC1\xBF|\xE0\x9F\xBF", u"\xDCC1\xDCBF|\xDCE0\xDC9F\xDCBF"_s}},
            {"a surrogate, beyond U+10FFFF, no lead",
             {"\xED\xA0\x80|\xF4\x90|\xF5|\x80", u"\xDCED\xDCA0\xDC80|\xDCF4\xDC90|\xDCF5|\xDC80"_s}},
            {"cut short at the end", {"a\xE2\x82", u"a\xDCE2\xDC82"_s}},
            // U+FEFF is a character of the name like any other, also where the name or a run of
            // valid UTF-8 begins with it.
            {"a byte-order mark first", {"\xEF\xBB\xBFPump", u"\uFEFFPump"_s}},
            {"a byte-order mark after a byte that is no UTF-8",
             {"\xEF\xBB\xEF\xBB\xBF\x95", u"\xDCEF\xDCBB\uFEFF\xDC95"_s}},
        });
    }
    void fileNameBytesShownAndKept()
    {
        QFETCH(NameBytes, row);
        QCOMPARE(fileNameFromBytes(row.first), row.second);
        QCOMPARE(fileNameBytes(row.second), row.first);
    }

    // A name given as a part of longer bytes ends where the part does.
    void fileNameFromPartOfBytes() { QCOMPARE(fileNameFromBytes(QByteArrayView("ab\xFF", 2)), QString("ab")); }

    // A text holding a tag of the layout would read back as another analysis, and a character
    // the code page lacks as "?": such a save is refused, naming the first text (in file order)
    // that really breaks. The harmless markup in block 1's notes, earlier in the file, is not blamed.
    void textsThatWouldNotReadBack_data() { addRowsFrom("texts_kept.tsv"); }
    void textsThatWouldNotReadBack()
    {
        QFETCH(QStringList, row);
        const int field = row[0].toInt();
        const QString caption = row[1], text = row[2], named = row[3];
        Analysis a{"Pump failure", "op", "North", {}};
        a.table.addBlock(5, 5);
        a.table.addBlock(25, 5);
        a.table.setNotes(1, "<b>x</b> <text>"); // a tag of the layout, but it reads back as it is
        a.table.move(1, 0.123456789f, 0);       // written with seven digits: no loss the user must fix
        Block second = a.table.block(2);
        second.caption = caption;
        *std::array{&a.description, &a.email, &second.caption, &second.category, &second.notes}[size_t(field)] = text;
        a.table.setBlock(2, second);
        const QString message = unkeepableTextMessage(a, QLocale::c());
        QVERIFY2(named.isEmpty() ? message.isEmpty() : message.startsWith(kNotSaved + named), qPrintable(message));
    }
};

TESSIK_TEST(FilesTest)
#include "files_test.moc"

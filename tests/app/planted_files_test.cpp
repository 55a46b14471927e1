// What lies in the program's own folders and in folders people share: pipes, devices, links
// planted there, a folder or a file where the other is expected, copies of unsaved work that
// cannot be read back or written, and file names that are no valid text.
#include "app/core/command_line.h"
#include "app/driven.h"
#include "app/ui/program.h"
#include "files/analysis_writer.h"
#include "files/ordinary_file.h"
#include "files/paths.h"
#include "files/safe_write.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QDirIterator>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace tessik;
using namespace tessik::test;

namespace {

// Everything under a folder; links and pipes as what they are, never followed or opened.
QStringList contentsOf(const QString &folder)
{
    QStringList seen;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        const FileBytes start = readOrdinaryFileStart(path, 1 << 20, AtLink::NotFollowed);
        seen << path + QString::number(int(fileKind(path, AtLink::NotFollowed))) + it.fileInfo().symLinkTarget() +
                    QString::number(it.fileInfo().size()) + start.bytes.toBase64();
    }
    seen.sort();
    return seen;
}

// Bytes no UTF-8 decoder may take for text (stray, overlong, a surrogate, past U+10FFFF, cut
// short) among text of one to four bytes a character, and a byte-order mark right after a stray
// byte, which is a character of the name like any other.
const QByteArray kNoText =
    "bad\xFF\xEF\xBB\xBF\xFE\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82 \xC3\xA9\xF0\x9F\x98\x80"
    "enc.rca.xml";
// The folder those files are in, itself named with a byte that is no text, in the test's folder.
const QString kCafe = fileNameFromBytes("work/Caf\xE9/");

// A copy of unsaved work from a run that ended without warning, relative to the per-user folder.
const QString kStem = "Recovery/000000000000001-1";

// What is planted where, and where it leads (tests/data/planted_files.tsv).
void plant(const QString &what, const QString &at, const QString &to, const QString &outside)
{
    if (what != "stretch")
        QFile::remove(at), QDir(at).removeRecursively();
    const QString target = to.startsWith('/') ? to : outside + to;
    QVERIFY(what == "stretch"  ? QFile::resize(at, to.toLongLong() << 20)
            : what == "pipe"   ? mkfifo(QFile::encodeName(at), 0600) == 0
            : what == "link"   ? QFile::link(target, at)
            : what == "folder" ? QDir().mkpath(at)
                               : writeBytes(at, what == "names" ? target.toUtf8() : "in the way"));
}

} // namespace

class PlantedFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each row starts the real program, which answers Yes to every question and quits: it comes
    // up, restores the copy where it can and leaves it alone where it cannot (saying where it is),
    // writes nothing where a link leads (outside/ holds someone else's copies), and leaves its
    // own files ordinary.
    void realProgramComesUpPastPlantedFiles_data() { addRowsFrom("planted_files.tsv"); }
    void realProgramComesUpPastPlantedFiles()
    {
        QFETCH(QStringList, row);
        const QString what = row[0], at = row[1], to = row[2], restoredAs = row[3];
        TestEnvironment env;
        const QString user = env.userFolder(), outside = env.path("outside/"), copies = user + "Recovery";
        Analysis work = analysisWith(2);
        QVERIFY(writeBytes(user + "Tessik.hst", env.path("work/").toUtf8() + "\r\n") &&
                writeBytes(user + "Tessik.ver", "16.01.02\r\n") &&
                writeBytes(env.path("work/Pump.rca.xml"), writeAnalysis(work)) &&
                writeBytes(outside + "victim.txt", "victim") && QDir().mkpath(outside + "Folder.rca.xml"));
        work.table.setCaption(2, "Planted work ≥ 泵 😀"); // a copy holds what the file's code page cannot
        for (const QString &stem : QStringList{user + kStem, outside + "copies/000000000000002-2"})
            QVERIFY(writeBytes(stem + ".analysis", writeAnalysisUtf8(work)) &&
                    writeBytes(stem + ".file", env.path("work/Pump.rca.xml").toUtf8()));
        plant(what, user + at, to, outside);
        const QStringList before = contentsOf(outside), ownCopies = contentsOf(copies);
        Driven program(env, {"quit"});
        QVERIFY2(program.process.waitForFinished(60000) && program.process.exitStatus() == QProcess::NormalExit,
                 "the program did not come up and end");
        const QString shown =
            QString::fromUtf8(program.process.readAllStandardOutput() + program.process.readAllStandardError());
        const bool restored = restoredAs != "-" && restoredAs != "kept";
        QCOMPARE(shown.section('\n', 0, 0), QString("QUESTIONS %1").arg(restored ? 1 : restoredAs == "kept" ? 2 : 0));
        QCOMPARE(shown.section('\n', 3, 3), restored && !restoredAs.isEmpty() ? env.path(restoredAs) : "");
        QCOMPARE(shown.contains("Planted work ≥ 泵 😀"), restored);
        QCOMPARE(shown.contains(user + kStem + ".analysis\r\n"), restoredAs == "kept");
        if (what == "stretch" && restoredAs == "kept") // the message says how large it is and may be
            QVERIFY2(shown.contains(QString("(%1 MB; at most 1024 MB are read)").arg(to)), qPrintable(shown));
        QCOMPARE(contentsOf(outside), before);
        if (!restored && at != "Recovery") // a copy not restored is left as it was
            QCOMPARE(contentsOf(copies), ownCopies);
        for (const QString own : {"Tessik.hst", "Tessik.ver"})
            QCOMPARE(fileKind(user + own, AtLink::NotFollowed),
                     at == own && what == "folder" ? FileKind::Folder : FileKind::Ordinary);
    }

    // The copy of unsaved work cannot be written: one message names the place and why; it is
    // tried after every edit without a word, and told again only after it has worked in between.
    void recoveryCopyThatCannotBeWrittenIsToldOnce()
    {
        WindowDriver d;
        const QString recovery = d.userFolder() + "Recovery";
        QVERIFY(writeBytes(recovery, "a file in the way"));
        d.start();
        run(d, {at(50, 20), type("txtText", "Seal worn"), press("btnImplement")});
        QTRY_COMPARE(d.platform.messages.size(), 1);
        const QString copy = d.platform.messages[0].section("\r\n", 2, 2), name = copy.chopped(9) + ".file";
        QVERIFY2(copy.startsWith(recovery + '/') && d.platform.messages[0].contains("Part of the path is a file"),
                 qPrintable(d.platform.messages[0]));
        // Still failing, with a folder where the copy goes: the name file shows it was tried.
        QVERIFY(QFile::remove(recovery) && QDir().mkpath(copy));
        run(d, {type("txtOffice", " side")});
        QTRY_VERIFY(QFile::exists(name));
        QVERIFY(QDir().rmdir(copy));
        run(d, {type("txtOffice", " 2")});
        QTRY_VERIFY(readBytes(copy).contains("<office> side 2</office>"));
        QTest::qWait(0); // the reports of every write so far are in
        QCOMPARE(d.platform.messages.size(), 1);
        QVERIFY(QFile::remove(copy) && QDir().mkpath(copy));
        run(d, {type("txtOffice", " 3")});
        QTRY_COMPARE(d.platform.messages.size(), 2);
    }

    // A link someone put where the snapshot goes is replaced by the picture; what it led to stays.
    void snapshotReplacesALinkAtItsName_data()
    {
        test::addRows<QString>({{"to a file", "victim.txt"}, {"to nowhere", "new.txt"}, {"to a folder", "Folder"}});
    }
    void snapshotReplacesALinkAtItsName()
    {
        QFETCH(QString, row);
        WindowDriver d;
        const QString snapshot = d.path("work/RCA_Snapshot.bmp");
        QVERIFY(writeBytes(d.path("outside/victim.txt"), "victim") && QDir().mkpath(d.path("outside/Folder")) &&
                QFile::link(d.path("outside/" + row), snapshot));
        const QStringList outside = contentsOf(d.path("outside"));
        d.start();
        d.click("btnSnapShot");
        QCOMPARE(d.platform.messages, QStringList());
        QCOMPARE(d.platform.openedUrls, QStringList{snapshot});
        COMPARE_FACTS(
            bool,
            {"the snapshot an ordinary file", fileKind(snapshot, AtLink::NotFollowed) == FileKind::Ordinary, true},
            {"the snapshot a bitmap", readBytes(snapshot).startsWith("BM"), true});
        QCOMPARE(contentsOf(d.path("outside")), outside);
    }

    // A file whose name, and its folder's, is no valid text, opened each way a file comes in,
    // edited and saved with Ctrl+S, then Quit: that file holds the edit, no other file appeared,
    // and the history file holds the folder's very bytes.
    void nameThatIsNoTextIsSavedWhereItWasRead_data()
    {
        test::addRows<Step>({
            {"a search result",
             [](WindowDriver &d) {
                 run(d, {load(kCafe + "Other.rca.xml"), search("frother")});
                 d.clickEntry(0);
             }},
            {"the Load dialog", load(kCafe + fileNameFromBytes(kNoText))},
            {"the command line",
             [](WindowDriver &d) {
                 QByteArray program = "tessik", file = fileNameBytes(d.path(kCafe)) + kNoText;
                 char *argv[] = {program.data(), file.data()};
                 d.loadAtStart(parseCommandLine(commandLineArguments(2, argv)).file);
             }},
        });
    }
    void nameThatIsNoTextIsSavedWhereItWasRead()
    {
        QFETCH(Step, row);
        WindowDriver d;
        const QByteArray folder = fileNameBytes(d.path(kCafe));
        Analysis frother = analysisWith(3);
        frother.description = "Milk frother";
        QVERIFY(std::filesystem::create_directory(folder.toStdString()));
        // Made from its very bytes, so that no decoding of the test's own stands between.
        std::ofstream(QByteArray(folder + kNoText).toStdString(), std::ios::binary)
            << writeAnalysis(frother).toStdString();
        QVERIFY(writeFileSafely(d.path(kCafe + "Other.rca.xml"), writeAnalysis(analysisWith(1))).ok);
        d.start();
        run(d, {row, at(50, 20), type("txtText", "Seal worn"), press("btnImplement"), key(Qt::CTRL | Qt::Key_S),
                press("btnQuit")});
        QCOMPARE(d.title(), "Root Cause Anlysis: bad\uFFFD\uFEFF" + QString(12, QChar::ReplacementCharacter) +
                                " \u00e9\U0001F600enc");
        QCOMPARE(std::distance(std::filesystem::directory_iterator(folder.toStdString()), {}), 2); // no file more
        std::ifstream saved(QByteArray(folder + kNoText).toStdString(), std::ios::binary);
        QVERIFY(std::string(std::istreambuf_iterator<char>(saved), {}).find("Seal worn") != std::string::npos);
        QCOMPARE(readBytes(d.userFolder() + "Tessik.hst"), QByteArray("\xEF\xBB\xBF" + folder + "\r\n"));
        QCOMPARE(d.platform.messages, QStringList());
        d.discardWindow();
        std::filesystem::remove_all(d.root.path().toStdString());
    }
};

TESSIK_TEST(PlantedFilesTest)
#include "planted_files_test.moc"

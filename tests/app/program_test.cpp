// The program as a whole: what start-up reads and copies into the per-user folder (what
// shut-down writes there is checked through the window's Quit), the file names it shows, its
// command line, run as the real executable, and the copy of
// unsaved work it keeps, offers after a run that did not end normally, and removes when it is
// not needed.
#include "app/core/command_line.h"
#include "app/core/document.h"
#include "app/core/recovery_copies.h"
#include "app/core/user_files.h"
#include "files/analysis_writer.h"
#include "files/paths.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QDir>
#include <QProcess>

using namespace tessik;
using namespace tessik::test;

namespace {

// The history file, the version file ("-" no such file, "/" a folder in its place), whether the
// samples are copied, and the version start-up reads.
using StartUp = std::tuple<QByteArray, QByteArray, bool, QString>;

const QByteArray kHistory = "/srv/Analysen/\334berlauf \200 [2]\r\nsecond line ignored\r\n";
const QString kLastFolder = "/srv/Analysen/\u00dcberlauf \u20ac [2]/";

QStringList copiesIn(const QString &userFolder)
{
    QStringList copies;
    for (const QFileInfo &copy : QDir(userFolder + kRecoveryFolderName).entryInfoList({"*.analysis"}, QDir::Files))
        copies << copy.filePath();
    return copies;
}
bool copyHolds(const QString &userFolder, const QString &text)
{
    const QStringList copies = copiesIn(userFolder);
    return copies.size() == 1 && QString::fromUtf8(readBytes(copies[0])).contains(text);
}

using Recovery = std::tuple<bool, QString, QByteArray, QList<Step>, int>;
void recoveryRow(const char *name, bool loaded, const QString &caption, const QByteArray &cutAt,
                 const QList<Step> &gesture, int messages)
{
    QTest::newRow(name) << Recovery{loaded, caption, cutAt, gesture, messages};
}
const Step answerYes = [](WindowDriver &d) { d.answerMessage(MessageAnswer::Yes); };
const Step undoOnce = key(Qt::CTRL | Qt::Key_Z);

// The arguments, the exit code, patterns of stdout and stderr, the file new afterwards or empty.
using Command = std::tuple<QStringList, int, QString, QString, QString>;
void commandRow(const char *name, const QStringList &arguments, int exitCode, const QString &out, const QString &err,
                const QString &written = QString())
{
    QTest::newRow(name) << Command{arguments, exitCode, out, err, written};
}
const QString kUsage = "Usage: tessik \\[options\\] \\[FILE\\]";

} // namespace

class ProgramTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNameAndFolder()
    {
        QStringList names;
        // A backslash is part of a name here: it separates folders only on Windows.
        for (const QString &path : QStringList{"/data/Conveyor_op.rca.xml", "C:\\Data\\Old.RCA.XML", "/a\\b/list.txt",
                                               ".rca.xml", "x.rca.xml.bak", "/srv/"})
            names << FileNameOnly(path) + '|' + FindPath(path);
        QCOMPARE(names, QStringList({"Conveyor_op|/data/", "C:\\Data\\Old|", "list.txt|/a\\b/", "|", "x|", "|/srv/"}));
    }

    // AppData where it is set, else the desktop's data folder, else ~/.local/share.
    void userFolder()
    {
        TestEnvironment env;
        QCOMPARE(resolveUserFolder(env.platform), env.userFolder());
        env.platform.environment.insert("AppData", env.path("appdata/"));
        QCOMPARE(resolveUserFolder(env.platform), env.userFolder());
        env.platform.environment = {{"XDG_DATA_HOME", env.path("xdg")}};
        QCOMPARE(resolveUserFolder(env.platform), env.path("xdg/Tessik/"));
        env.platform.environment.clear();
        QCOMPARE(prepareUserFiles(env.platform).UserFolder, env.path("home/.local/share/Tessik/"));
        QVERIFY(QDir(env.path("home/.local/share/Tessik")).exists());
        // A history line of 65,000 characters (a folder deep down) is read whole.
        QVERIFY(writeBytes(env.path("home/.local/share/Tessik/Tessik.hst"), QByteArray(65000, 'x') + "\r\n"));
        QCOMPARE(prepareUserFiles(env.platform).LastFolder, QString(65000, 'x') + '/');
    }

    // A first run creates the folder and copies the samples; later runs copy them again only for
    // a newer program, never over a file of the same name. Odd files count as a first run.
    void samplesAndHistory_data()
    {
        const QByteArray same = "16.01.02\r\n";
        test::addRows<StartUp>({
            {"first run", {"-", "-", true, "00.00.00"}},
            {"same version", {kHistory, same, false, "16.01.02"}},
            {"older version", {kHistory, "15.12.01\r\n", true, "15.12.01"}},
            {"newer version", {kHistory, "16.01.03\r\n", false, "16.01.03"}},
            {"empty version file", {kHistory, "", true, "00.00.00"}},
            {"no version file", {kHistory, "-", true, "00.00.00"}},
            {"version file without history file", {"-", same, true, "00.00.00"}},
            {"history file is a folder", {"/", same, true, "00.00.00"}},
            {"empty history file", {"", same, false, "16.01.02"}},
        });
    }
    void samplesAndHistory()
    {
        QFETCH(StartUp, row);
        const auto [history, version, copies, stored] = row;
        TestEnvironment env;
        const QString user = env.userFolder();
        for (const char *name : {"Alpha.rca.xml", "Beta.RCA.XML", "notes.txt"})
            writeBytes(env.path("program/") + name, name);
        QVERIFY(history == "-" ||
                (history == "/" ? QDir().mkpath(user + "Tessik.hst") : writeBytes(user + "Tessik.hst", history)));
        QVERIFY(version == "-" || writeBytes(user + "Tessik.ver", version));
        const bool own = QDir(user).exists() && writeBytes(user + "Alpha.rca.xml", "the user's own");
        const UserFiles files = prepareUserFiles(env.platform);
        QCOMPARE(QStringList({files.UserFolder, files.LastFolder, files.StoredVersion}),
                 QStringList({user, history.size() > 1 ? kLastFolder : user, stored}));
        const QByteArray alpha = own ? "the user's own" : copies ? "Alpha.rca.xml" : "";
        QCOMPARE(readBytes(user + "Alpha.rca.xml") + readBytes(user + "Beta.RCA.XML"),
                 alpha + (copies ? "Beta.RCA.XML" : ""));
        QCOMPARE(files.copiedSamples, copies ? QStringList({"Alpha.rca.xml", "Beta.RCA.XML"}).mid(own) : QStringList());
        QVERIFY(!QFile::exists(user + "notes.txt"));
    }

    // An edit, then the row's gesture, then a run that ends without its normal end (no Quit,
    // nothing written at shut-down; the copy cut before the next start where the row says), and
    // the next start, answered Yes: the messages it shows. Restored, the edit is back, unsaved,
    // under the file it belonged to, and Save writes there.
    void recovery_data()
    {
        QTest::addColumn<Recovery>("row");
        const QString wide = "Łódź ≥ 3 bar 泵 😀";
        recoveryRow("an analysis loaded from a file", true, "Seal worn", {}, {}, 1);
        recoveryRow("never saved, with characters the code page cannot hold", false, wide, {}, {}, 1);
        recoveryRow("a copy cut short", true, wide, "<text>\xC5\x81", {}, 2);
        recoveryRow("a copy that is no analysis", true, "Seal worn", "<?xml", {}, 2);
        recoveryRow("gone with Save", true, "Seal worn", {}, {press("btnSave")}, 0);
        recoveryRow("gone with a discarding New", true, "Seal worn", {}, {answerYes, press("btnNew")}, 0);
        recoveryRow("gone with a normal end", false, "Seal worn", {}, {answerYes, press("btnQuit")}, 0);
        recoveryRow("gone when undone back to the file", true, "Seal worn", {}, {undoOnce, undoOnce}, 0);
    }
    void recovery()
    {
        QFETCH(Recovery, row);
        const auto [loaded, caption, cutAt, gesture, messages] = row;
        WindowDriver d;
        d.start();
        const QString pump = loaded ? d.load(analysisWith(3), "Pump.rca.xml") : QString();
        d.clickDiagram(50, 20);
        d.commitText("txtText", caption);
        d.click("btnImplement");
        QTRY_VERIFY(copyHolds(d.userFolder(), caption));
        QStringList edited = d.summary();
        edited.removeAt(3); // LastFolder, which the next start reads from the history file
        const QString copy = copiesIn(d.userFolder()).value(0);
        if (!cutAt.isEmpty())
            writeBytes(copy, readBytes(copy).left(readBytes(copy).indexOf(cutAt)));
        run(d, gesture);
        QTRY_VERIFY(messages > 0 || copiesIn(d.userFolder()).isEmpty());
        d.platform.messages.clear();
        d.answerMessage(MessageAnswer::Yes);
        d.start();
        d.offerRecovery();
        QCOMPARE(d.platform.messages.size(), messages);
        if (messages == 0)
            return;
        QVERIFY(d.platform.messages[0].contains(loaded ? pump : "never saved"));
        QVERIFY(messages == 1 || d.platform.messages.last().contains(copy)); // a damaged copy is mended as any file
        QStringList restored = d.summary();
        restored.removeAt(3);
        QCOMPARE(restored == edited, messages == 1);
        if (!loaded || messages > 1)
            return;
        d.click("btnSave"); // back where the analysis came from
        QCOMPARE(d.platform.fileRequests.size(), 1);
        QVERIFY(readBytes(pump).contains(caption.toLatin1()));
        QTRY_VERIFY(copiesIn(d.userFolder()).isEmpty());
    }

    // A second program running at the same time neither offers nor removes the first one's copy.
    void twoProgramsAtOnceKeepTheirOwnCopies()
    {
        WindowDriver d;
        d.start();
        run(d, {at(50, 20), type("txtText", "Seal worn"), press("btnImplement")});
        QTRY_VERIFY(copyHolds(d.userFolder(), "Seal worn"));
        const std::unique_ptr<QWidget> second = d.startAnother();
        d.offerRecovery(second.get());
        QTest::mouseClick(second->findChild<QWidget *>("btnQuit"), Qt::LeftButton);
        QVERIFY2(d.platform.messages.isEmpty(), qPrintable(d.platform.messages.join('\n')));
        QVERIFY(copyHolds(d.userFolder(), "Seal worn"));
    }

    // The real program, killed with SIGKILL after an edit, then started again.
    void realProgramKilledAndStartedAgain_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Yes brings the edits back") << "yes";
        QTest::newRow("No leaves no copy") << "no";
    }
    void realProgramKilledAndStartedAgain()
    {
        QFETCH(QString, answer);
        TestEnvironment env;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("AppData");
        environment.insert("HOME", env.path("home"));
        environment.insert("XDG_DATA_HOME", env.path("data"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        const QString user = env.path("data/Tessik/"), pump = env.path("work/Pump.rca.xml");
        writeBytes(pump, writeAnalysis(analysisWith(3)));
        const auto start = [&](const QStringList &arguments) {
            auto program = std::make_unique<QProcess>();
            program->setProcessEnvironment(environment);
            program->start(TESSIK_DRIVEN_PROGRAM, arguments);
            QByteArray output;
            while (!output.contains("STARTED") && program->waitForReadyRead(20000))
                output += program->readAllStandardOutput();
            return std::make_pair(std::move(program), QString::fromUtf8(output));
        };
        auto [first, edited] = start({"edit", pump});
        QTRY_VERIFY_WITH_TIMEOUT(copyHolds(user, "Survives a kill"), 10000);
        const QString firstCopy = copiesIn(user).value(0);
        first->kill(); // SIGKILL: no handler of the program runs
        QVERIFY(first->waitForFinished() && first->exitStatus() == QProcess::CrashExit);
        auto [second, shown] = start({answer});
        const QString expected = answer == "yes" ? "QUESTIONS 1\nTessik: Pump *\nunsaved running\n" + pump
                                                 : QString("QUESTIONS 1\nTessik\nsaved running\n\n");
        QVERIFY2(shown.startsWith(expected) && shown.contains("Survives a kill") == (answer == "yes"),
                 qPrintable(shown));
        // Restored, the work is kept again, now as the copy of the run that restored it.
        QTRY_VERIFY(answer == "yes" ? copyHolds(user, "Survives a kill") && copiesIn(user)[0] != firstCopy
                                    : copiesIn(user).isEmpty());
        second->kill();
        QVERIFY(second->waitForFinished());
    }

    // The real program: what it prints where, its exit status and what it leaves in the folder it
    // runs in, which holds in.rca.xml, damaged.rca.xml, far.rca.xml and a file kept.png holding "old".
    void commandLine_data()
    {
        QTest::addColumn<Command>("row");
        const QString none = "^$";
        commandRow("--version", {"--version"}, 0, "^Tessik 16\\.01\\.02\\n$", none);
        commandRow("--help", {"--help"}, 0, "^" + kUsage + "\\n.*--export <OUT>.*--report <OUT>.*--scale <N>", none);
        commandRow("unknown option", {"--bogus", "in.rca.xml"}, 2, none,
                   "^tessik: Unknown option 'bogus'\\.\\n\\n" + kUsage);
        commandRow("SVG", {"--export", "out.svg", "in.rca.xml"}, 0, none, none, "out.svg");
        commandRow("PNG at the largest scale", {"--export=out.png", "--scale", "16", "in.rca.xml"}, 0, none, none,
                   "out.png");
        commandRow("PDF, with a capital ending", {"--export", "OUT.PDF", "in.rca.xml"}, 0, none, none, "OUT.PDF");
        commandRow("replaces a picture", {"--export", "kept.png", "in.rca.xml"}, 0, none, none, "kept.png");
        commandRow("damaged IN", {"--export", "out.svg", "damaged.rca.xml"}, 0, none,
                   "^tessik: [^\\n]*damaged.rca.xml: repaired while reading: [^\\n]*\\n"
                   "tessik: [^\\n]*damaged.rca.xml: repaired while reading: [^\\n]*\\n$",
                   "out.svg");
        commandRow("no IN", {"--export", "out.pdf"}, 2, none, "--export needs the analysis to draw.*" + kUsage);
        commandRow("report as HTML", {"--report", "out.html", "in.rca.xml"}, 0, none, none, "out.html");
        commandRow("report replaces a file", {"--report=kept.odt", "in.rca.xml"}, 0, none, none, "kept.odt");
        commandRow(
            "report of an unreadable IN keeps OUT", {"--report", "kept.odt", "missing.rca.xml"}, 1, none,
            "^tessik: the analysis [^\\n]*/missing\\.rca\\.xml could not be read: No such file or directory\\n$");
        commandRow(
            "report in a missing folder", {"--report", "nowhere/out.pdf", "in.rca.xml"}, 1, none,
            "^tessik: the report [^\\n]*/nowhere/out\\.pdf could not be written: The folder does not exist\\.\\n$");
        commandRow("report with an unknown ending", {"--report", "out.svg", "in.rca.xml"}, 2, none,
                   "out\\.svg: the report's name must end in \\.pdf, \\.html or \\.odt\\.");
        commandRow("report and export at once", {"--report", "out.pdf", "--export", "out.svg", "in.rca.xml"}, 2, none,
                   "--report and --export go one at a time");
        commandRow("report without IN", {"--report", "out.pdf"}, 2, none, "--report needs the analysis to report on");
        commandRow("two analyses", {"in.rca.xml", "far.rca.xml"}, 2, none, "Only one analysis at a time");
        commandRow("unknown ending", {"--export", "out.jpg", "in.rca.xml"}, 2, none,
                   "out\\.jpg: the picture's name must end in \\.pdf, \\.svg or \\.png\\.");
        commandRow("scale 0", {"--export", "out.png", "--scale", "0", "in.rca.xml"}, 2, none,
                   "--scale 0: give a number above 0 and at most 16\\.");
        commandRow("scale too large", {"--export", "out.png", "--scale", "17", "in.rca.xml"}, 2, none, "--scale 17:");
        commandRow("scale for a PDF", {"--export", "out.pdf", "--scale", "2", "in.rca.xml"}, 2, none,
                   "--scale is for \\.png pictures only");
        commandRow("scale without export", {"--scale", "2", "in.rca.xml"}, 2, none, "--scale goes with --export");
        commandRow(
            "missing IN", {"--export", "out.pdf", "missing.rca.xml"}, 1, none,
            "^tessik: the analysis [^\\n]*/missing\\.rca\\.xml could not be read: No such file or directory\\n$");
        commandRow(
            "OUT in a missing folder", {"--export", "nowhere/out.pdf", "in.rca.xml"}, 1, none,
            "^tessik: the picture [^\\n]*/nowhere/out\\.pdf could not be written: The folder does not exist\\.\\n$");
        commandRow("too large at this scale", {"--export", "kept.png", "--scale", "4", "far.rca.xml"}, 1, none,
                   "kept\\.png could not be written: At this scale the picture would be 1073742052 by 472 pixels");
    }
    void commandLine()
    {
        QFETCH(Command, row);
        const auto [arguments, exitCode, out, err, written] = row;
        QTemporaryDir dir;
        Analysis far;
        far.table.addBlock(0, 0);
        far.table.addBlock(3e38f, 0); // as far as a file can place it: its picture covers a great area
        QVERIFY(writeBytes(dir.filePath("in.rca.xml"), writeAnalysis(analysisWith(2))) &&
                writeBytes(dir.filePath("far.rca.xml"), writeAnalysis(far)) &&
                writeBytes(dir.filePath("kept.png"), "old") && writeBytes(dir.filePath("kept.odt"), "old"));
        // A parent that names no block and a position that is no number: read with two repairs.
        QVERIFY(writeBytes(dir.filePath("damaged.rca.xml"),
                           "<analysis><description>D</description><block><active>-1 </active><parent> 9 </parent>"
                           "<x>oops</x><y> 2 </y><text>T</text></block></analysis>"));
        // No display at all, and Qt's own folders inside the test's folder, so that stderr holds
        // only what the program says.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        QVERIFY(QDir(dir.path()).mkdir(".run") &&
                QFile::setPermissions(dir.filePath(".run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        environment.insert("XDG_RUNTIME_DIR", dir.filePath(".run"));
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationDirPath() + "/tessik", arguments);
        QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
        const QString stdOut = process.readAllStandardOutput(), stdErr = process.readAllStandardError();
        const auto dot = QRegularExpression::DotMatchesEverythingOption;
        QVERIFY2(QRegularExpression(out, dot).match(stdOut).hasMatch(), qPrintable("stdout: " + stdOut));
        QVERIFY2(QRegularExpression(err, dot).match(stdErr).hasMatch(), qPrintable("stderr: " + stdErr));
        QCOMPARE(process.exitCode(), exitCode);
        // Nothing but the picture or report is left behind; a failure leaves the old file as it was.
        QStringList expected = before + QStringList(written).mid(written.isEmpty() || before.contains(written));
        expected.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), expected);
        for (const QString kept : {"kept.png", "kept.odt"})
            QCOMPARE(readBytes(dir.filePath(kept)) == "old", written != kept);
        const QByteArray file = readBytes(dir.filePath(written)),
                         ending = written.section('.', -1).toLower().toLatin1();
        const QMap<QByteArray, QByteArray> magic{
            {"pdf", "%PDF-"}, {"svg", "<?xml"}, {"html", "<?xml"}, {"png", "\x89PNG"}, {"odt", "PK"}};
        QVERIFY(written.isEmpty() || file.startsWith(magic.value(ending, "?")));
        // Files are taken from the folder the program starts in: a later dialog moves it.
        QCOMPARE(parseCommandLine({"tessik", "--", "-a.rca.xml"}).file, QDir::currentPath() + "/-a.rca.xml");
    }
};

TESSIK_TEST(ProgramTest)
#include "program_test.moc"

// The program as a whole: what start-up reads and copies into the per-user folder, the file
// names it shows, its command line run as the real executable, the copy of unsaved work it
// keeps, offers after a run that did not end normally, and removes when it is not needed; and
// the real program run twice at once on one file, and on a screen of twice the density.
#include "app/core/command_line.h"
#include "app/core/recovery_copies.h"
#include "app/core/user_files.h"
#include "app/driven.h"
#include "files/analysis_writer.h"
#include "files/paths.h"
#include "render/artwork.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QDir>

using namespace tessik;
using namespace tessik::test;

namespace {

// The copies of unsaved work kept in the per-user folder.
QStringList copiesIn(const QString &userFolder)
{
    QStringList copies;
    for (const QFileInfo &copy : QDir(userFolder + kRecoveryFolderName).entryInfoList({"*.analysis"}, QDir::Files))
        copies << copy.filePath();
    return copies;
}
// The history file, the version file ("-" no such file, "/" a folder in its place), whether the
// samples are copied, and the version and the last folder start-up reads (empty: the user's own).
using StartUp = std::tuple<QByteArray, QByteArray, bool, QString, QString>;
} // namespace

class ProgramTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The name a title shows and the folder a dialog opens in, from a file's path.
    void fileNameAndFolder()
    {
        QStringList names;
        // A backslash is part of a name here: it separates folders only on Windows.
        for (const QString &path : QStringList{"/data/Conveyor_op.rca.xml", "C:\\Data\\Old.RCA.XML", "/a\\b/list.txt",
                                               ".rca.xml", "x.rca.xml.bak", "/srv/"})
            names << FileNameOnly(path) + '|' + FindPath(path);
        QCOMPARE(names, QStringList({"Conveyor_op|/data/", "C:\\Data\\Old|", "list.txt|/a\\b/", "|", "x|", "|/srv/"}));
    }

    // A first run creates the folder (in the desktop's data folder, or ~/.local/share without
    // one) and copies the samples; later runs copy them again only for a newer program, never
    // over a file of the same name. Odd files count as a first run.
    void samplesAndHistory_data()
    {
        const QByteArray history = "/srv/Analysen/\334berlauf \200 [2]\r\nsecond line ignored\r\n",
                         same = "16.01.02\r\n";
        const QString last = "/srv/Analysen/Überlauf € [2]/";
        test::addRows<StartUp>({
            {"first run", {"-", "-", true, "00.00.00", ""}},
            {"same version", {history, same, false, "16.01.02", last}},
            {"older version", {history, "15.12.01\r\n", true, "15.12.01", last}},
            {"newer version", {history, "16.01.03\r\n", false, "16.01.03", last}},
            {"empty version file", {history, "", true, "00.00.00", last}},
            {"history file is a folder", {"/", same, true, "00.00.00", ""}},
            {"empty history file", {"", same, false, "16.01.02", ""}},
            {"a folder deep down",
             {QByteArray(65000, 'x') + "\r\n", same, false, "16.01.02", QString(65000, 'x') + '/'}},
            {"a history file longer than its line is read", // more than the 64 KB looked at
             {"/srv/a\r\n" + QByteArray(70000, 'y'), same, false, "16.01.02", "/srv/a/"}},
        });
    }
    void samplesAndHistory()
    {
        QFETCH(StartUp, row);
        const auto [history, version, copies, stored, last] = row;
        TestEnvironment env;
        // A desktop data folder, empty on a first run, where it counts as none.
        env.platform.environment = {{"XDG_DATA_HOME", history == "-" ? QString() : env.path("xdg")}};
        const QString user = env.path(history == "-" ? "home/.local/share/Tessik/" : "xdg/Tessik/");
        for (const char *name : {"Alpha.rca.xml", "Beta.RCA.XML", "notes.txt"})
            writeBytes(env.path("program/") + name, name);
        QVERIFY(history == "-" ||
                (history == "/" ? QDir().mkpath(user + "Tessik.hst") : writeBytes(user + "Tessik.hst", history)));
        QVERIFY(version == "-" || writeBytes(user + "Tessik.ver", version));
        const bool own = QDir(user).exists() && writeBytes(user + "Alpha.rca.xml", "the user's own");
        const UserFiles files = prepareUserFiles(env.platform);
        QCOMPARE(files.StoredVersion, stored);
        QCOMPARE(files.LastFolder, last.isEmpty() ? user : last);
        QCOMPARE(files.copiedSamples, copies ? QStringList({"Alpha.rca.xml", "Beta.RCA.XML"}).mid(own) : QStringList());
        QCOMPARE(readBytes(user + "Alpha.rca.xml"), own ? "the user's own" : copies ? "Alpha.rca.xml" : "");
        QVERIFY2(!QFile::exists(user + "notes.txt"), "a file that is no analysis was copied");
    }

    // A run of the real program edits Pump.rca.xml (or a new analysis), does the row's gesture and
    // is killed with SIGKILL, so that no handler of the program runs; the next start answers the
    // question about its copy of unsaved work. Yes brings the edit back, unsaved, under the file
    // it belonged to, kept again as the new run's copy; No leaves no copy; a damaged copy is
    // mended as any file, saying where it is. Save, a discarding New and a normal end leave no
    // copy to offer, and a second program running meanwhile neither offers nor removes it.
    void killedAndStartedAgain_data() { addRowsFrom("killed_runs.tsv"); }
    void killedAndStartedAgain()
    {
        QFETCH(QStringList, row);
        const bool loaded = row[0] == "file";
        const QStringList gesture = row[1].split(';', Qt::SkipEmptyParts);
        const QByteArray cutAt = row[2].toUtf8();
        const QString answer = row[3];
        const int questions = row[4].toInt();
        TestEnvironment env;
        const QString user = env.userFolder(), pump = env.path("work/Pump.rca.xml");
        const auto holdsTheEdit = [&] {
            return copiesIn(user).size() == 1 && readBytes(copiesIn(user)[0]).contains("Worn");
        };
        QVERIFY(writeBytes(pump, writeAnalysis(analysisWith(3))));
        auto first = std::make_unique<Driven>(env, QStringList{"serve", loaded ? pump : ""});
        first->shows("DONE\n");
        for (const auto &line : QStringList{"click 50 20", "type txtText Worn", "press btnImplement", "wait"} + gesture)
            if (line == "wait") // for the copy of the edit
                QTRY_VERIFY_WITH_TIMEOUT(holdsTheEdit(), 10000);
            else if (line == "second") // a second program, which answers Yes to any question and ends
                QVERIFY(Driven(env, {"quit"}).process.waitForFinished(60000));
            else
                first->run(line);
        QTRY_VERIFY(questions == 0 ? copiesIn(user).isEmpty() : holdsTheEdit());
        first.reset(); // killed with SIGKILL, if it has not ended
        const QString copy = copiesIn(user).value(0);
        if (!cutAt.isEmpty())
            QVERIFY(writeBytes(copy, readBytes(copy).left(readBytes(copy).indexOf(cutAt))));
        Driven next(env, {answer});
        const QString shown = next.shows();
        const bool restored = answer == "yes" && questions > 0;
        QVERIFY2(shown.startsWith(QString("QUESTIONS %1\n").arg(questions)) &&
                     shown.section('\n', 2, 3) ==
                         (restored ? "unsaved running\n" + (loaded ? pump : "") : QString("saved running\n")) &&
                     shown.contains("Worn") == (restored && questions == 1) && (questions < 2 || shown.contains(copy)),
                 qPrintable(shown));
        QTRY_VERIFY(answer == "no" ? copiesIn(user).isEmpty()
                                   : questions != 1 || (holdsTheEdit() && copiesIn(user)[0] != copy));
        // Of the locks, only the running program's is left: a killed run's is cleared at the start.
        QTRY_COMPARE(QDir(user + kRecoveryFolderName).entryList({"*.lock"}, QDir::Files).size(), 1);
    }

    // The command line draws a file's diagram as the window's export draws it, pixel for pixel:
    // one diagram unit is as many pixels in both.
    void commandLinePictureIsTheWindowsExport()
    {
        WindowDriver d;
        d.start();
        Analysis spread = analysisWith(3);
        spread.table.move(3, 300, 200); // a unit off would show far from the first block
        const QString file = d.load(spread);
        d.answerFile("work/Window.png");
        d.key(Qt::CTRL | Qt::Key_E);
        QProcess tessik;
        tessik.start(QCoreApplication::applicationDirPath() + "/tessik", {"--export", d.path("work/Line.png"), file});
        QVERIFY(tessik.waitForFinished(60000) && tessik.exitCode() == 0);
        const QImage window(d.path("work/Window.png")), line(d.path("work/Line.png"));
        QVERIFY2(!window.isNull() && window == line, "the two pictures differ");
    }

    // The real program: what it prints where, its exit status and what it leaves in the folder it
    // runs in, which holds in.rca.xml, damaged.rca.xml, far.rca.xml and kept.png and kept.odt
    // holding "old".
    void commandLine_data() { addRowsFrom("command_line.tsv"); }
    void commandLine()
    {
        QFETCH(QStringList, row);
        const QStringList arguments = row[0].split(' ');
        const int exitCode = row[1].toInt();
        const QString err = row[2], written = row.value(3), out = row.value(4, "^$");
        QTemporaryDir dir;
        Analysis far;
        far.table.addBlock(0, 0);
        far.table.addBlock(3e38f, 0); // as far as a file can place it: its picture covers a great area
        QVERIFY(writeBytes(dir.filePath("in.rca.xml"), writeAnalysis(analysisWith(2))) &&
                writeBytes(dir.filePath("far.rca.xml"), writeAnalysis(far)) &&
                writeBytes(dir.filePath("kept.png"), "old") && writeBytes(dir.filePath("kept.odt"), "old") &&
                QFile::copy(dataFile("cut_short.rca.xml"), dir.filePath("damaged.rca.xml"))); // read with two repairs
        // No display at all, and Qt's own folders inside the test's folder, so that stderr holds
        // only what the program says.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        const QTemporaryDir runtime; // made for its owner alone, as Qt wants it
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
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
        // Files are taken from the folder the program starts in: a later dialog moves it.
        QCOMPARE(parseCommandLine({"tessik", "--", "-a.rca.xml"}).file, QDir::currentPath() + "/-a.rca.xml");
    }

    // Two programs have Pump.rca.xml open and each adds a block; when the other one has saved a
    // change, Save in the first asks before it writes over it, and Enter, Esc and No keep the
    // file as the other one saved it while the first keeps its edit, unsaved.
    void saveOverAnotherProgramsSave_data() { addRowsFrom("rival_saves.tsv"); }
    void saveOverAnotherProgramsSave()
    {
        QFETCH(QStringList, row);
        const QStringList rival = row[0].split(';');
        const QString answer = row[1], title = row[3], holds = row[4];
        const int questions = row[2].toInt();
        TestEnvironment env;
        const QString pump = env.path("work/Pump.rca.xml");
        QVERIFY(writeBytes(pump, writeAnalysis(analysisWith(3))));
        Driven first(env, {"serve", pump}), second(env, {"serve", pump});
        QCOMPARE(first.shows("DONE\n").section('\n', 1, 1), QString("Tessik: Pump"));
        second.shows("DONE\n");
        for (const char *line : {"click 50 20", "type txtText From A", "enter txtText"})
            first.run(line);
        for (const QString &line : rival)
            second.run(line);
        const QByteArray before = readBytes(pump);
        const QStringList after = first.run("press btnSave " + answer);
        QCOMPARE(after.mid(0, 2), QStringList({"QUESTIONS " + QString::number(questions), title}));
        QVERIFY2(questions == 0 || after.filter("MESSAGE ").join('\n').contains(pump), qPrintable(after.join('\n')));
        const QByteArray file = readBytes(pump);
        // Kept byte for byte as the other one saved it, or written over with this one's block.
        QVERIFY2(holds == "From A" ? file.contains("From A") && !file.contains("From B") : file == before,
                 file.constData());
    }

    // On a screen of twice the density the snapshot is the picture of a screen of one pixel a
    // pixel, byte for byte: the same four colours, nothing smoothed. That picture is drawn when
    // the snapshot reads it, after a replay step or after an edit alike.
    void snapshotAtTwiceTheDensity_data()
    {
        QTest::addColumn<QStringList>("gestures");
        QTest::newRow("after a replay step") << QStringList{"press btnAnimate"}; // its looks are in the picture
        QTest::newRow("after an edit") << QStringList{"click 7 7", "type txtText Renamed", "press btnImplement"};
    }
    void snapshotAtTwiceTheDensity()
    {
        QFETCH(QStringList, gestures);
        Analysis a = analysisWith(3);
        a.table.link(2, 1);
        QList<QByteArray> snapshots;
        for (const QString scale : {"1", "2"}) {
            // Each run a user of its own: the first, killed after an edit, leaves a copy of its
            // unsaved work, which the second would offer to take back.
            TestEnvironment env;
            const QString pump = env.path("work/Pump.rca.xml");
            QVERIFY(writeBytes(pump, writeAnalysis(a)));
            Driven program(env, {"serve", pump}, scale);
            QVERIFY(program.shows("DONE\n").contains("RATIO " + scale + '\n'));
            for (const QString &gesture : gestures)
                program.run(gesture);
            program.run("press btnSnapShot");
            snapshots << readBytes(env.path("work/RCA_Snapshot.bmp"));
        }
        QVERIFY2(snapshots[0].size() > 100000 && snapshots[1] == snapshots[0], "the snapshots differ");
    }

    // On a screen of twice the density the category key is drawn at that density, not a
    // picture of one pixel a pixel enlarged.
    void categoryKeyIsSharpAtTwiceTheDensity()
    {
        TestEnvironment env;
        Driven program(env, {"serve"}, "2");
        QVERIFY(program.shows("DONE\n").contains("RATIO 2\n"));
        program.run("grab PicCategories " + env.path("key.png"));
        const QImage shown(env.path("key.png")), drawn = categoryKeyPicture(2);
        QVERIFY2(!shown.isNull(), "the key could not be grabbed");
        QVERIFY2(shown.width() > 300, qPrintable(QString("the key was grabbed %1 pixels wide").arg(shown.width())));
        // The key's picture lies in the frame's top left corner; white may lie beyond it.
        const QRect common = shown.rect() & drawn.rect();
        QVERIFY2(shown.copy(common).convertToFormat(QImage::Format_RGB32) ==
                     drawn.copy(common).convertToFormat(QImage::Format_RGB32),
                 qPrintable(QString("the key on the screen (%1 by %2) is not the key drawn at twice the density")
                                .arg(common.width())
                                .arg(common.height())));
    }
};

TESSIK_TEST(ProgramTest)
#include "program_test.moc"

// The real program, run twice at once on one file, and run on a screen of twice the density:
// each driven from inside as a user's mouse and keyboard would (see driven_tessik.cpp).
#include "files/analysis_writer.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QDir>
#include <QProcess>

using namespace tessik;
using namespace tessik::test;

namespace {

// A running program that does what it is told, line by line, and says what its window shows.
class Driven {
public:
    Driven(const TestEnvironment &env, const QString &file, const QString &folder, const QString &scale = "1")
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("AppData");
        environment.insert("HOME", env.path("home"));
        environment.insert("XDG_DATA_HOME", env.path("data"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QT_SCALE_FACTOR", scale);
        environment.insert("PATH", env.path("no-programs")); // the snapshot opens no viewer
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(folder);
        m_process.start(TESSIK_DRIVEN_PROGRAM, {"serve", file});
        shown = reply();
    }
    ~Driven()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    // What the window shows after the line: the questions asked, the title, the state, ...
    QStringList run(const QString &line)
    {
        m_process.write(line.toUtf8() + '\n');
        return shown = reply();
    }
    QStringList shown;

private:
    QStringList reply()
    {
        QByteArray output;
        while (!output.endsWith("DONE\n") && m_process.waitForReadyRead(30000))
            output += m_process.readAllStandardOutput();
        return QString::fromUtf8(output).split('\n');
    }
    QProcess m_process;
};

// What the other program does to the file, how the question is answered, the questions asked at
// the save, the title after it, and whose block the file then holds.
using Rival = std::tuple<QStringList, QString, int, QString, QString>;

} // namespace

class TwoProgramsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Two programs have Pump.rca.xml open and each adds a block; when the other one has saved a
    // change, Save in the first asks before it writes over it, and Enter, Esc and No keep the
    // file as the other one saved it while the first keeps its edit, unsaved.
    void saveOverAnotherProgramsSave_data()
    {
        const QStringList saves{"click 50 -15", "type txtText From B", "enter txtText", "press btnSave"};
        const QString unsaved = "Tessik: Pump *", saved = "Root Cause Anlysis: Pump";
        test::addRows<Rival>({
            {"the other saved a change, Enter", {saves, "enter", 1, unsaved, "From B"}},
            {"the other saved a change, Esc", {saves, "esc", 1, unsaved, "From B"}},
            {"the other saved a change, No", {saves, "no", 1, unsaved, "From B"}},
            {"the other saved a change, Yes", {saves, "yes", 1, saved, "From A"}},
            {"the other saved it unchanged", {{"press btnSave"}, "enter", 0, saved, "From A"}},
            {"the file was removed", {{"remove"}, "enter", 0, saved, "From A"}},
            {"the other did nothing", {{}, "enter", 0, saved, "From A"}},
        });
    }
    void saveOverAnotherProgramsSave()
    {
        QFETCH(Rival, row);
        const auto [rival, answer, questions, title, holds] = row;
        TestEnvironment env;
        const QString pump = env.path("work/Pump.rca.xml");
        QVERIFY(writeBytes(pump, writeAnalysis(analysisWith(3))));
        Driven first(env, pump, env.path("work")), second(env, pump, env.path("work"));
        QCOMPARE(first.shown.value(1), QString("Tessik: Pump"));
        for (const char *line : {"click 50 20", "type txtText From A", "enter txtText"})
            first.run(line);
        for (const QString &line : rival) {
            if (line == "remove")
                QVERIFY(QFile::remove(pump));
            else
                second.run(line);
        }
        const QByteArray before = readBytes(pump);
        const QStringList after = first.run("press btnSave " + answer);
        QCOMPARE(after.mid(0, 2), QStringList({"QUESTIONS " + QString::number(questions), title}));
        QVERIFY2(questions == 0 || after.filter("MESSAGE ").join('\n').contains(pump), qPrintable(after.join('\n')));
        const QByteArray file = readBytes(pump);
        QVERIFY2(file.contains(holds.toUtf8()) && !file.contains(holds == "From A" ? "From B" : "From A"),
                 file.constData());
        QVERIFY(holds == "From A" || file == before); // kept byte for byte
        // Once written, the file is this program's again: the next save asks nothing.
        QVERIFY(holds == "From B" || first.run("press btnSave").value(0) == "QUESTIONS 0");
    }

    // On a screen of twice the density the snapshot is the picture of a screen of one pixel a
    // pixel, byte for byte: the same four colours, nothing smoothed.
    void snapshotAtTwiceTheDensity()
    {
        TestEnvironment env;
        const QString pump = env.path("work/Pump.rca.xml");
        Analysis a = analysisWith(3);
        a.table.link(2, 1);
        QVERIFY(writeBytes(pump, writeAnalysis(a)));
        QList<QByteArray> snapshots;
        for (const QString scale : {"1", "2"}) {
            const QString folder = env.path("at" + scale);
            QVERIFY(QDir().mkpath(folder));
            Driven program(env, pump, folder, scale);
            QCOMPARE(program.shown.filter("RATIO"), QStringList("RATIO " + scale));
            program.run("click 20 5"); // block 2 opens: the editor's red outline is in the picture
            program.run("press btnSnapShot");
            snapshots << readBytes(folder + "/RCA_Snapshot.bmp");
        }
        QVERIFY(snapshots[0].size() > 100000);
        QVERIFY2(snapshots[1] == snapshots[0], "the snapshots differ");
    }
};

TESSIK_TEST(TwoProgramsTest)
#include "two_programs_test.moc"

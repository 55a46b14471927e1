#include "app/core/command_line.h"
#include "files/analysis_writer.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

const QString kUsage = "Usage: tessik \\[options\\] \\[FILE\\]";

QByteArray analysisBytes()
{
    Analysis analysis;
    analysis.description = "Pump failure";
    analysis.office = "Plant North";
    analysis.table.addBlock(5, 5);
    analysis.table.BlockText[1] = "Seal worn";
    analysis.table.addBlock(25, 5);
    analysis.table.BlockParent[2] = 1;
    return writeAnalysis(analysis);
}

// A parent that names no block and a position that is no number: read with two repairs.
const QByteArray kDamaged = "<analysis><description>D</description><block><active>-1 </active><parent> 9 </parent>"
                            "<x>oops</x><y> 2 </y><text>T</text></block></analysis>";

// One block far out on the plane: its picture covers a great area.
QByteArray farAnalysisBytes()
{
    Analysis analysis;
    analysis.table.addBlock(0, 0);
    analysis.table.addBlock(60000, 0);
    return writeAnalysis(analysis);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// What the window shows of the document after opening, with the test's folder written as {root}.
QStringList documentOf(WindowFixture &f, frmKelvane &w)
{
    const QString root = f.root.path();
    QStringList seen{w.windowTitle(),
                     QString::number(w.document().isModified()),
                     w.document().currentFile(),
                     w.document().lastFolder(),
                     w.txtDescription->text(),
                     w.txtOffice->text(),
                     QString::number(w.table().BlockCount)};
    seen << f.platform.messages;
    return seen.replaceInStrings(root, "{root}");
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY2(QFileInfo::exists(program()), qPrintable("no program at " + program())); }

    // Files are taken from the folder the program starts in: a later dialog moves the current
    // folder, and Save must still find the file.
    void filesAreTakenFromTheStartingFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("exportTo");
        const QString here = QDir::currentPath() + "/";
        QTest::newRow("a file") << QStringList{"a.rca.xml"} << here + "a.rca.xml"
                                << "";
        QTest::newRow("a file after --") << QStringList{"--", "-a.rca.xml"} << here + "-a.rca.xml"
                                         << "";
        QTest::newRow("export") << QStringList{"i.rca.xml", "--export", "/t/o.png"} << here + "i.rca.xml"
                                << "/t/o.png";
    }
    void filesAreTakenFromTheStartingFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(QString, exportTo);
        const CommandLine command = parseCommandLine(QStringList{"tessik"} + arguments);
        QCOMPARE(command.file, file);
        QCOMPARE(command.exportTo, exportTo);
        QCOMPARE(int(command.action), int(exportTo.isEmpty() ? CommandAction::OpenWindow : CommandAction::Export));
    }

    // The real program: what it prints where, its exit status and what it leaves in the folder it
    // runs in, which holds in.rca.xml, damaged.rca.xml, far.rca.xml and a file kept.png holding "old".
    void programAnswers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("written"); // the file that is new afterwards, or empty
        auto row = [](const char *name, const QStringList &arguments, int exitCode, const QString &out,
                      const QString &err, const QString &written = QString()) {
            QTest::newRow(name) << arguments << exitCode << out << err << written;
        };
        const QString none = "^$";
        row("--version", {"--version"}, 0, "^Tessik 16\\.01\\.02\\n$", none);
        row("--help", {"--help"}, 0, "^" + kUsage + "\\n.*--export <OUT>.*--scale <N>", none);
        row("unknown option", {"--bogus", "in.rca.xml"}, 2, none, "^tessik: Unknown option 'bogus'\\.\\n\\n" + kUsage);
        row("two files", {"in.rca.xml", "far.rca.xml"}, 2, none, "Only one analysis at a time.*" + kUsage);
        row("PDF", {"--export", "out.pdf", "in.rca.xml"}, 0, none, none, "out.pdf");
        row("SVG", {"--export", "out.svg", "in.rca.xml"}, 0, none, none, "out.svg");
        row("PNG at scale 3", {"--export=out.png", "--scale", "3", "in.rca.xml"}, 0, none, none, "out.png");
        row("capital ending", {"--export", "OUT.PDF", "in.rca.xml"}, 0, none, none, "OUT.PDF");
        row("replaces a picture", {"--export", "kept.png", "in.rca.xml"}, 0, none, none, "kept.png");
        row("damaged IN", {"--export", "out.svg", "damaged.rca.xml"}, 0, none,
            "^tessik: [^\\n]*damaged.rca.xml: repaired while reading: [^\\n]*\\n"
            "tessik: [^\\n]*damaged.rca.xml: repaired while reading: [^\\n]*\\n$",
            "out.svg");
        row("no IN", {"--export", "out.pdf"}, 2, none, "--export needs the analysis to draw.*" + kUsage);
        row("unknown ending", {"--export", "out.jpg", "in.rca.xml"}, 2, none,
            "out\\.jpg: the picture's name must end in \\.pdf, \\.svg or \\.png\\.");
        row("scale 0", {"--export", "out.png", "--scale", "0", "in.rca.xml"}, 2, none,
            "--scale 0: give a number above 0 and at most 16\\.");
        row("scale not a number", {"--export", "out.png", "--scale", "two", "in.rca.xml"}, 2, none, "--scale two:");
        row("scale too large", {"--export", "out.png", "--scale", "17", "in.rca.xml"}, 2, none, "--scale 17:");
        row("scale for a PDF", {"--export", "out.pdf", "--scale", "2", "in.rca.xml"}, 2, none,
            "--scale is for \\.png pictures only");
        row("scale without export", {"--scale", "2", "in.rca.xml"}, 2, none, "--scale goes with --export");
        row("missing IN", {"--export", "out.pdf", "missing.rca.xml"}, 1, none,
            "^tessik: the analysis [^\\n]*/missing\\.rca\\.xml could not be read: No such file or directory\\n$");
        row("IN is a folder", {"--export", "out.pdf", "."}, 1, none, "could not be read: This is a folder");
        row("OUT in a missing folder", {"--export", "nowhere/out.pdf", "in.rca.xml"}, 1, none,
            "^tessik: the picture [^\\n]*/nowhere/out\\.pdf could not be written: The folder does not exist\\.\\n$");
        row("OUT under a file", {"--export", "in.rca.xml/out.svg", "in.rca.xml"}, 1, none,
            "could not be written: Part of the path is a file");
        row("too large at this scale", {"--export", "kept.png", "--scale", "4", "far.rca.xml"}, 1, none,
            "kept\\.png could not be written: At this scale the picture would be \\d+ by \\d+ pixels");
        row("failure keeps the old picture", {"--export", "kept.png", "missing.rca.xml"}, 1, none, "could not be read");
    }
    void programAnswers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("in.rca.xml"), analysisBytes()));
        QVERIFY(writeBytes(dir.filePath("damaged.rca.xml"), kDamaged));
        QVERIFY(writeBytes(dir.filePath("far.rca.xml"), farAnalysisBytes()));
        QVERIFY(writeBytes(dir.filePath("kept.png"), "old"));
        const QStringList before = filesIn(dir.path());

        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setProcessEnvironment(quietEnvironment(dir.path()));
        process.start(program(), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
        const QRegularExpression::PatternOption dot = QRegularExpression::DotMatchesEverythingOption;
        QVERIFY2(QRegularExpression(out, dot).match(stdOut).hasMatch(), qPrintable("stdout: " + stdOut));
        QVERIFY2(QRegularExpression(err, dot).match(stdErr).hasMatch(), qPrintable("stderr: " + stdErr));
        QCOMPARE(process.exitCode(), exitCode);

        // Nothing but the picture is left behind; a failure leaves the old picture as it was.
        QStringList expected = before;
        if (!written.isEmpty() && !expected.contains(written)) {
            expected << written;
            expected.sort();
        }
        QCOMPARE(filesIn(dir.path()), expected);
        const QByteArray kept = readBytes(dir.filePath("kept.png"));
        QCOMPARE(kept == "old", written != "kept.png");
        if (!written.isEmpty()) {
            const QByteArray bytes = readBytes(dir.filePath(written));
            const QString ending = QFileInfo(written).suffix().toLower();
            const QByteArray magic = ending == "pdf" ? "%PDF-" : ending == "svg" ? "<?xml" : "\x89PNG";
            QVERIFY(bytes.startsWith(magic));
        }
    }

    // A file on the command line opens as the Load command opens the file its dialog names.
    void fileOpensAsLoadOpensIt_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<bool>("opens");
        QTest::newRow("sound file") << analysisBytes() << true;
        QTest::newRow("damaged file") << kDamaged << true;
        QTest::newRow("not an analysis") << QByteArray("plain text") << false;
        QTest::newRow("missing file") << QByteArray() << false;
    }
    void fileOpensAsLoadOpensIt()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, opens);
        WindowFixture byCommandLine, byLoad;
        QStringList seen;
        for (WindowFixture *f : {&byCommandLine, &byLoad}) {
            const QString path = f->path("work/Pump.rca.xml");
            if (!content.isEmpty())
                QVERIFY(writeBytes(path, content));
            frmKelvane &w = f->start();
            if (f == &byCommandLine) {
                w.loadFile(path);
            } else {
                f->platform.fileAnswers.enqueue(path);
                w.btnLoadXML->click();
            }
            seen << documentOf(*f, w).join('|');
        }
        QCOMPARE(seen[0], seen[1]);
        const QStringList document = seen[0].split('|');
        QCOMPARE(document[0], opens ? QString("Tessik: Pump") : QString("Tessik"));
        if (!opens) {
            // The empty start-up analysis stays, and the message names the file.
            QCOMPARE(document.mid(1, 6), QStringList({"0", "", "{root}/appdata/Tessik/", "", "", "0"}));
            QVERIFY(document.last().contains("{root}/work/Pump.rca.xml"));
        }
    }

private:
    static QString program() { return QDir(QCoreApplication::applicationDirPath()).filePath("tessik"); }

    // No display at all, and Qt's own folders inside the test's folder, so that stderr holds
    // only what the program says.
    static QProcessEnvironment quietEnvironment(const QString &folder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        QDir(folder).mkpath(".run");
        QFile::setPermissions(folder + "/.run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("XDG_RUNTIME_DIR", folder + "/.run");
        return environment;
    }
};

QTEST_MAIN(TestCommandLine)
#include "test_command_line.moc"

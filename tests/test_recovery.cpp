// Crash recovery: a copy of unsaved work is kept while the program runs, offered after a run
// that did not end normally, and removed when it is no longer needed. The first tests end a run
// by destroying its window without the normal end; the last two kill the real program.
#include "app/core/recovery_copies.h"
#include "files/analysis_reader.h"
#include "support/document_state.h"
#include "support/gui_driver.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using namespace tessik;
using namespace tessik::test;

namespace {

Analysis pumpAnalysis()
{
    Analysis a;
    a.description = "Pump failure";
    a.email = "op";
    a.office = "North";
    a.table.addBlock(5, -10);
    a.table.addBlock(25, -10);
    a.table.BlockText[1] = "Pump stopped";
    a.table.BlockParent[2] = 1;
    return a;
}

// The copies of unsaved work in a per-user folder.
QStringList copiesIn(const QString &userFolder)
{
    QDir folder(userFolder + kRecoveryFolderName);
    QStringList copies;
    for (const QString &name : folder.entryList({"*.analysis"}, QDir::Files))
        copies << folder.filePath(name);
    return copies;
}

QStringList captionsOf(const BlockTable &table)
{
    QStringList captions;
    for (int id = 1; id <= table.BlockCount; ++id)
        if (table.isLive(id))
            captions << table.BlockText[id];
    return captions;
}

bool copyHolds(const QString &userFolder, const QString &text)
{
    const QStringList copies = copiesIn(userFolder);
    return copies.size() == 1 && QString::fromUtf8(readBytes(copies[0])).contains(text);
}

// Edits the open analysis as a user would and waits for the copy to be kept.
void editAndWaitForTheCopy(WindowFixture &f, const QString &caption)
{
    frmKelvane &w = *f.window;
    clickDiagram(w, Qt::LeftButton, 45, 10);
    w.txtText->insertPlainText(caption);
    pressEnter(w.txtText);
    dragDiagram(w, Qt::RightButton, 25, -5, 25, 12);
    QTRY_VERIFY(copyHolds(f.userFolder(), caption));
}

// The run ends without its normal end (no Quit, nothing written at shut-down); then the next
// run starts and offers what is left.
frmKelvane &runEndsAndTheNextStarts(WindowFixture &f, MessageAnswer answer)
{
    f.window.reset();
    f.platform.messages.clear();
    f.platform.messageAnswers.enqueue(answer);
    frmKelvane &w = f.start();
    w.offerRecovery();
    return w;
}

using Gesture = std::function<void(frmKelvane &, FakePlatform &)>;

} // namespace

Q_DECLARE_METATYPE(Gesture)

class TestRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void restoredUnderTheFileItHad_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::newRow("an analysis loaded from a file") << true;
        QTest::newRow("an analysis never saved") << false;
    }
    void restoredUnderTheFileItHad()
    {
        QFETCH(bool, saved);
        WindowFixture f;
        f.start();
        const QString pump = saved ? openAnalysis(f, pumpAnalysis(), "Pump.rca.xml") : QString();
        const QByteArray onDisk = saved ? readBytes(pump) : QByteArray();
        editAndWaitForTheCopy(f, "Seal worn");
        const DocumentState edited = stateOf(*f.window);

        frmKelvane &w = runEndsAndTheNextStarts(f, MessageAnswer::Yes);
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].contains(saved ? pump : QString("never saved")));
        QCOMPARE(stateOf(w), edited); // the edits, unsaved, under the same file and title
        QCOMPARE(w.windowTitle(), saved ? QString("Tessik: Pump *") : QString("Tessik:  *"));
        if (saved)
            QCOMPARE(readBytes(pump), onDisk);

        // Save writes back where the analysis came from; one never saved asks for a name.
        typeText(w.txtDescription, "D");
        typeText(w.txtOffice, "O");
        const QString target = f.path("work/Named.rca.xml");
        f.platform.fileAnswers.enqueue(target);
        w.btnSave->click();
        const auto saveDialogs =
            std::count_if(f.platform.fileRequests.cbegin(), f.platform.fileRequests.cend(),
                          [](const FileDialogRequest &r) { return r.mode == FileDialogMode::Save; });
        QCOMPARE(saveDialogs, saved ? 0 : 1);
        QVERIFY(captionsOf(readAnalysisFile(saved ? pump : target).analysis.table).contains("Seal worn"));
        QVERIFY(!w.document().isModified());
        QTRY_VERIFY(copiesIn(f.userFolder()).isEmpty());
    }

    void answeredNoTheCopyGoes()
    {
        WindowFixture f;
        f.start();
        openAnalysis(f, pumpAnalysis(), "Pump.rca.xml");
        editAndWaitForTheCopy(f, "Seal worn");
        frmKelvane &w = runEndsAndTheNextStarts(f, MessageAnswer::No);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(stateOf(w).title, QString("Tessik"));
        QVERIFY(!w.document().isModified());
        QTRY_VERIFY(copiesIn(f.userFolder()).isEmpty());
        runEndsAndTheNextStarts(f, MessageAnswer::Yes);
        QVERIFY(f.platform.messages.isEmpty()); // asked once, never again
    }

    // The copy keeps what the analysis file's code page cannot, and a damaged copy is read with
    // the same repairs and message as any file.
    void whatTheCopyHolds_data()
    {
        QTest::addColumn<QByteArray>("cutAt"); // empty: the copy as written
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<int>("messages");
        const QString wide = QString::fromUtf8("Łódź ≥ 3 bar 泵 😀");
        QTest::newRow("characters the code page cannot hold")
            << QByteArray() << QStringList{"Pump stopped", "", wide} << 1;
        QTest::newRow("cut short inside the new block")
            << QByteArray("<text>Ł") << QStringList{"Pump stopped", ""} << 2;
        QTest::newRow("not an analysis at all") << QByteArray("<?xml") << QStringList{} << 2;
    }
    void whatTheCopyHolds()
    {
        QFETCH(QByteArray, cutAt);
        QFETCH(QStringList, captions);
        QFETCH(int, messages);
        WindowFixture f;
        f.start();
        openAnalysis(f, pumpAnalysis(), "Pump.rca.xml");
        editAndWaitForTheCopy(f, QString::fromUtf8("Łódź ≥ 3 bar 泵 😀"));
        const QString copy = copiesIn(f.userFolder()).value(0);
        if (!cutAt.isEmpty())
            writeBytes(copy, readBytes(copy).left(readBytes(copy).indexOf(cutAt)));
        frmKelvane &w = runEndsAndTheNextStarts(f, MessageAnswer::Yes);
        QCOMPARE(f.platform.messages.size(), messages);
        if (messages > 1)
            QVERIFY(f.platform.messages.last().contains(copy));
        QCOMPARE(captionsOf(w.table()), captions);
        QCOMPARE(w.document().isModified(), !captions.isEmpty());
    }

    // A second program running at the same time neither offers nor removes the first one's copy.
    void twoProgramsAtOnceKeepTheirOwnCopies()
    {
        WindowFixture f;
        f.start();
        openAnalysis(f, pumpAnalysis(), "Pump.rca.xml");
        editAndWaitForTheCopy(f, "Seal worn");
        auto second = std::make_unique<frmKelvane>(f.platform);
        second->offerRecovery();
        second->btnQuit->click();
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(copyHolds(f.userFolder(), "Seal worn"));
    }

    void theCopyGoesWhenItIsNoLongerNeeded_data()
    {
        QTest::addColumn<Gesture>("gesture");
        QTest::newRow("Save") << Gesture([](frmKelvane &w, FakePlatform &) { w.btnSave->click(); });
        QTest::newRow("a discarding New") << Gesture([](frmKelvane &w, FakePlatform &p) {
            p.messageAnswers.enqueue(MessageAnswer::Yes);
            w.btnNew->click();
        });
        QTest::newRow("a discarding Load") << Gesture([](frmKelvane &w, FakePlatform &p) {
            p.messageAnswers.enqueue(MessageAnswer::Yes);
            p.fileAnswers.enqueue(w.document().currentFile());
            w.btnLoadXML->click();
        });
        QTest::newRow("a normal end") << Gesture([](frmKelvane &w, FakePlatform &p) {
            p.messageAnswers.enqueue(MessageAnswer::Yes);
            w.btnQuit->click();
        });
        QTest::newRow("undone back to the file") << Gesture([](frmKelvane &w, FakePlatform &) {
            while (w.document().canUndo())
                w.undoEdit();
        });
    }
    void theCopyGoesWhenItIsNoLongerNeeded()
    {
        QFETCH(Gesture, gesture);
        WindowFixture f;
        f.start();
        openAnalysis(f, pumpAnalysis(), "Pump.rca.xml");
        editAndWaitForTheCopy(f, "Seal worn");
        gesture(*f.window, f.platform);
        QTRY_VERIFY(copiesIn(f.userFolder()).isEmpty());
        runEndsAndTheNextStarts(f, MessageAnswer::Yes);
        QVERIFY(f.platform.messages.isEmpty());
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
        QTemporaryDir root;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("AppData");
        environment.insert("HOME", root.filePath("home"));
        environment.insert("XDG_DATA_HOME", root.filePath("data"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        const QString userFolder = root.filePath("data/Tessik/");
        auto run = [&](const QString &mode, const QByteArray &until) {
            auto program = std::make_unique<QProcess>();
            program->setProcessEnvironment(environment);
            program->start(TESSIK_DRIVEN_PROGRAM, {mode});
            QByteArray output;
            while (!output.contains(until) && program->waitForReadyRead(20000))
                output += program->readAllStandardOutput();
            return std::make_pair(std::move(program), QString::fromUtf8(output));
        };

        auto [first, edited] = run("edit", "EDITED");
        QVERIFY2(edited.contains("EDITED"), qPrintable(edited));
        QTRY_VERIFY_WITH_TIMEOUT(copyHolds(userFolder, "Survives a kill"), 10000);
        const QString firstCopy = copiesIn(userFolder).value(0);
        first->kill(); // SIGKILL: no handler of the program runs
        QVERIFY(first->waitForFinished());
        QCOMPARE(first->exitStatus(), QProcess::CrashExit);

        auto [second, shown] = run(answer, "STARTED");
        QVERIFY2(shown.contains("QUESTIONS 1\n"), qPrintable(shown));
        if (answer == "yes") {
            QVERIFY2(shown.contains("BLOCK Survives a kill\n"), qPrintable(shown));
            QVERIFY(shown.contains("DESCRIPTION Crash test\n"));
            QVERIFY(shown.contains("TITLE Tessik:  *\n"));
            // The restored work is kept again, now as the copy of the run that restored it.
            QTRY_VERIFY(copiesIn(userFolder).size() == 1 && copiesIn(userFolder)[0] != firstCopy &&
                        copyHolds(userFolder, "Survives a kill"));
        } else {
            QVERIFY2(!shown.contains("BLOCK"), qPrintable(shown));
            QVERIFY(shown.contains("TITLE Tessik\n"));
            QTRY_VERIFY(copiesIn(userFolder).isEmpty());
        }
        second->kill();
        QVERIFY(second->waitForFinished());
        QCOMPARE(copiesIn(userFolder).size(), answer == "yes" ? 1 : 0);
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"

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

using namespace tessik;
using namespace tessik::test;

namespace {

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
    // Yes brings the edits back, unsaved, under the file they belonged to; the copy keeps what
    // the file's code page cannot; a damaged copy gets the repairs and message any file gets.
    void restore_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("cutAt"); // where the copy is cut before the next start
        QTest::addColumn<int>("messages");
        const QString wide = QString::fromUtf8("Łódź ≥ 3 bar 泵 😀");
        QTest::newRow("an analysis loaded from a file") << true << "Seal worn" << QByteArray() << 1;
        QTest::newRow("an analysis never saved") << false << "Seal worn" << QByteArray() << 1;
        QTest::newRow("characters the code page cannot hold") << true << wide << QByteArray() << 1;
        QTest::newRow("a copy cut short") << true << wide << QByteArray("<text>\xC5\x81") << 2;
        QTest::newRow("a copy that is no analysis") << true << wide << QByteArray("<?xml") << 2;
    }
    void restore()
    {
        QFETCH(bool, loaded);
        QFETCH(QString, caption);
        QFETCH(QByteArray, cutAt);
        QFETCH(int, messages);
        WindowFixture f;
        f.start();
        const QString pump = loaded ? openAnalysis(f, pumpAnalysis(), "Pump.rca.xml") : QString();
        editAndWaitForTheCopy(f, caption);
        const DocumentState edited = stateOf(*f.window);
        const QString copy = copiesIn(f.userFolder()).value(0);
        if (!cutAt.isEmpty())
            writeBytes(copy, readBytes(copy).left(readBytes(copy).indexOf(cutAt)));

        frmKelvane &w = runEndsAndTheNextStarts(f, MessageAnswer::Yes);
        QCOMPARE(f.platform.messages.size(), messages);
        QVERIFY(f.platform.messages[0].contains(loaded ? pump : QString("never saved")));
        if (messages > 1) {
            QVERIFY(f.platform.messages.last().contains(copy));
            QVERIFY(!captionsOf(w.table()).contains(caption));
            return;
        }
        QCOMPARE(stateOf(w), edited); // the same title, file and unsaved state
        QVERIFY(captionsOf(w.table()).contains(caption));
        if (caption != "Seal worn")
            return;
        // Save writes back where the analysis came from; one never saved asks for a name.
        typeText(w.txtDescription, "D");
        typeText(w.txtOffice, "O");
        const QString target = f.path("work/Named.rca.xml");
        f.platform.fileAnswers.enqueue(target);
        w.btnSave->click();
        QCOMPARE(f.platform.fileRequests.last().mode, loaded ? FileDialogMode::Open : FileDialogMode::Save);
        QVERIFY(captionsOf(readAnalysisFile(loaded ? pump : target).analysis.table).contains(caption));
        QTRY_VERIFY(copiesIn(f.userFolder()).isEmpty());
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

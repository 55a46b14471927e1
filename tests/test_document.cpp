#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

const QString kUnsavedQuestion = "You have unsaved edits.\r\n\r\nDo you want to continue?";

// An analysis file written by the program, placed in the test's folder.
QString putAnalysis(const WindowFixture &f, const QString &name, const QString &description = "Pump failure",
                    int blocks = 2)
{
    Analysis analysis;
    analysis.description = description;
    analysis.email = "op";
    analysis.office = "Plant North";
    for (int i = 0; i < blocks; ++i)
        analysis.table.addBlock(float(i * 15 + 5), 5);
    const QString path = f.path("work/" + name);
    writeBytes(path, writeAnalysis(analysis));
    return path;
}

struct DocumentState {
    QString title;
    bool unsaved;
    QString currentFile;
    QString lastFolder;
    int blockCount;
    QString description;
    static DocumentState of(frmKelvane &w)
    {
        return {w.windowTitle(), w.Unsaved, w.CurrentFile, w.LastFolder, w.table().BlockCount, w.txtDescription->text()};
    }
    bool operator==(const DocumentState &) const = default;
};

void fillHeader(frmKelvane &w, const QString &description, const QString &email, const QString &office)
{
    w.txtDescription->setText(description);
    w.txtemail->setText(email);
    w.txtOffice->setText(office);
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titleFollowsTheDocument_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("unsaved");
        QTest::newRow("start-up") << 0 << "Tessik" << false;
        QTest::newRow("New") << 1 << "Tessik" << false;
        QTest::newRow("header edit") << 2 << "Tessik *" << true;
        QTest::newRow("diagram edit") << 3 << "Tessik:  *" << true;
        QTest::newRow("Save") << 4 << "Root Cause Anlysis: A" << false;
        QTest::newRow("header edit after the save") << 5 << "Root Cause Anlysis: A *" << true;
        QTest::newRow("header edit again: one marker") << 6 << "Root Cause Anlysis: A *" << true;
        QTest::newRow("diagram edit replaces the title") << 7 << "Tessik: A *" << true;
        QTest::newRow("Load") << 8 << "Tessik: B" << false;
    }
    void titleFollowsTheDocument()
    {
        QFETCH(int, steps);
        QFETCH(QString, title);
        QFETCH(bool, unsaved);
        WindowFixture f;
        const QString other = putAnalysis(f, "B.rca.xml");
        frmKelvane &w = f.start();
        const QList<std::function<void()>> sequence = {
            [&] { w.btnNew->click(); w.btnCancel->click(); },
            [&] { typeText(w.txtDescription, "Overflow"); },
            [&] { clickDiagram(w, Qt::LeftButton, 5, 5); pressEnter(w.txtText); },
            [&] {
                typeText(w.txtOffice, "North");
                f.platform.fileAnswers.enqueue(f.path("work/A.rca.xml"));
                w.btnSave->click();
            },
            [&] { typeText(w.txtemail, "o"); },
            [&] { typeText(w.txtemail, "p"); },
            [&] { clickDiagram(w, Qt::LeftButton, 5, 5); pressEnter(w.txtText); },
            [&] {
                f.platform.messageAnswers.enqueue(MessageAnswer::Yes);
                f.platform.fileAnswers.enqueue(other);
                w.btnLoadXML->click();
            },
        };
        for (int i = 0; i < steps; ++i)
            sequence[i]();
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(w.Unsaved, unsaved);
    }

    void newAnsweredNoChangesNothing()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        clickDiagram(w, Qt::LeftButton, 30, 0);
        typeText(w.txtText, "Kept");
        pressEnter(w.txtText);
        typeText(w.txtDescription, "Kept description");
        const DocumentState before = DocumentState::of(w);
        f.platform.messageAnswers.enqueue(MessageAnswer::No);
        w.btnNew->click();
        QCOMPARE(f.platform.messages, QStringList{kUnsavedQuestion});
        QCOMPARE(f.platform.messageButtons, QList<MessageButtons>{MessageButtons::YesNo});
        QVERIFY(DocumentState::of(w) == before);
        QCOMPARE(w.table().BlockText[1], QString("Kept"));
    }

    void newStartsACleanAnalysisWithOneBlock()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        for (int i = 0; i < 3; ++i) {
            clickDiagram(w, Qt::LeftButton, float(i * 15), 0);
            pressEnter(w.txtText);
        }
        fillHeader(w, "Old", "me", "Office");
        f.platform.messageAnswers.enqueue(MessageAnswer::Yes);
        w.btnNew->click();
        QCOMPARE(w.windowTitle(), QString("Tessik"));
        QVERIFY(!w.Unsaved);
        QVERIFY(w.CurrentFile.isEmpty());
        QVERIFY(w.txtDescription->text().isEmpty() && w.txtemail->text().isEmpty() && w.txtOffice->text().isEmpty());
        QCOMPARE(w.table().BlockCount, std::int16_t(1));
        QCOMPARE(w.table().BlockX[1], 0.0f);
        QCOMPARE(w.table().BlockY[1], 0.0f);
        QCOMPARE(w.EditedBlock, 1);
        QVERIFY(!w.frameEdit->isHidden());
        w.btnQuit->click(); // nothing unsaved: no question
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.endProgramCalls, 1);
    }

    void loadReplacesTheAnalysis()
    {
        WindowFixture f;
        const QString path = putAnalysis(f, "Conveyor_op.rca.xml", "Conveyor stopped twice", 3);
        frmKelvane &w = f.start();
        f.platform.fileAnswers.enqueue(path);
        w.btnLoadXML->click();
        QCOMPARE(f.platform.fileRequests.size(), 1);
        const FileDialogRequest &request = f.platform.fileRequests[0];
        QCOMPARE(request.mode, FileDialogMode::Open);
        QCOMPARE(request.filter, QString("Root Cause Analysis (*.rca.xml)|*.rca.xml"));
        QCOMPARE(request.title, QString(" Select a Root Cause Analysis"));
        QCOMPARE(request.initialFolder, f.userFolder());
        QVERIFY(f.platform.messages.isEmpty()); // nothing unsaved, a sound file
        QCOMPARE(w.table().BlockCount, std::int16_t(3));
        QCOMPARE(w.txtDescription->text(), QString("Conveyor stopped twice"));
        QCOMPARE(w.CurrentFile, path);
        QVERIFY(!w.Unsaved);
        QCOMPARE(w.windowTitle(), QString("Tessik: Conveyor_op"));
        QCOMPARE(w.LastFolder, f.path("work") + QDir::separator());
        QCOMPARE(f.platform.current, f.path("work") + QDir::separator());
        QCOMPARE(diagramColour(w, 0, 5), kBlack); // drawn
    }

    void loadThatFailsChangesNothing_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::newRow("vanished file") << "work/gone.rca.xml";
        QTest::newRow("a folder") << "work/folder.rca.xml";
    }
    void loadThatFailsChangesNothing()
    {
        QFETCH(QString, chosen);
        WindowFixture f;
        QDir().mkpath(f.path("work/folder.rca.xml"));
        const QString good = putAnalysis(f, "Good.rca.xml");
        frmKelvane &w = f.start();
        f.platform.fileAnswers.enqueue(good);
        w.btnLoadXML->click();
        clickDiagram(w, Qt::LeftButton, 50, 10);
        pressEnter(w.txtText);
        const DocumentState before = DocumentState::of(w);
        const BlockTable table = w.table();
        f.platform.messageAnswers.enqueue(MessageAnswer::Yes);
        f.platform.fileAnswers.enqueue(f.path(chosen));
        w.btnLoadXML->click();
        QCOMPARE(f.platform.messages.size(), 2);
        QVERIFY(f.platform.messages[1].contains(f.path(chosen)));
        QVERIFY(DocumentState::of(w) == before);
        QCOMPARE(w.table().BlockX, table.BlockX);
        QCOMPARE(w.table().BlockCount, table.BlockCount);
    }

    void damagedFileOpensWithOneMessage()
    {
        WindowFixture f;
        const QString path = f.path("work/Damaged.rca.xml");
        writeBytes(path, "<analysis><description>D</description><block><active>-1 </active><parent> 9 </parent>"
                         "<x>oops</x><y> 2 </y><text>T</text></block></analysis>");
        frmKelvane &w = f.start();
        f.platform.fileAnswers.enqueue(path);
        w.btnLoadXML->click();
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].contains(path));
        QCOMPARE(w.table().BlockCount, std::int16_t(1));
        QCOMPARE(w.table().BlockParent[1], std::int16_t(0));
        QCOMPARE(w.table().BlockX[1], 0.0f);
        QCOMPARE(w.windowTitle(), QString("Tessik: Damaged"));
        QCOMPARE(readBytes(path).left(10), QByteArray("<analysis>")); // opening wrote nothing
    }

    void validationRefusesToSave_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("office");
        QTest::addColumn<QString>("message");
        const QString head = "The Root Cause Analysis was not saved.\r\n\r\n";
        QTest::newRow("Save, no description") << false << "" << "" << head + "You need an Event Description";
        QTest::newRow("Save, no office") << false << "D" << "" << head + "You need to identify the office";
        QTest::newRow("Save As, no description") << true << "" << "O" << head + "You need an Event Description";
        QTest::newRow("Save As, no office") << true << "D" << "" << head + "You need to identify an office";
    }
    void validationRefusesToSave()
    {
        QFETCH(bool, saveAs);
        QFETCH(QString, description);
        QFETCH(QString, office);
        QFETCH(QString, message);
        WindowFixture f;
        frmKelvane &w = f.start();
        fillHeader(w, description, "", office);
        const DocumentState before = DocumentState::of(w);
        (saveAs ? w.btnSaveAs : w.btnSave)->click();
        QCOMPARE(f.platform.messages, QStringList{message});
        QCOMPARE(f.platform.messageButtons, QList<MessageButtons>{MessageButtons::Ok});
        QVERIFY(f.platform.fileRequests.isEmpty());
        QVERIFY(DocumentState::of(w) == before);
    }

    void saveAsProposesANameAndWrites()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        clickDiagram(w, Qt::LeftButton, 5, 5);
        pressEnter(w.txtText);
        fillHeader(w, "Conveyor stopped: twice!", "op.one", "North");
        f.platform.fileAnswers.enqueue(QString()); // cancelled first
        w.btnSave->click();
        QCOMPARE(f.platform.fileRequests.size(), 1);
        QCOMPARE(f.platform.fileRequests[0].mode, FileDialogMode::Save);
        QCOMPARE(f.platform.fileRequests[0].fileName, QString("Conveyorstoppedtwice_opone"));
        QCOMPARE(f.platform.fileRequests[0].filter, QString("KelvaneAnalysis (*.rca.xml)|*.rca.xml"));
        QCOMPARE(f.platform.fileRequests[0].title, QString(" Select a Root Cause Analysis"));
        QVERIFY(w.Unsaved);
        QVERIFY(w.CurrentFile.isEmpty());
        const QString target = f.path("work/Conveyorstoppedtwice_opone.rca.xml");
        f.platform.fileAnswers.enqueue(target);
        w.btnSaveAs->click();
        QCOMPARE(w.CurrentFile, target);
        QCOMPARE(w.windowTitle(), QString("Root Cause Anlysis: Conveyorstoppedtwice_opone"));
        QVERIFY(!w.Unsaved);
        QCOMPARE(w.LastFolder, f.path("work") + QDir::separator());
        const ReadOutcome back = readAnalysisFile(target);
        QVERIFY(back.ok);
        QCOMPARE(back.analysis.description, QString("Conveyor stopped: twice!"));
        QCOMPARE(back.analysis.table.BlockCount, std::int16_t(1));
        // Save now writes over the same file without a dialog.
        w.txtOffice->setText("South");
        w.btnSave->click();
        QCOMPARE(f.platform.fileRequests.size(), 2);
        QCOMPARE(readAnalysisFile(target).analysis.office, QString("South"));
        QCOMPARE(QDir(f.path("work")).entryList(QDir::Files).size(), 1);
    }

    void nameWithoutTheEndingIsKept()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        fillHeader(w, "D", "", "O");
        f.platform.fileAnswers.enqueue(f.path("work/plain-name"));
        w.btnSaveAs->click();
        QVERIFY(QFile::exists(f.path("work/plain-name")));
        QCOMPARE(w.windowTitle(), QString("Root Cause Anlysis: plain-name"));
    }

    void failedSaveKeepsTheOldFileAndTheState_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("target");
        QTest::newRow("Save As into a missing folder") << true << "work/missing/A.rca.xml";
        QTest::newRow("Save As onto a folder") << true << "work/folder.rca.xml";
        QTest::newRow("Save As under a file") << true << "work/Loaded.rca.xml/A.rca.xml";
        QTest::newRow("Save over a file whose folder vanished") << false << "";
    }
    void failedSaveKeepsTheOldFileAndTheState()
    {
        QFETCH(bool, saveAs);
        QFETCH(QString, target);
        WindowFixture f;
        QDir().mkpath(f.path("work/folder.rca.xml"));
        QDir().mkpath(f.path("work/sub"));
        const QString loaded = saveAs ? putAnalysis(f, "Loaded.rca.xml") : f.path("work/sub/Loaded.rca.xml");
        if (!saveAs)
            QFile::copy(putAnalysis(f, "Loaded.rca.xml"), loaded);
        const QByteArray original = readBytes(loaded);
        frmKelvane &w = f.start();
        f.platform.fileAnswers.enqueue(loaded);
        w.btnLoadXML->click();
        clickDiagram(w, Qt::LeftButton, 50, 10);
        pressEnter(w.txtText);
        const DocumentState before = DocumentState::of(w);
        if (saveAs) {
            f.platform.fileAnswers.enqueue(f.path(target));
            w.btnSaveAs->click();
        } else {
            QVERIFY(QDir(f.path("work/sub")).removeRecursively());
            w.btnSave->click();
        }
        QCOMPARE(f.platform.messages.size(), 1);
        const QString named = saveAs ? f.path(target) : loaded;
        QVERIFY2(f.platform.messages[0].contains(named), qPrintable(f.platform.messages[0]));
        QVERIFY(DocumentState::of(w) == before);
        if (saveAs)
            QCOMPARE(readBytes(loaded), original);
    }

    void loadThenSaveKeepsEveryByte_data()
    {
        QTest::addColumn<QString>("source");
        for (const QString &name : QDir(TESSIK_SAMPLES_DIR).entryList({"*.rca.xml"}))
            QTest::newRow(qPrintable(name)) << QString(TESSIK_SAMPLES_DIR "/") + name;
        QTest::newRow("worked example") << QString(TESSIK_TEST_DATA "/worked_example.rca.xml");
        QTest::newRow("free slot in the middle") << QString(TESSIK_TEST_DATA "/free_slot_in_middle.rca.xml");
        QTest::newRow("texts a text box could change") << QString();
    }
    void loadThenSaveKeepsEveryByte()
    {
        QFETCH(QString, source);
        WindowFixture f;
        const QString path = f.path("work/Copy.rca.xml");
        if (source.isEmpty()) {
            // Every byte value, line breaks, blanks at both ends and markup in the header boxes
            // and the block texts: what the window shows it must give back unchanged.
            QByteArray every;
            for (int b = 1; b < 256; ++b)
                if (b != '<')
                    every.append(char(b));
            Analysis a;
            a.description = decode1252("  " + every + "\r\nsecond line  ");
            a.email = " a&b ";
            a.office = "R&D <lab> \"north\"";
            a.table.addBlock(5, 5);
            a.table.BlockText[1] = decode1252(every);
            a.table.BlockNotes[1] = "bare\nline\rends\r\n";
            writeBytes(path, writeAnalysis(a));
        } else {
            QVERIFY(QFile::copy(source, path));
        }
        const QByteArray original = readBytes(path);
        frmKelvane &w = f.start();
        f.platform.fileAnswers.enqueue(path);
        w.btnLoadXML->click();
        w.btnSave->click();
        QVERIFY2(f.platform.messages.isEmpty(), qPrintable(f.platform.messages.join('\n')));
        QCOMPARE(w.windowTitle(), "Root Cause Anlysis: Copy");
        QCOMPARE(readBytes(path), original);
    }
};

QTEST_MAIN(TestDocument)
#include "test_document.moc"

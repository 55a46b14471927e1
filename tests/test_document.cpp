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
QString putAnalysis(const WindowFixture &f, const QString &name, int blocks = 2)
{
    Analysis analysis;
    analysis.description = "Pump failure";
    analysis.email = "op";
    analysis.office = "Plant North";
    for (int i = 0; i < blocks; ++i)
        analysis.table.addBlock(float(i * 15 + 5), 5);
    const QString path = f.path("work/" + name);
    writeBytes(path, writeAnalysis(analysis));
    return path;
}

// What the user sees of the document and what a later save would write.
QStringList stateOf(frmKelvane &w)
{
    QStringList state{w.windowTitle(), QString::number(w.document().isModified()), w.document().currentFile(),
                      w.document().lastFolder(), w.txtDescription->text()};
    for (int id = 1; id <= w.table().BlockCount; ++id)
        state << QString("%1 %2 %3").arg(w.table().BlockX[id]).arg(w.table().BlockY[id]).arg(w.table().BlockText[id]);
    return state;
}

void fillHeader(frmKelvane &w, const QString &description, const QString &email, const QString &office)
{
    w.txtDescription->setText(description);
    w.txtemail->setText(email);
    w.txtOffice->setText(office);
}

// The window with the file loaded and one edit not yet saved.
frmKelvane &windowWithEditedFile(WindowFixture &f, const QString &path)
{
    frmKelvane &w = f.start();
    f.platform.fileAnswers.enqueue(path);
    w.btnLoadXML->click();
    clickDiagram(w, Qt::LeftButton, 50, 10);
    typeText(w.txtText, "Kept");
    pressEnter(w.txtText);
    return w;
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
        auto editDiagram = [&] {
            clickDiagram(w, Qt::LeftButton, 5, 5);
            pressEnter(w.txtText);
        };
        const QList<std::function<void()>> sequence = {
            [&] {
                w.btnNew->click();
                w.btnCancel->click();
            },
            [&] { typeText(w.txtDescription, "Overflow"); },
            editDiagram,
            [&] {
                typeText(w.txtOffice, "North");
                f.platform.fileAnswers.enqueue(f.path("work/A.rca.xml"));
                w.btnSave->click();
            },
            [&] { typeText(w.txtemail, "o"); },
            [&] { typeText(w.txtemail, "p"); },
            editDiagram,
            [&] {
                f.platform.messageAnswers.enqueue(MessageAnswer::Yes);
                f.platform.fileAnswers.enqueue(other);
                w.btnLoadXML->click();
            },
        };
        for (int i = 0; i < steps; ++i)
            sequence[i]();
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(w.document().isModified(), unsaved);
    }

    void newAsksThenStartsACleanAnalysisWithOneBlock()
    {
        WindowFixture f;
        frmKelvane &w = windowWithEditedFile(f, putAnalysis(f, "A.rca.xml", 3));
        const QStringList before = stateOf(w);
        f.platform.messageAnswers.enqueue(MessageAnswer::No);
        w.btnNew->click();
        QCOMPARE(f.platform.messages, QStringList{kUnsavedQuestion});
        QCOMPARE(f.platform.messageButtons, QList<MessageButtons>{MessageButtons::YesNo});
        QCOMPARE(stateOf(w), before); // answered No: nothing changed
        f.platform.messageAnswers.enqueue(MessageAnswer::Yes);
        w.btnNew->click();
        QCOMPARE(w.windowTitle(), QString("Tessik"));
        QVERIFY(!w.document().isModified());
        QVERIFY(w.document().currentFile().isEmpty());
        QVERIFY(w.txtDescription->text().isEmpty() && w.txtemail->text().isEmpty() && w.txtOffice->text().isEmpty());
        QCOMPARE(w.table().BlockCount, std::int16_t(1));
        QCOMPARE(QPointF(w.table().BlockX[1], w.table().BlockY[1]), QPointF(0, 0));
        QCOMPARE(w.EditedBlock, 1);
        QVERIFY(!w.frameEdit->isHidden());
    }

    void loadReplacesTheAnalysis()
    {
        WindowFixture f;
        const QString path = putAnalysis(f, "Conveyor_op.rca.xml", 3);
        frmKelvane &w = f.start();
        f.platform.fileAnswers.enqueue(path);
        w.btnLoadXML->click();
        const FileDialogRequest request = f.platform.fileRequests.value(0);
        QCOMPARE(request.mode, FileDialogMode::Open);
        QCOMPARE(request.filter, QString("Root Cause Analysis (*.rca.xml)|*.rca.xml"));
        QCOMPARE(request.title, QString(" Select a Root Cause Analysis"));
        QCOMPARE(request.initialFolder, f.userFolder());
        QVERIFY(f.platform.messages.isEmpty()); // nothing unsaved, a sound file
        QCOMPARE(w.table().BlockCount, std::int16_t(3));
        QCOMPARE(w.txtDescription->text(), QString("Pump failure"));
        QCOMPARE(w.document().currentFile(), path);
        QVERIFY(!w.document().isModified());
        QCOMPARE(w.windowTitle(), QString("Tessik: Conveyor_op"));
        QCOMPARE(w.document().lastFolder(), f.path("work") + QDir::separator());
        QCOMPARE(f.platform.current, f.path("work") + QDir::separator());
        QCOMPARE(diagramColour(w, 0, 5), kBlack); // drawn
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
        QCOMPARE(w.windowTitle(), QString("Tessik: Damaged"));
    }

    void validationRefusesToSave_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("message");
        const QString head = "The Root Cause Analysis was not saved.\r\n\r\n";
        QTest::newRow("Save, no description") << false << "" << head + "You need an Event Description";
        QTest::newRow("Save, no office") << false << "D" << head + "You need to identify the office";
        QTest::newRow("Save As, no office") << true << "D" << head + "You need to identify an office";
    }
    void validationRefusesToSave()
    {
        QFETCH(bool, saveAs);
        QFETCH(QString, description);
        QFETCH(QString, message);
        WindowFixture f;
        frmKelvane &w = f.start();
        fillHeader(w, description, "me", "");
        const QStringList before = stateOf(w);
        (saveAs ? w.btnSaveAs : w.btnSave)->click();
        QCOMPARE(f.platform.messages, QStringList{message});
        QCOMPARE(f.platform.messageButtons, QList<MessageButtons>{MessageButtons::Ok});
        QVERIFY(f.platform.fileRequests.isEmpty());
        QCOMPARE(stateOf(w), before);
    }

    void saveAsProposesANameAndSaveWritesOver()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        clickDiagram(w, Qt::LeftButton, 5, 5);
        pressEnter(w.txtText);
        fillHeader(w, "Conveyor stopped: twice!", "op.one", "North");
        f.platform.fileAnswers.enqueue(QString()); // cancelled first
        w.btnSave->click();
        const FileDialogRequest request = f.platform.fileRequests.value(0);
        QCOMPARE(request.mode, FileDialogMode::Save);
        QCOMPARE(request.fileName, QString("Conveyorstoppedtwice_opone"));
        QCOMPARE(request.filter, QString("KelvaneAnalysis (*.rca.xml)|*.rca.xml"));
        QVERIFY(w.document().isModified() && w.document().currentFile().isEmpty());
        const QString target = f.path("work/Conveyorstoppedtwice_opone.rca.xml");
        f.platform.fileAnswers.enqueue(target);
        w.btnSaveAs->click();
        QCOMPARE(w.document().currentFile(), target);
        QCOMPARE(w.windowTitle(), QString("Root Cause Anlysis: Conveyorstoppedtwice_opone"));
        QVERIFY(!w.document().isModified());
        QCOMPARE(w.document().lastFolder(), f.path("work") + QDir::separator());
        // Save now writes over the same file without a dialog.
        w.txtOffice->setText("South");
        w.btnSave->click();
        QCOMPARE(f.platform.fileRequests.size(), 2);
        const Analysis saved = readAnalysisFile(target).analysis;
        QCOMPARE(saved.description, QString("Conveyor stopped: twice!"));
        QCOMPARE(saved.office, QString("South"));
    }

    void failedLoadOrSaveChangesNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target"); // what the file dialog answers
        QTest::newRow("Load a file that vanished") << "btnLoadXML"
                                                   << "work/gone.rca.xml";
        QTest::newRow("Load a folder") << "btnLoadXML"
                                       << "work/folder.rca.xml";
        QTest::newRow("Save As onto a folder") << "btnSaveAs"
                                               << "work/folder.rca.xml";
        QTest::newRow("Save As under a file") << "btnSaveAs"
                                              << "work/sub/Loaded.rca.xml/A.rca.xml";
        QTest::newRow("Save over a file whose folder vanished") << "btnSave"
                                                                << "work/sub/Loaded.rca.xml";
    }
    void failedLoadOrSaveChangesNothing()
    {
        QFETCH(QString, button);
        QFETCH(QString, target);
        WindowFixture f;
        QDir().mkpath(f.path("work/folder.rca.xml"));
        QDir().mkpath(f.path("work/sub"));
        const QString loaded = putAnalysis(f, "sub/Loaded.rca.xml");
        const QByteArray original = readBytes(loaded);
        frmKelvane &w = windowWithEditedFile(f, loaded);
        const QStringList before = stateOf(w);
        f.platform.messageAnswers.enqueue(MessageAnswer::Yes); // Load: go on despite the edit
        f.platform.fileAnswers.enqueue(f.path(target));
        if (button == "btnSave")
            QVERIFY(QDir(f.path("work/sub")).removeRecursively());
        w.findChild<QPushButton *>(button)->click();
        QCOMPARE(f.platform.messages.size(), button == "btnLoadXML" ? 2 : 1); // Load asks first
        QVERIFY2(f.platform.messages.last().contains(f.path(target)), qPrintable(f.platform.messages.last()));
        QCOMPARE(stateOf(w), before);
        if (button != "btnSave")
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

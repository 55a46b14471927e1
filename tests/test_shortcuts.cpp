#include "files/analysis_writer.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

// What a key did, in the words of the table below: the dialogs and questions it raised, the
// panel it left showing, and whether it saved, printed or ended the program.
struct Watch {
    WindowFixture &f;
    frmKelvane &w;
    QString file;
    qsizetype dialogs, messages, prints;
    QByteArray bytes;
    QFrame *panel;

    Watch(WindowFixture &fixture, frmKelvane &window, const QString &path)
        : f(fixture), w(window), file(path), dialogs(f.platform.fileRequests.size()),
          messages(f.platform.messages.size()), prints(f.platform.printRequests.size()), bytes(readBytes(path)),
          panel(shownPanel())
    {
    }

    QFrame *shownPanel() const
    {
        for (QFrame *each : {w.frameControl, w.frameEdit, w.frameAnalyze}) {
            if (each->isVisibleTo(&w))
                return each;
        }
        return nullptr;
    }

    QStringList happened() const
    {
        QStringList seen;
        for (qsizetype i = messages; i < f.platform.messages.size(); ++i)
            seen << (f.platform.messageButtons[i] == MessageButtons::YesNo ? "Confirm" : "message");
        for (qsizetype i = dialogs; i < f.platform.fileRequests.size(); ++i) {
            const FileDialogRequest &r = f.platform.fileRequests[i];
            seen << (r.mode == FileDialogMode::Open ? QString("Open dialog") : "Save dialog:" + r.title);
        }
        if (f.platform.printRequests.size() > prints)
            seen << "print dialog";
        if (readBytes(file) != bytes)
            seen << "saved";
        if (shownPanel() != panel)
            seen << shownPanel()->objectName();
        if (w.ended())
            seen << "ended";
        return seen;
    }
};

const QString kPictureDialog = "Save dialog: Save a picture of the diagram";

} // namespace

class TestShortcuts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each key does what a click on its button does, Confirm included, and nothing while the
    // button's panel is hidden; Esc closes the editor and the search panel. The window starts
    // with a loaded analysis and an unsaved edit of the e-mail box.
    void keysActAsTheirButtons_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QStringList>("expected");
        const QKeySequence ctrlN(Qt::CTRL | Qt::Key_N), ctrlO(Qt::CTRL | Qt::Key_O), ctrlS(Qt::CTRL | Qt::Key_S),
            ctrlShiftS(Qt::CTRL | Qt::SHIFT | Qt::Key_S), ctrlF(Qt::CTRL | Qt::Key_F), ctrlQ(Qt::CTRL | Qt::Key_Q),
            ctrlE(Qt::CTRL | Qt::Key_E), ctrlP(Qt::CTRL | Qt::Key_P), esc(Qt::Key_Escape);
        auto row = [](const char *name, const char *panel, const char *focus, const QKeySequence &key, bool yes,
                      const QStringList &expected) {
            QTest::newRow(name) << QString(panel) << QString(focus) << key << yes << expected;
        };
        row("Ctrl+N asks, Yes", "command", "txtemail", ctrlN, true, {"Confirm", "frameEdit"});
        row("Ctrl+O asks, Yes", "command", "txtemail", ctrlO, true, {"Confirm", "Open dialog"});
        row("Ctrl+S saves", "command", "txtemail", ctrlS, false, {"saved"});
        row("Ctrl+Shift+S", "command", "txtDescription", ctrlShiftS, false,
            {"Save dialog: Select a Root Cause Analysis"});
        row("Ctrl+F", "command", "txtOffice", ctrlF, false, {"frameAnalyze"});
        row("Ctrl+Q asks, No", "command", "txtemail", ctrlQ, false, {"Confirm"});
        row("Ctrl+Q asks, Yes", "command", "txtemail", ctrlQ, true, {"Confirm", "ended"});
        row("Ctrl+E from a text box", "command", "txtDescription", ctrlE, false, {kPictureDialog});
        row("Ctrl+P", "command", "txtemail", ctrlP, false, {"print dialog"});
        row("Esc in the command panel", "command", "txtemail", esc, false, {});
        row("Esc cancels the editor", "editor", "txtText", esc, false, {"frameControl"});
        row("Esc closes the search", "search", "txtKeyWord", esc, false, {"frameControl"});
        row("Ctrl+S in the editor", "editor", "txtText", ctrlS, false, {});
        row("Ctrl+Q in the editor", "editor", "txtText", ctrlQ, true, {});
        row("Ctrl+E in the editor", "editor", "txtText", ctrlE, false, {});
        row("Ctrl+O in the search", "search", "txtKeyWord", ctrlO, true, {});
        row("Ctrl+F in the search", "search", "txtKeyWord", ctrlF, false, {});
    }
    void keysActAsTheirButtons()
    {
        QFETCH(QString, panel);
        QFETCH(QString, focus);
        QFETCH(QKeySequence, key);
        QFETCH(bool, answerYes);
        QFETCH(QStringList, expected);
        WindowFixture f;
        Analysis analysis;
        analysis.description = "Pump failure";
        analysis.office = "Plant North";
        analysis.table.addBlock(5, 5);
        const QString path = f.path("work/A.rca.xml");
        QVERIFY(writeBytes(path, writeAnalysis(analysis)));
        frmKelvane &w = f.start();
        w.loadFile(path);
        typeText(w.txtemail, "op");
        if (panel == "editor")
            clickDiagram(w, Qt::LeftButton, 10, 10);
        if (panel == "search")
            w.btnAnalyze->click();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *target = w.findChild<QWidget *>(focus);
        QVERIFY(target && target->isVisible());
        target->setFocus();

        const Watch watch(f, w, path);
        if (answerYes)
            f.platform.messageAnswers.enqueue(MessageAnswer::Yes);
        f.platform.printAnswers.enqueue(PrintOutcome::Cancelled);
        const QKeyCombination combination = key[0];
        QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
        QCOMPARE(watch.happened(), expected);
    }

    void tooltipsNameTheKeys_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("New") << "btnNew"
                             << "New (Ctrl+N)";
        QTest::newRow("Load") << "btnLoadXML"
                              << "Load (Ctrl+O)";
        QTest::newRow("Save") << "btnSave"
                              << "Save (Ctrl+S)";
        QTest::newRow("Save As") << "btnSaveAs"
                                 << "Save As (Ctrl+Shift+S)";
        QTest::newRow("Search") << "btnAnalyze"
                                << "Search (Ctrl+F)";
        QTest::newRow("Quit") << "btnQuit"
                              << "Quit (Ctrl+Q)";
        QTest::newRow("Cancel") << "btnCancel"
                                << "Cancel (Esc)";
        QTest::newRow("Done") << "btnAnalysisDone"
                              << "Done (Esc)";
        QTest::newRow("OK") << "btnImplement"
                            << "OK (Enter in the Text box)";
        QTest::newRow("search button") << "btnSearch"
                                       << "Search (Enter in the Phrase box)";
    }
    void tooltipsNameTheKeys()
    {
        QFETCH(QString, button);
        QFETCH(QString, tooltip);
        WindowFixture f;
        frmKelvane &w = f.start();
        auto *control = w.findChild<QPushButton *>(button);
        QVERIFY(control);
        QCOMPARE(control->toolTip(), tooltip);
    }

    void failedPrintAndExportTellTheUser()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        const QString blocked = f.path("work/file") + "/picture.svg"; // under a regular file
        QVERIFY(writeBytes(f.path("work/file"), "x"));
        f.platform.fileAnswers.enqueue(blocked);
        f.platform.fileAnswers.enqueue(f.path("work/picture.jpg"));
        f.platform.printAnswers.enqueue(PrintOutcome::Failed);
        w.exportDiagram();
        w.exportDiagram();
        w.printDiagram();
        QCOMPARE(f.platform.messages.size(), 3);
        QVERIFY(f.platform.messages[0].contains(blocked));
        QVERIFY(f.platform.messages[0].contains("Part of the path is a file"));
        QVERIFY(f.platform.messages[1].contains(".pdf, .svg or .png"));
        QCOMPARE(f.platform.messages[2], QString("The diagram could not be printed."));
        QVERIFY(!QFile::exists(f.path("work/picture.jpg")));
    }
};

QTEST_MAIN(TestShortcuts)
#include "test_shortcuts.moc"

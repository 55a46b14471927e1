#include "files/analysis_writer.h"
#include "search/search_job.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QThread>

using namespace tessik;
using namespace tessik::test;

namespace {

const QString kUnsavedQuestion = "You have unsaved edits.\r\n\r\nDo you want to continue?";

void choosePreset(frmKelvane &w, const QString &entry)
{
    w.lstPresets->setCurrentIndex(w.lstPresets->findText(entry));
    Q_EMIT w.lstPresets->activated(w.lstPresets->currentIndex());
}

// A value picked from a key picture, dropped by dragging the pointer onto the diagram or by a
// click there.
using Pick = std::tuple<bool, bool, QPointF, QString>; // notes view, dragged, where to, the field after

const QString kGap(91, ' '), kStatus = " | 1 file could not be read and was left out.";
const QString kConveyor = " | Conveyor stopped twice" + kGap + "[Conveyor_op]",
              kPress = " | Press jammed" + kGap + "[Press]";
const QString kEvery = "frameAnalyze Search" + kStatus + " | Basement flooded" + kGap + "[Flood]" + kConveyor + kPress;
const Step clearPhrase = [](WindowFixture &f) { f.window->txtKeyWord->clear(); };

void put(WindowFixture &f, const QString &name, const QString &description, const QString &caption)
{
    Analysis a{description, "op", "O", {}};
    a.table.setCaption(a.table.addBlock(5, 5), caption);
    writeBytes(f.path("work/" + name), writeAnalysis(a));
}

} // namespace

// A user's ways through the real window, dialogs and message boxes answered by the fake platform.
class WorkflowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    void buildSaveAndEditTheWorkedExample()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        QCOMPARE(observe(w).title, QString("Tessik"));
        clickDiagram(w, 5, 5); // two blocks by left presses, captioned with Enter
        typeText(w.txtText, "Conveyor stopped");
        pressEnter(w.txtText);
        QCOMPARE(observe(w).title, QString("Tessik:  *"));
        clickDiagram(w, 20, 2);
        typeText(w.txtText, "Sensor data missing");
        choosePreset(w, "<Select Categories>");
        choosePreset(w, "Technology");
        pressEnter(w.txtText);
        clickPicture(w.PicCategories, QPoint(160, 30)); // a category dropped on the second block
        clickDiagram(w, 20, 2);
        dragDiagram(w, 20, 2, 5, 5);                      // dragged onto the first, the left one becomes the parent
        dragDiagram(w, 5, 5, 5, -5, Qt::ControlModifier); // Ctrl moves it with its descendants: up, and back
        QCOMPARE(observe(w).table.block(2).y, -13.0f);
        dragDiagram(w, 5, -5, 5, 5, Qt::ControlModifier);
        QVERIFY(observe(w).drawn); // the drag marks left no trace
        typeText(w.txtDescription, "Conveyor stopped twice");
        typeText(w.txtemail, "operator");
        typeText(w.txtOffice, "Plant North");
        const QString target = f.path("work/Conveyorstoppedtwice_operator.rca.xml");
        f.platform.fileAnswers.enqueue(target);
        QTest::mouseClick(w.btnSave, Qt::LeftButton); // never saved: Save asks for a name
        const FileDialogRequest request = f.platform.fileRequests.value(0);
        QCOMPARE(QList({request.fileName, request.filter}),
                 QList<QString>({"Conveyorstoppedtwice_operator", "KelvaneAnalysis (*.rca.xml)|*.rca.xml"}));
        QCOMPARE(request.mode, FileDialogMode::Save);
        QCOMPARE(readBytes(target), readBytes(dataFile("worked_example.rca.xml")));
        const DocumentState saved = observe(w);
        QCOMPARE(QList({saved.title, saved.currentFile, saved.lastFolder}),
                 QStringList({"Root Cause Anlysis: Conveyorstoppedtwice_operator", target, f.path("work/")}));
        QVERIFY(!saved.unsaved && f.platform.messages.isEmpty());
        // A header edit marks the title once; a diagram edit writes it anew; Save writes over the file.
        typeText(w.txtOffice, " x");
        QCOMPARE(observe(w).title, "Root Cause Anlysis: Conveyorstoppedtwice_operator *");
        clickDiagram(w, 5, 5);
        pressEnter(w.txtText);
        QCOMPARE(observe(w).title, "Tessik: Conveyorstoppedtwice_operator *");
        w.btnSave->click();
        QVERIFY(f.platform.fileRequests.size() == 1 && readBytes(target).contains("<office>Plant North x</office>"));
        QVERIFY(!observe(w).unsaved);
        dragDiagram(w, 20, 2, 5, 5); // linked again as it is: an edit all the same
        QVERIFY(observe(w).unsaved);
    }

    void newLoadAndQuitAskBeforeDroppingEdits()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        const QString path = f.load(analysisWith(3), "Conveyor_op.rca.xml");
        const FileDialogRequest request = f.platform.fileRequests.value(0);
        QCOMPARE(QList({request.filter, request.title, request.initialFolder}),
                 QStringList(
                     {"Root Cause Analysis (*.rca.xml)|*.rca.xml", " Select a Root Cause Analysis", f.userFolder()}));
        const DocumentState loaded = observe(w);
        QCOMPARE(QList({loaded.title, loaded.currentFile, loaded.lastFolder, loaded.description,
                        loaded.table.block(3).caption}),
                 QStringList({"Tessik: Conveyor_op", path, f.path("work/"), "Pump failure", "Block 3"}));
        typeText(w.txtDescription, "!"); // an unsaved edit
        const QStringList before = observe(w).summary();
        f.platform.messageAnswers << MessageAnswer::No << MessageAnswer::No << MessageAnswer::No;
        w.btnNew->click();
        w.btnQuit->click();
        w.btnLoadXML->click();
        QCOMPARE(f.platform.messages, QStringList(3, kUnsavedQuestion));
        QCOMPARE(observe(w).summary(), before); // answered No: nothing changed, nothing written
        QVERIFY(!w.ended() && !QFile::exists(f.userFolder() + "Tessik.hst") && f.platform.fileRequests.size() == 1);
        f.platform.messageAnswers << MessageAnswer::Yes << MessageAnswer::Yes;
        w.btnLoadXML->click(); // the dialog opens where the file was, with the name it showed; cancelled
        QCOMPARE(QList({f.platform.fileRequests[1].initialFolder, f.platform.fileRequests[1].fileName}),
                 QStringList({f.path("work/"), "Conveyor_op.rca.xml"}));
        QCOMPARE(observe(w).summary(), before);
        w.btnNew->click(); // block 1 alone at the left edge, its editor open
        QCOMPARE(observe(w).summary(),
                 QStringList({"Tessik", "saved running", "", f.path("work/"), "", "", "", "-1 0 (0, 0) ||"}));
        QCOMPARE(observe(w).panel, QString("frameEdit 1: |"));
        w.btnCancel->click();
        w.btnQuit->click(); // nothing unsaved: no question; the folder of the load is remembered
        QVERIFY(f.platform.messages.size() == 5 && f.platform.endProgramCalls == 1);
        QCOMPARE(readBytes(f.userFolder() + "Tessik.hst") + readBytes(f.userFolder() + "Tessik.ver"),
                 (f.path("work/") + "\r\n16.01.02\r\n").toUtf8());
    }

    void blockEditor()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        f.load(analysisWith(3));
        clickDiagram(w, 50, -10); // a new block, its editor open on it and outlined in red
        QCOMPARE(QList({w.EditedBlock, int(observe(w).table.block(4).x), int(observe(w).table.block(4).y)}),
                 QList({4, 45, -15}));
        QVERIFY(!w.frameEdit->isHidden() && w.frameControl->isHidden() && QApplication::focusWidget() == w.txtText);
        QCOMPARE(diagramColour(w, 45, -10), kRed);
        typeText(w.txtNotes, "Line one");
        QTest::keyClick(w.txtNotes, Qt::Key_Return); // Enter in the notes is a line break
        typeText(w.txtNotes, "two");
        choosePreset(w, "Science"); // a preset is added to the notes
        typeText(w.txtText, "New");
        w.btnImplement->click();
        QCOMPARE(observe(w).table.block(4).caption + "|" + observe(w).table.block(4).notes,
                 QString("New|Line one\r\ntwo; Science"));
        QVERIFY(w.frameEdit->isHidden() && !w.frameControl->isHidden() && observe(w).drawn);
        clickDiagram(w, 50, -10); // opened again, and then another one: each with what it stores
        QCOMPARE(observe(w).panel, QString("frameEdit 4: New|Line one\ntwo; Science"));
        clickDiagram(w, 5, 5); // only the block open now is outlined
        QVERIFY(observe(w).panel == "frameEdit 1: Block 1|" && observe(w).drawn);
        typeText(w.txtText, "typed");
        w.btnCancel->click(); // Cancel stores nothing
        QCOMPARE(observe(w).table.block(1).caption, QString("Block 1"));
        clickDiagram(w, 50, -10);
        w.btnDelete->click(); // the free slot keeps its place, and nothing of the texts
        QCOMPARE(observe(w).summary().last(), QString("0 0 (45, -15) ||"));
        QVERIFY(w.frameEdit->isHidden() && observe(w).drawn);
    }

    // The press on a key picture shows the pick pointer; a second press replaces the value; the
    // release over a block, or the next click on one, drops it into the field the view shows.
    void pickAndDrop_data()
    {
        test::addRows<Pick>({
            {"category dragged onto a block", {false, true, {5, 5}, "Motives"}},
            {"category clicked, then the block", {false, false, {5, 5}, "Motives"}},
            {"notes dragged onto a block", {true, true, {5, 5}, "Technology"}},
            {"clicked, then empty space", {true, false, {25, 15}, ""}},
        });
    }
    void pickAndDrop()
    {
        QFETCH(Pick, row);
        const auto [notes, dragged, to, value] = row;
        WindowFixture f;
        frmKelvane &w = f.start();
        f.load(analysisWith(2));
        w.optType[notes ? 0 : 1]->click(); // shows one of the two pictures
        SurfaceView *picture = notes ? w.picLedgend : w.PicCategories;
        QVERIFY(picture->isVisible() && (notes ? w.PicCategories : w.picLedgend)->isHidden());
        clickPicture(picture, notes ? QPoint(64, 63) : QPoint(160, 30));
        QVERIFY(w.PickPending && QApplication::overrideCursor());
        const QPoint at = notes ? QPoint(62, 15) : QPoint(100, 75);
        if (dragged) {
            dragPicture(w, picture, at, float(to.x()), float(to.y()));
        } else {
            clickPicture(picture, at);
            clickDiagram(w, float(to.x()), float(to.y())); // the press neither opens nor adds
        }
        const DocumentState after = observe(w);
        QVERIFY(!w.PickPending && !QApplication::overrideCursor() && w.frameEdit->isHidden());
        QCOMPARE(QList({after.table.block(1).category, after.table.block(1).notes}),
                 QStringList({notes ? "" : value, notes ? value : ""}));
        QCOMPARE(QList({int(after.table.usedSlots()), int(after.unsaved)}), QList({2, int(!value.isEmpty())}));
        QCOMPARE(diagramColour(w, 5, 1), value.isEmpty() ? kWhite
                                         : notes         ? RGB(191, 255, 191)
                                                         : RGB(96, 246, 121)); // redrawn
        w.optType[notes ? 1 : 0]->click(); // the other view colours the blocks by its own field
        QVERIFY(observe(w).drawn);
    }

    void searchPanel()
    {
        WindowFixture f;
        const QString conveyor = f.path("work/Conveyor_op.rca.xml");
        Analysis a = analysisWith(2);
        a.description = "Conveyor stopped twice"; // the longest entry, listed first
        a.table.setCaption(2, "Sensor data missing");
        writeBytes(conveyor, writeAnalysis(a));
        frmKelvane &w = f.start();
        f.load(analysisWith(1), "Pump.rca.xml"); // the search lists the folder of the last file
        clickDiagram(w, 50, 0);                  // and an unsaved edit
        pressEnter(w.txtText);
        w.btnAnalyze->click();
        QVERIFY(!w.frameAnalyze->isHidden() && w.frameControl->isHidden() &&
                QApplication::focusWidget() == w.txtKeyWord);
        QTest::keyClicks(w.txtKeyWord, "BLOCK");
        pressEnter(w.txtKeyWord);
        waitForSearch(w);
        QCOMPARE(w.lstFileNames->model()->rowCount(), 2);
        const QModelIndex longest = w.lstFileNames->model()->index(0, 0);
        QVERIFY(w.lstFileNames->visualRect(longest.siblingAtRow(1)).width() > // no entry is cut
                w.lstFileNames->fontMetrics().horizontalAdvance(longest.data().toString()));
        w.btnAnalysisDone->click();
        QVERIFY(w.frameAnalyze->isHidden() && !w.frameControl->isHidden());
        w.btnAnalyze->click(); // opens again empty
        QVERIFY(w.txtKeyWord->text().isEmpty() && observe(w).panel == "frameAnalyze Search | ");
        typeText(w.txtKeyWord, "SENSOR");
        w.btnSearch->click();
        waitForSearch(w);
        const QStringList before = observe(w).summary();
        f.platform.messageAnswers << MessageAnswer::No << MessageAnswer::Yes; // asked twice for the edit
        clickEntry(w, 0);
        QCOMPARE(observe(w).summary(), before);
        clickEntry(w, 0);
        const DocumentState loaded = observe(w);
        QCOMPARE(QList({loaded.currentFile, loaded.title, loaded.lastFolder}),
                 QStringList({conveyor, "Tessik: Conveyor_op", f.path("work/")}));
        QVERIFY(!loaded.unsaved && !w.frameAnalyze->isHidden()); // the panel stays open for the next one
        // Drawn with the phrase: the hit has a red outline and a pink shadow, the other block not.
        QCOMPARE(QList({diagramColour(w, 15, 5), diagramColour(w, 25.2f, 5), diagramColour(w, 0, 5)}),
                 QList({kRed, RGB(255, 164, 164), kBlack}));
    }

    // The search runs beside the window: cancelled, or replaced by a new one, it leaves the panel
    // showing the outcome of the last search that ran to its end. A search for "block" (every
    // file) has ended; one for "drain" runs, and has reported without the window handling it
    // yet, when the row's gesture comes.
    void cancelOrReplaceTheRunningSearch_data()
    {
        QTest::addColumn<QList<Step>>("gesture");
        QTest::addColumn<QString>("shown"); // the panel afterwards
        const Step esc = key(Qt::Key_Escape), enter = key(Qt::Key_Return);
        QTest::newRow("Cancel") << QList<Step>{press("btnSearch")} << kEvery;
        QTest::newRow("Esc") << QList<Step>{esc} << kEvery;
        QTest::newRow("a new search") << QList<Step>{clearPhrase, type("txtKeyWord", "SENSOR"), enter}
                                      << "frameAnalyze Search" + kStatus + kConveyor + kPress;
    }
    void cancelOrReplaceTheRunningSearch()
    {
        QFETCH(QList<Step>, gesture);
        QFETCH(QString, shown);
        WindowFixture f;
        put(f, "Conveyor_op.rca.xml", "Conveyor stopped twice", "Sensor data missing");
        put(f, "Press.rca.xml", "Press jammed", "Sensor misaligned");
        put(f, "Flood.rca.xml", "Basement flooded", "Drain blocked");
        QFile::link(f.path("nowhere"), f.path("work/Dangling.rca.xml"));
        frmKelvane &w = f.start();
        run(f, {load("work/Flood.rca.xml"), search("block")});
        QCOMPARE(observe(w).panel, kEvery);
        QCOMPARE(w.prgSearch->text(), QString("4 of 4 files read")); // the bar ended full
        run(f, {clearPhrase, type("txtKeyWord", "drain"), press("btnSearch")});
        QVERIFY(observe(w).panel.startsWith("frameAnalyze Cancel running" + kStatus));
        QThread::msleep(100);
        run(f, gesture);
        waitForSearch(w);
        QTRY_VERIFY(w.findChild<SearchJob *>()->isIdle()); // whatever a cancelled search posted has come
        QCoreApplication::processEvents();
        QCOMPARE(observe(w).panel, shown);
    }

    // One click reveals one generation: the first click of a run fades quickly to the empty
    // picture, each later one in 30 frames of 50 ms, with its own button disabled meanwhile.
    void replaySnapshotAndTraining()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        Analysis a = analysisWith(4); // 1 with children 2 and 4, 2 with child 3
        a.table.link(2, 1);
        a.table.link(4, 1);
        a.table.link(3, 2);
        f.platform.current = f.path("appdata"); // until the dialog chooses a file in work
        f.load(a);
        w.btnAnimate->click();
        QCOMPARE(f.platform.pauses, QList<int>(30, 1));
        QVERIFY(redOf(diagramColour(w, 0, 5)) > 240); // nearly white: a faint trace stays
        QList<bool> enabled;
        w.diagram().setRefreshListener(
            [&](const QRect &) { enabled << w.btnAnimate->isEnabled() << w.btnAnimateForward->isEnabled(); });
        w.btnAnimate->click(); // the causes without children: 3 and 4
        QCOMPARE(f.platform.pauses.mid(30), QList<int>(30, 50));
        QCOMPARE(QList({w.animation().lookOf(3), w.animation().lookOf(1)}),
                 QList({BlockLook::Highlighted, BlockLook::Hidden}));
        QVERIFY(redOf(diagramColour(w, 30, 5)) > 240 && greenOf(diagramColour(w, 30, 5)) < 20);
        w.btnAnimateForward->click(); // the other button goes on with the same run
        QCOMPARE(w.animation().lookOf(1), BlockLook::Highlighted);
        QCOMPARE(QList({enabled[0], enabled[1], enabled[60], enabled[61], w.btnAnimate->isEnabled()}),
                 QList({false, true, true, false, true}));
        clickDiagram(w, 5, 5); // an edit ends the run: the next click starts a new one
        pressEnter(w.txtText);
        w.btnAnimateForward->click();
        QCOMPARE(f.platform.pauses.mid(90), QList<int>(30, 1));
        // The snapshot lands in the folder of the loaded file and holds the picture.
        w.btnSnapShot->click();
        QCOMPARE(f.platform.openedUrls, QStringList{f.path("work/RCA_Snapshot.bmp")});
        QCOMPARE(QImage(f.platform.openedUrls[0], "BMP").convertToFormat(QImage::Format_RGB32), w.diagram().image());
        f.platform.current = f.path("vanished");
        w.btnSnapShot->click();
        QVERIFY(f.platform.messages.size() == 1 && f.platform.messages[0].contains("RCA_Snapshot.bmp"));
        // The training links move the focus to the description, which is no edit.
        w.btnTraining->click();
        w.btnTrainingReference->click(); // hidden, but it works the same way
        QVERIFY(f.platform.openedUrls.value(1).startsWith("https://") &&
                f.platform.openedUrls.value(2).endsWith(".pdf"));
        QVERIFY(QApplication::focusWidget() == w.txtDescription && f.platform.processEventsCalls == 6);
        QCOMPARE(observe(w).title, QString("Tessik: A *"));
    }

    // The diagram fills the window above the panels with 10 pixels round it; the panels share one
    // place at the bottom, 10 pixels above the window's lower edge, and only widen.
    void layoutFollowsTheWindowSize()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        QVERIFY(w.frameEdit->isHidden() && w.frameAnalyze->isHidden() && w.picBuffer->isHidden() &&
                w.btnSend->isHidden() && w.btnTrainingReference->isHidden() && w.optType[1]->isChecked());
        QTest::mouseClick(w.picDiagram, Qt::BackButton, {}, w.picDiagram->contentsRect().center()); // extra buttons
        QTest::mouseClick(w.picDiagram, Qt::LeftButton, {}, QPoint(1, 1)); // and the sunken border do nothing
        QVERIFY(observe(w).table.usedSlots() == 0 && w.frameEdit->isHidden());
        const QRect diagram = w.picDiagram->geometry(), panel = w.frameControl->geometry(),
                    button = w.btnQuit->geometry();
        QCOMPARE(
            QList({diagram.left(), diagram.top(), w.width() - diagram.right() - 1, w.height() - panel.bottom() - 1}),
            QList({10, 10, 10, 10}));
        QCOMPARE(QList({diagram.bottom() + 1, diagram.width()}), QList({panel.top(), panel.width()}));
        w.frameEdit->show(); // an open panel follows the command panel
        w.resize(w.width() + 100, w.height() + 50);
        QCOMPARE(QList({w.picDiagram->geometry(), w.frameControl->geometry(), w.frameEdit->geometry(),
                        w.frameAnalyze->geometry(), w.btnQuit->geometry()}),
                 QList({diagram.adjusted(0, 0, 100, 50), panel.adjusted(0, 50, 100, 50), panel.adjusted(0, 50, 100, 50),
                        panel.adjusted(0, 50, 100, 50), button}));
        QCOMPARE(w.picBuffer->size(), w.picDiagram->size());
        QCOMPARE(w.diagram().image().size(), w.picDiagram->contentsRect().size()); // drawn at the new size
        w.frameEdit->hide();
        // The window cannot be made smaller than the size at which every control of the panel on
        // show is seen and clicked whole, and a block at the top shows whole, shadow included.
        w.resize(200, 100);
        QVERIFY(w.size() == w.minimumSize() && w.width() <= 1000 && w.height() <= 699);
        clickDiagram(w, 5, w.mapping().DiagramTop + 5.5f);
        QCOMPARE(diagramColour(w, 5, observe(w).table.block(1).y + 10.4f), kShadowColour);
        QVERIFY(w.windowIcon().availableSizes() == QList({QSize(16, 16), QSize(32, 32)}) &&
                w.lblversion->alignment() == Qt::AlignCenter && w.txtText->font().bold() &&
                w.txtText->palette().color(QPalette::Base) == QColor(255, 255, 192));
        QCOMPARE(QList({w.font().pixelSize(), w.txtText->font().pixelSize()}), QList({11, 12})); // 8.25 and 9 points
        QCOMPARE(QList({w.mapping().DiagramPixelWidth, w.mapping().DiagramPixelHeight}),
                 QList({605, 397})); // built size
        for (QPushButton *next : {w.btnCancel, w.btnAnalyze, w.btnAnalysisDone}) {
            QFrame *shown = w.frameEdit->isVisible()      ? w.frameEdit
                            : w.frameAnalyze->isVisible() ? w.frameAnalyze
                                                          : w.frameControl;
            const QList<QWidget *> controls = shown->findChildren<QWidget *>() << w.picDiagram << shown;
            for (QWidget *c : controls) {
                const QRect r(c->mapTo(&w, QPoint()), c->size()),
                    outer(c->parentWidget()->mapTo(&w, QPoint()), c->parentWidget()->size());
                QWidget *hit = w.childAt(r.center());
                if (!c->objectName().isEmpty() && !c->objectName().startsWith("qt_") && c->isVisible())
                    QVERIFY2(w.rect().contains(r) && outer.contains(r) && (hit == c || c->isAncestorOf(hit)),
                             qPrintable(c->objectName()));
            }
            next->click();
        }
        QStringList shown; // each control's own text, and its font where it is not the window's
        for (const QWidget *c : w.findChildren<QWidget *>()) {
            QString text = c->property(c->inherits("QGroupBox") ? "title" : "text").toString();
            if (c->font() != w.font())
                text += QString("(%1%2)").arg(c->font().pixelSize()).arg(c->font().bold() ? "b" : "");
            if (!text.isEmpty() && !c->objectName().isEmpty() && !c->objectName().startsWith("qt_"))
                shown << text;
        }
        QCOMPARE(shown.join('|'), "(12b)|Text|(12b)|Notes|OK|Cancel|Delete Block|Phrase:(10)|(12b)|Search|Done|(9)|New|"
                                  "Save|Snapshot|Impacts_from_Causes -------->|Causes_To _Impacts <--------|"
                                  "Transmit to Pelmar|Quit|Load|Save As|Search|Tessik Training Video|"
                                  "RCA Training Reference|Event Description|E-Mail Point of Contact|@example.org|"
                                  "Office|Categories|Notes|16.01.02(9)");
        const QImage wrapped = w.btnSend->grab().toImage(); // a caption of two lines, in a frame as any other
        w.btnSend->setText(QString());
        const QImage frame = w.btnSend->grab().toImage();
        QVERIFY(wrapped.copy(0, 0, 73, 2) == frame.copy(0, 0, 73, 2) && wrapped != frame);
        // The panels' controls stand on the 4-pixel grid the window was drawn on: left and top
        // edges on it, boxes one pixel more than it each way, lines as long as it. The list and
        // the two lines of the search's progress take the room they have.
        for (const QWidget *panel :
             std::initializer_list<QWidget *>{w.frameEdit, w.frameAnalyze, w.frameControl, w.frameDescription})
            for (const QWidget *c : panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                const QRect g = c->geometry();
                const bool free = c == w.lstFileNames || c == w.prgSearch || c == w.lblSearchStatus;
                const bool sized = g.width() == 1 ? g.height() % 4 == 0 : g.width() % 4 == 1 && g.height() % 4 == 1;
                QVERIFY2(g.left() % 4 == 0 && g.top() % 4 == 0 && (sized || free), qPrintable(c->objectName()));
            }
        f.platform.messageAnswers << MessageAnswer::Yes;
        w.close(); // asks for the block added, as Quit does; Yes ends and writes the history file
        QVERIFY(f.platform.messages.size() == 1 && f.platform.endProgramCalls == 1);
        QCOMPARE(readBytes(f.userFolder() + "Tessik.hst"), (f.userFolder() + "\r\n").toUtf8());
    }
};

TESSIK_TEST(WorkflowsTest)
#include "workflows_test.moc"

// A user's ways through the real window, dialogs and message boxes answered by the fake platform.
#include "files/analysis_writer.h"
#include "render/plot_diagram.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QThread>

#include <cmath>

using namespace tessik;
using namespace tessik::test;

namespace {

const QString kUnsavedQuestion = "You have unsaved edits.\r\n\r\nDo you want to continue?";

// A value picked from a key picture, dropped by dragging the pointer onto the diagram or by a
// click there.
using Pick = std::tuple<bool, bool, QPointF, QString>; // notes view, dragged, where to, the field after

const QString kGap(91, ' ');
const QString kConveyor = "Conveyor stopped twice" + kGap + "[Conveyor_op]", kPress = "Press jammed" + kGap + "[Press]",
              kFlood = "Basement flooded" + kGap + "[Flood]";
const QString kStatus = "1 file could not be read and was left out.";

void put(WindowDriver &d, const QString &name, const QString &description, const QString &caption)
{
    Analysis a{description, "op", "O", {}};
    a.table.setCaption(a.table.addBlock(5, 5), caption);
    writeBytes(d.path("work/" + name), writeAnalysis(a));
}

// The fade leaves a faint trace of what was there before.
bool nearly(Colour colour, Colour target)
{
    return std::abs(redOf(colour) - redOf(target)) < 16 && std::abs(greenOf(colour) - greenOf(target)) < 24 &&
           std::abs(blueOf(colour) - blueOf(target)) < 24;
}

// The contrast ratio of two colours, as accessibility guidelines measure it: 1 to 21.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Blocks 1 to 4: 1 with children 2 and 4, 2 with child 3.
Analysis family()
{
    Analysis a = analysisWith(4);
    a.table.link(2, 1);
    a.table.link(4, 1);
    a.table.link(3, 2);
    return a;
}

} // namespace

class WorkflowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    // Two blocks by left presses, captioned with Enter, a category dropped, linked by a drag,
    // moved with Ctrl and back, the header typed, saved: the worked example's bytes.
    void buildingTheWorkedExampleSavesItsBytes()
    {
        WindowDriver d;
        d.start();
        QCOMPARE(d.title(), QString("Tessik"));
        run(d, {at(5, 5), type("txtText", "Conveyor stopped"), key(Qt::Key_Return)});
        QCOMPARE(d.title(), QString("Tessik:  *"));
        run(d, {at(20, 2), type("txtText", "Sensor data missing")});
        d.choosePreset("<Select Categories>"); // a heading adds nothing
        d.choosePreset("Technology");
        d.click("btnImplement");
        d.clickPicture("PicCategories", QPoint(160, 30)); // a category dropped on the second block
        d.clickDiagram(20, 2);
        d.dragDiagram(20, 2, 5, 5);                      // dragged onto the first: the left one becomes the parent
        d.dragDiagram(5, 5, 5, -5, Qt::ControlModifier); // Ctrl moves it with its descendants
        QCOMPARE(d.document().table().block(2).y, -13.0f);
        d.dragDiagram(5, -5, 5, 5, Qt::ControlModifier);
        QVERIFY2(d.diagramShowsTable(), "the drag marks left a trace");
        run(d, {type("txtDescription", "Conveyor stopped twice"), type("txtemail", "operator"),
                type("txtOffice", "Plant North"), answer("work/Conveyorstoppedtwice_operator.rca.xml"),
                press("btnSave")}); // never saved: Save asks for a name
        const FileDialogRequest request = d.platform.fileRequests.value(0);
        QCOMPARE(request.mode, FileDialogMode::Save);
        QCOMPARE(request.fileName, QString("Conveyorstoppedtwice_operator"));
        const QString target = d.path("work/Conveyorstoppedtwice_operator.rca.xml");
        QCOMPARE(readBytes(target), readBytes(dataFile("worked_example.rca.xml")));
        QCOMPARE(d.title(), QString("Root Cause Anlysis: Conveyorstoppedtwice_operator"));
        QCOMPARE(d.document().lastFolder(), d.path("work/"));
        QVERIFY2(d.platform.messages.isEmpty(), qPrintable(d.platform.messages.join('\n')));
    }

    // A header edit marks the title once; a diagram edit writes it anew; Save writes over the
    // file without asking; a link made again as it is counts as an edit.
    void editsMarkTheTitleAndSaveWritesOver()
    {
        WindowDriver d;
        d.start();
        const QString file = d.load(analysisWith(2), "Pump.rca.xml");
        run(d, {press("btnSave")});
        QCOMPARE(d.title(), QString("Root Cause Anlysis: Pump"));
        run(d, {type("txtOffice", " x")});
        QCOMPARE(d.title(), QString("Root Cause Anlysis: Pump *"));
        run(d, {at(5, 5), key(Qt::Key_Return)});
        QCOMPARE(d.title(), QString("Tessik: Pump *"));
        run(d, {press("btnSave")});
        QCOMPARE(d.platform.fileRequests.size(), 1); // the load's dialog only
        QVERIFY(readBytes(file).contains("<office>Plant North x</office>"));
        QVERIFY(!d.document().isModified());
        d.dragDiagram(20, 5, 5, 5); // linked
        run(d, {press("btnSave")});
        d.dragDiagram(20, 5, 5, 5); // linked again as it is
        QVERIFY2(d.document().isModified(), "a link made again is no edit");
    }

    // New, Quit and Load ask before unsaved work goes; No keeps everything as it was.
    void commandsThatDropWorkAsk_data()
    {
        QTest::addColumn<QString>("button");
        for (const char *button : {"btnNew", "btnQuit", "btnLoadXML"})
            QTest::newRow(button) << QString(button);
    }
    void commandsThatDropWorkAsk()
    {
        QFETCH(QString, button);
        WindowDriver d;
        d.start();
        d.load(analysisWith(3), "Conveyor_op.rca.xml");
        run(d, {type("txtDescription", "!")});
        const QStringList before = d.summary();
        d.answerMessage(MessageAnswer::No);
        d.click(button);
        QCOMPARE(d.platform.messages, QStringList{kUnsavedQuestion});
        QCOMPARE(d.summary(), before);
        QVERIFY2(!QFile::exists(d.userFolder() + "Tessik.hst"), "the history file was written");
        QCOMPARE(d.platform.fileRequests.size(), 1); // the load's dialog only
    }

    // New gives block 1 alone at the left edge, its editor open; Quit with nothing unsaved asks
    // nothing and keeps the folder of the load for the next start.
    void newThenQuitKeepsTheLastFolder()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(3), "Conveyor_op.rca.xml");
        run(d, {press("btnNew")});
        QCOMPARE(d.summary(),
                 QStringList({"Tessik", "saved running", "", d.path("work/"), "", "", "", "-1 0 (0, 0) ||"}));
        QCOMPARE(d.editedBlock(), 1);
        run(d, {press("btnCancel"), press("btnQuit")});
        QVERIFY2(d.platform.messages.isEmpty() && d.ended(), qPrintable(d.platform.messages.join('\n')));
        QCOMPARE(readBytes(d.userFolder() + "Tessik.hst"), (d.path("work/") + "\r\n").toUtf8());
    }

    // The Load dialog opens where the last file was, with the name it showed.
    void loadDialogRemembersFolderAndName()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(1), "Conveyor_op.rca.xml");
        QCOMPARE(d.platform.fileRequests[0].initialFolder, d.userFolder());
        QCOMPARE(d.platform.fileRequests[0].filter, QString("Root Cause Analysis (*.rca.xml)|*.rca.xml"));
        run(d, {press("btnLoadXML")}); // cancelled
        QCOMPARE(d.platform.fileRequests[1].initialFolder, d.path("work/"));
        QCOMPARE(d.platform.fileRequests[1].fileName, QString("Conveyor_op.rca.xml"));
        QCOMPARE(d.title(), QString("Tessik: Conveyor_op"));
    }

    // A new block opens its editor, outlined in red; OK stores caption and notes (Enter in the
    // notes is a line break, a preset is added); Cancel stores nothing; Delete frees the slot.
    void blockEditor()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(3));
        d.clickDiagram(50, -10);
        QCOMPARE(d.editedBlock(), 4);
        QCOMPARE(d.document().table().block(4).x, 45.0f);
        QCOMPARE(QApplication::focusWidget(), d.control("txtText"));
        run(d, {type("txtNotes", "Line one"), key(Qt::Key_Return), type("txtNotes", "two")});
        d.choosePreset("Science");
        run(d, {type("txtText", "New"), press("btnImplement")});
        QCOMPARE(d.document().table().block(4).caption, QString("New"));
        QCOMPARE(d.document().table().block(4).notes, QString("Line one\r\ntwo; Science"));
        QCOMPARE(d.panel(), QString("frameControl"));
        QVERIFY(d.diagramShowsTable());
        run(d, {at(50, -10)}); // opened again: it shows what it stores
        QCOMPARE(d.text("txtNotes"), QString("Line one\ntwo; Science"));
        run(d, {at(5, 5), type("txtText", "typed"), press("btnCancel")});
        QCOMPARE(d.document().table().block(1).caption, QString("Block 1"));
        run(d, {at(50, -10), press("btnDelete")});
        QCOMPARE(d.summary().last(), QString("0 0 (45, -15) ||")); // the slot keeps its place, no texts
        QVERIFY(d.diagramShowsTable());
    }

    // Opening another block moves the red outline: only the open block is outlined.
    void onlyTheOpenBlockIsOutlined()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(2));
        run(d, {at(20, 5), at(5, 5)});
        QCOMPARE(d.editedBlock(), 1);
        QVERIFY2(d.diagramShowsTable(), "a stale outline stayed");
    }

    // The press on a key picture shows the pick pointer; the release over a block, or the next
    // click on one, drops it into the field the view shows.
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
        WindowDriver d;
        d.start();
        d.load(analysisWith(2));
        d.click(notes ? "optType(0)" : "optType(1)"); // shows one of the two pictures
        const QString picture = notes ? "picLedgend" : "PicCategories";
        QVERIFY(d.isShown(picture) && !d.isShown(notes ? "PicCategories" : "picLedgend"));
        d.clickPicture(picture, notes ? QPoint(64, 63) : QPoint(160, 30));
        QVERIFY2(d.pickPointer(), "no pick pointer");
        const QPoint at = notes ? QPoint(62, 15) : QPoint(100, 75); // a second press replaces the value
        if (dragged) {
            d.dragPicture(picture, at, float(to.x()), float(to.y()));
        } else {
            d.clickPicture(picture, at);
            d.clickDiagram(float(to.x()), float(to.y())); // the press neither opens nor adds
        }
        QVERIFY2(!d.pickPointer(), "the pick pointer stayed");
        QCOMPARE(d.panel(), QString("frameControl"));
        const Block &first = d.document().table().block(1);
        QCOMPARE(notes ? first.notes : first.category, value);
        QCOMPARE(notes ? first.category : first.notes, QString());
        QCOMPARE(d.document().table().usedSlots(), 2);
        QCOMPARE(d.document().isModified(), !value.isEmpty());
        QCOMPARE(d.diagramColour(5, 1), value.isEmpty() ? kWhite : notes ? RGB(191, 255, 191) : RGB(96, 246, 121));
        d.click(notes ? "optType(1)" : "optType(0)"); // the other view colours by its own field
        QVERIFY(d.diagramShowsTable());
    }

    // The search lists the folder of the last file; a click asks about unsaved edits, then opens
    // the entry with the phrase highlighted, leaving LastFolder and the panel as they were.
    void searchOpensAResultWithItsHits()
    {
        WindowDriver d;
        Analysis a = analysisWith(2);
        a.description = "Conveyor stopped twice";
        a.table.setCaption(2, "Sensor data missing");
        writeBytes(d.path("work/Conveyor_op.rca.xml"), writeAnalysis(a));
        d.start();
        d.load(analysisWith(1), "Pump.rca.xml");
        run(d, {at(50, 0), key(Qt::Key_Return)}); // an unsaved edit
        run(d, {search("SENSOR")});
        QCOMPARE(d.entries(), QStringList{kConveyor});
        d.answerMessage(MessageAnswer::No);
        d.clickEntry(0);
        QCOMPARE(d.title(), QString("Tessik: Pump *"));
        d.answerMessage(MessageAnswer::Yes);
        d.clickEntry(0);
        QCOMPARE(d.platform.messages, QStringList(2, kUnsavedQuestion));
        QCOMPARE(d.title(), QString("Tessik: Conveyor_op"));
        QCOMPARE(d.document().currentFile(), d.path("work/Conveyor_op.rca.xml"));
        QCOMPARE(d.document().lastFolder(), d.path("work/"));
        QCOMPARE(d.panel(), QString("frameAnalyze"));            // open for the next one
        QCOMPARE(d.diagramColour(15, 5), kRed);                  // the hit's outline
        QCOMPARE(d.diagramColour(25.2f, 5), RGB(255, 164, 164)); // and its shadow
        QCOMPARE(d.diagramColour(0, 5), kBlack);                 // the other block is plain
        QVERIFY(d.diagramShowsTable());
    }

    // Enter searches as the button does and inserts nothing; Done closes; opening again starts
    // with an empty phrase and list.
    void searchPanelOpensAfresh()
    {
        WindowDriver d;
        put(d, "Conveyor_op.rca.xml", "Conveyor stopped twice", "Sensor data missing");
        d.start();
        run(d, {load("work/Conveyor_op.rca.xml"), press("btnAnalyze")});
        QCOMPARE(QApplication::focusWidget(), d.control("txtKeyWord"));
        run(d, {type("txtKeyWord", "block"), key(Qt::Key_Return)});
        d.waitForSearch();
        QCOMPARE(d.text("txtKeyWord"), QString("block"));
        QCOMPARE(d.entries(), QStringList{kConveyor});
        run(d, {press("btnAnalysisDone")});
        QCOMPARE(d.panel(), QString("frameControl"));
        run(d, {press("btnAnalyze")});
        QCOMPARE(d.text("txtKeyWord"), QString());
        QCOMPARE(d.entries(), QStringList());
    }

    // Every row is as wide as the widest entry in pixels, so no entry is cut, whatever its
    // letters; the row's tooltip names the whole file.
    void resultEntriesShowWhole()
    {
        WindowDriver d;
        put(d, "Wide.rca.xml", QString(40, 'W'), "x");
        put(d, "Narrow.rca.xml", QString(60, 'i'), "x");
        d.start();
        run(d, {load("work/Wide.rca.xml"), search("block")});
        auto *list = d.find<QListView>("lstFileNames");
        for (int row = 0; row < 2; ++row) {
            const QModelIndex entry = list->model()->index(row, 0);
            const int needed = list->fontMetrics().horizontalAdvance(entry.data().toString());
            QVERIFY2(list->visualRect(entry).width() > needed, qPrintable(entry.data().toString()));
        }
        QCOMPARE(list->textElideMode(), Qt::ElideNone);
        QCOMPARE(list->model()->index(1, 0).data(Qt::ToolTipRole).toString(), // "W" after "i"
                 QDir::toNativeSeparators(d.path("work/Wide.rca.xml")));
    }

    // The search runs beside the window: cancelled, or replaced by a new one, it leaves the panel
    // showing the outcome of the last search that ran to its end. A search for "block" (every
    // file) has ended; one for "drain" runs, and has reported without the window handling it
    // yet, when the row's gesture comes.
    void cancelOrReplaceTheRunningSearch_data()
    {
        QTest::addColumn<QList<Step>>("gesture");
        QTest::addColumn<QStringList>("shown"); // the entries afterwards
        const Step clear = [](WindowDriver &d) { d.setText("txtKeyWord", ""); };
        QTest::newRow("Cancel") << QList<Step>{press("btnSearch")} << QStringList({kFlood, kConveyor, kPress});
        QTest::newRow("Esc") << QList<Step>{key(Qt::Key_Escape)} << QStringList({kFlood, kConveyor, kPress});
        QTest::newRow("a new search") << QList<Step>{clear, type("txtKeyWord", "SENSOR"), key(Qt::Key_Return)}
                                      << QStringList({kConveyor, kPress});
    }
    void cancelOrReplaceTheRunningSearch()
    {
        QFETCH(QList<Step>, gesture);
        QFETCH(QStringList, shown);
        WindowDriver d;
        put(d, "Conveyor_op.rca.xml", "Conveyor stopped twice", "Sensor data missing");
        put(d, "Press.rca.xml", "Press jammed", "Sensor misaligned");
        put(d, "Flood.rca.xml", "Basement flooded", "Drain blocked");
        QFile::link(d.path("nowhere"), d.path("work/Dangling.rca.xml"));
        d.start();
        run(d, {load("work/Flood.rca.xml"), search("block")});
        QCOMPARE(d.text("prgSearch"), QString("4 of 4 files read")); // the bar ended full
        d.setText("txtKeyWord", "drain");
        d.click("btnSearch");
        QCOMPARE(d.text("btnSearch"), QString("Cancel"));
        QThread::msleep(100);
        run(d, gesture);
        d.waitForSearch();
        QCOMPARE(d.text("btnSearch"), QString("Search"));
        QCOMPARE(d.entries(), shown);
        QCOMPARE(d.text("lblSearchStatus"), kStatus);
        QCOMPARE(d.panel(), QString("frameAnalyze"));
    }

    // One click reveals one generation: the first click of a run fades quickly to the empty
    // picture, each later one in 30 frames of 50 ms. The other button goes on with the same run.
    void replayRevealsOneGenerationPerClick()
    {
        WindowDriver d;
        d.start();
        d.load(family());
        d.click("btnAnimate");
        QCOMPARE(d.platform.pauses, QList<int>(30, 1));
        QVERIFY2(nearly(d.diagramColour(0, 5), kWhite), "the run did not start from an empty picture");
        d.click("btnAnimate"); // the causes without children: 3 and 4, highlighted
        QCOMPARE(d.platform.pauses.mid(30), QList<int>(30, 50));
        QVERIFY2(nearly(d.diagramColour(30, 5), kRed), "block 3 is not highlighted");
        QVERIFY2(nearly(d.diagramColour(0, 5), kWhite), "block 1 is not hidden");
        d.click("btnAnimateForward"); // from the impacts: block 1
        QVERIFY2(nearly(d.diagramColour(0, 5), kRed), "block 1 is not highlighted");
        run(d, {at(5, 5), key(Qt::Key_Return)}); // an edit ends the run: the next click starts anew
        d.click("btnAnimateForward");
        QCOMPARE(d.platform.pauses.mid(90), QList<int>(30, 1));
    }

    // While its fade runs, a replay button takes no click; the other button stays live.
    void replayButtonWaitsForItsFade()
    {
        WindowDriver d;
        d.start();
        d.load(family());
        QList<bool> enabled;
        d.platform.duringPause = [&] {
            enabled << d.control("btnAnimate")->isEnabled() << d.control("btnAnimateForward")->isEnabled();
        };
        d.click("btnAnimate");
        QCOMPARE(enabled.mid(0, 2), QList<bool>({false, true}));
        d.click("btnAnimateForward");
        QCOMPARE(enabled.mid(60, 2), QList<bool>({true, false}));
        QVERIFY(d.control("btnAnimate")->isEnabled() && d.control("btnAnimateForward")->isEnabled());
    }

    // The snapshot lands in the folder of the file last chosen in a dialog and holds the picture;
    // where it cannot be written, a message names the file.
    void snapshotLandsWhereTheDialogLeftOff()
    {
        WindowDriver d;
        d.start();
        d.platform.current = d.path("appdata"); // until the dialog chooses a file in work
        d.load(family());
        d.click("btnSnapShot");
        QCOMPARE(d.platform.openedUrls, QStringList{d.path("work/RCA_Snapshot.bmp")});
        QCOMPARE(QImage(d.platform.openedUrls[0], "BMP").convertToFormat(QImage::Format_RGB32),
                 d.diagramSurface().image());
        d.platform.current = d.path("vanished");
        d.click("btnSnapShot");
        QCOMPARE(d.platform.messages.size(), 1);
        QVERIFY(d.platform.messages[0].contains("RCA_Snapshot.bmp"));
    }

    // The training link opens its page and moves the focus to the description, which is no edit.
    void trainingOpensItsPage()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(1));
        d.click("btnTraining");
        QVERIFY(d.platform.openedUrls.value(0).startsWith("https://"));
        QCOMPARE(QApplication::focusWidget(), d.control("txtDescription"));
        QCOMPARE(d.title(), QString("Tessik: A"));
    }

    // The diagram fills the window above the panels with 10 pixels round it; the panels share one
    // place at the bottom, 10 pixels above the window's lower edge; all follow a resize, and the
    // diagram is drawn at its new size.
    void diagramAndPanelsFollowTheWindowSize()
    {
        WindowDriver d;
        QWidget &w = d.start();
        const QRect diagram = d.control("picDiagram")->geometry(), panel = d.control("frameControl")->geometry();
        QCOMPARE(diagram.topLeft(), QPoint(10, 10));
        QCOMPARE(w.width() - diagram.right() - 1, 10);
        QCOMPARE(w.height() - panel.bottom() - 1, 10);
        QCOMPARE(panel.top(), diagram.bottom() + 1);
        QCOMPARE(panel.width(), diagram.width());
        run(d, {at(5, 5)}); // the editor open follows the command panel too
        const QRect button = d.control("btnImplement")->geometry();
        w.resize(w.width() + 100, w.height() + 50);
        QCOMPARE(d.control("picDiagram")->geometry(), diagram.adjusted(0, 0, 100, 50));
        for (const char *name : {"frameControl", "frameEdit", "frameAnalyze"})
            QCOMPARE(d.control(name)->geometry(), panel.adjusted(0, 50, 100, 50));
        QCOMPARE(d.control("btnImplement")->geometry(), button); // controls keep their places
        QCOMPARE(d.diagramSurface().image().size(), d.control("picDiagram")->contentsRect().size());
        QVERIFY2(d.diagramShowsTable(), "the editor's outline went with the resize");
    }

    // The window cannot be made smaller than the size at which every control of the panel on show
    // is seen and clicked whole, and a block at the top shows whole, shadow included.
    void everyControlStaysReachable()
    {
        WindowDriver d;
        QWidget &w = d.start();
        w.resize(200, 100);
        QCOMPARE(w.size(), w.minimumSize());
        d.clickDiagram(5, d.mapping().DiagramTop + 5.5f); // a block at the top, its editor open
        for (const char *next : {"btnCancel", "btnAnalyze", "btnAnalysisDone"}) {
            const QList<QWidget *> controls = d.control(d.panel())->findChildren<QWidget *>()
                                              << d.control("picDiagram");
            for (QWidget *c : controls) {
                if (c->objectName().isEmpty() || c->objectName().startsWith("qt_") || !c->isVisible())
                    continue;
                const QRect r(c->mapTo(&w, QPoint()), c->size());
                QWidget *hit = w.childAt(r.center());
                QVERIFY2(w.rect().contains(r) && (hit == c || c->isAncestorOf(hit)), qPrintable(c->objectName()));
            }
            d.click(next);
        }
        QCOMPARE(d.diagramColour(5, d.document().table().block(1).y + 10.4f), kShadowColour);
    }

    // The system's close command asks as Quit does; Yes ends and writes the history file.
    void closingTheWindowAsksAsQuitDoes()
    {
        WindowDriver d;
        d.start();
        run(d, {at(5, 5), key(Qt::Key_Return)});
        d.answerMessage(MessageAnswer::Yes);
        d.closeWindow();
        QCOMPARE(d.platform.messages, QStringList{kUnsavedQuestion});
        QVERIFY(d.ended());
        QCOMPARE(readBytes(d.userFolder() + "Tessik.hst"), (d.userFolder() + "\r\n").toUtf8());
    }

    // Under a dark desktop palette every text control stays readable: its text and background
    // differ by a contrast ratio of at least 4.5, in every panel.
    void textStaysReadableInADarkTheme()
    {
        const QPalette before = QApplication::palette();
        QPalette dark;
        for (const auto &[role, colour] : {std::pair{QPalette::Window, QColor(45, 45, 45)},
                                           {QPalette::WindowText, QColor(235, 235, 235)},
                                           {QPalette::Base, QColor(30, 30, 30)},
                                           {QPalette::Text, QColor(235, 235, 235)},
                                           {QPalette::Button, QColor(60, 60, 60)},
                                           {QPalette::ButtonText, QColor(235, 235, 235)}})
            dark.setColor(role, colour);
        QApplication::setPalette(dark);
        WindowDriver d;
        d.start();
        QStringList unreadable;
        for (const QWidget *c : d.window().findChildren<QWidget *>()) {
            const bool box = c->inherits("QLineEdit") || c->inherits("QPlainTextEdit");
            const bool text = box || c->inherits("QLabel") || c->inherits("QAbstractButton");
            if (!text || c->objectName().isEmpty() || c->objectName().startsWith("qt_"))
                continue;
            const QPalette &p = c->palette();
            const QColor fore = p.color(box                     ? QPalette::Text
                                        : c->inherits("QLabel") ? QPalette::WindowText
                                                                : QPalette::ButtonText);
            const QColor back = p.color(box                     ? QPalette::Base
                                        : c->inherits("QLabel") ? QPalette::Window
                                                                : QPalette::Button);
            if (contrast(fore, back) < 4.5)
                unreadable << QString("%1 (%2)").arg(c->objectName()).arg(contrast(fore, back), 0, 'f', 1);
        }
        QApplication::setPalette(before);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(", ")));
    }

    // Buttons other than the three, and the sunken border, do nothing.
    void strayPressesDoNothing()
    {
        WindowDriver d;
        d.start();
        QWidget *diagram = d.control("picDiagram");
        QTest::mouseClick(diagram, Qt::BackButton, {}, diagram->contentsRect().center());
        QTest::mouseClick(diagram, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(d.document().table().usedSlots(), 0);
        QCOMPARE(d.panel(), QString("frameControl"));
    }
};

TESSIK_TEST(WorkflowsTest)
#include "workflows_test.moc"

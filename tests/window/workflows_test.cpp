// A user's ways through the real window, dialogs and message boxes answered by the fake platform.
#include "app/core/recovery_copies.h"
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

const QString kGap(91, ' ');
const QString kConveyor = "Conveyor stopped twice" + kGap + "[Conveyor_op]", kPress = "Press jammed" + kGap + "[Press]",
              kFlood = "Basement flooded" + kGap + "[Flood]", kPump = "Pump failure" + kGap + "[Pump]";

// Each entry of the search's result list is wider than its text; the last names Wide.rca.xml.
const Step entriesShownWhole = [](WindowDriver &d) {
    auto *list = d.find<QListView>("lstFileNames");
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex entry = list->model()->index(row, 0);
        const int needed = list->fontMetrics().horizontalAdvance(entry.data().toString());
        QVERIFY2(list->visualRect(entry).width() > needed, qPrintable(entry.data().toString()));
    }
    QCOMPARE(list->model()->index(list->model()->rowCount() - 1, 0).data(Qt::ToolTipRole).toString(),
             QDir::toNativeSeparators(d.path("work/Wide.rca.xml")));
};

// The snapshot opened holds the diagram's picture.
const Step snapshotIsTheDiagram = [](WindowDriver &d) {
    QCOMPARE(QImage(d.platform.openedUrls.value(0), "BMP").convertToFormat(QImage::Format_RGB32),
             d.diagramSurface().image());
};
// The diagram's box, moved from a screen of twice the density, draws its bitmap anew.
const Step fromADenserScreen = [](WindowDriver &d) {
    d.diagramSurface().setDevicePixelRatio(2);
    QEvent moved(QEvent::ScreenChangeInternal);
    QApplication::sendEvent(d.control("picDiagram"), &moved);
};

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
        const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

} // namespace

class WorkflowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    // The copy of unsaved work holds what the block editor has typed, and Cancel takes the typing
    // out of it: an analysis left as it was saved keeps no copy.
    void cancelTakesTheTypingOutOfTheRecoveryCopy()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(3), "Pump.rca.xml");
        const QDir copies(d.userFolder() + kRecoveryFolderName, "*.analysis");
        run(d, {at(20, 5), type("txtText", " leaks")});
        QTRY_VERIFY2(copies.entryList(QDir::Files).size() == 1, "no copy of the typing was kept");
        d.click("btnCancel");
        QTRY_VERIFY2(copies.entryList(QDir::Files).isEmpty(), "the cancelled typing is still kept in a copy");
    }

    // What each gesture through the window does, losing nothing. The Load dialog opens in the per-user folder, then
    // where the last file was, with its name. New gives block 1 alone at the left edge, its editor open. Closing the
    // window with nothing unsaved asks nothing, ends, and keeps the folder of the load for the next start. A new block
    // opens its editor, outlined in red, the focus in its caption; OK stores caption and notes (Enter in the notes is a
    // line break); opened again, the editor shows what it stores; another block opened moves the outline; Delete frees
    // the slot, which keeps its place. The training link opens its page and moves the focus to the description. A link
    // made again as it is counts as an edit. The snapshot lands in the folder of the file last chosen in a dialog and
    // holds the picture; where it cannot be written, a message names the file.
    void gestures_data()
    {
        QTest::addColumn<Gesture>("row");
        const QString clean = "Tessik: Pump", marked = "Tessik: Pump *";
        const QList<Step> typed{at(50, -10), type("txtNotes", "Line one"), key(Qt::Key_Return),
                                type("txtNotes", "two")},
            added = typed + QList<Step>{type("txtText", "New"), press("btnImplement")};
        const auto currentFolder = [](const QString &folder) {
            return Step([=](WindowDriver &d) { d.platform.current = d.path(folder); });
        };
        addGesture("Load", {}, {cancelled, press("btnLoadXML")}, 0, clean, 3,
                   {"appdata/Tessik/|\n", "work/|Pump.rca.xml\n"});
        // The last folder, then the three header boxes empty.
        addGesture("New", {}, {press("btnNew")}, 0, "Tessik", 1, {"work/\n\n\n\n-1 0 (0, 0) ||", "editing 1"});
        addGesture("close", {}, {closeWindow}, 0, clean, 3, {"saved ended", "work/\r\n"});
        addGesture("OK, then opened again", {}, added + QList{at(50, -10)}, 0, marked, 4,
                   {"-1 0 (45, -15) New|Line one\r\ntwo|", "editor New|Line one\ntwo", "editing 4", "focus txtText"});
        addGesture("another block opened", {}, {at(20, 5), at(5, 5)}, 0, clean, 3, {"editing 1"});
        addGesture("Delete", {}, {at(5, 5), press("btnDelete")}, 0, marked, 3, {"0 0 (0, 0) ||"});
        // A preset adds its word to the notes; a heading of the list adds nothing.
        addGesture("presets", {},
                   {at(5, 5),
                    [](WindowDriver &d) { d.choosePreset("<Select Categories>"), d.choosePreset("Technology"); },
                    press("btnImplement")},
                   0, marked, 3, {"Block 1|Technology|"});
        addGesture("training", {}, {press("btnTraining")}, 0, clean, 3, {"\nhttps://", "focus txtDescription"});
        addGesture("a link made again as it is", {},
                   {drag(20, 5, 5, 5), answer("work/B"), press("btnSaveAs"), drag(20, 5, 5, 5)}, 0, "Tessik: B *", 3,
                   {"-1 1 (15, 0) Block 2"});
        // The dialog asks before a name that is there already; with the ending given, none asks again.
        addGesture("Save As onto the file saved, by its whole name", {},
                   {answer("work/Kept.rca.xml"), press("btnSaveAs"), answer("work/Kept.rca.xml"), press("btnSaveAs")},
                   0, "Root Cause Anlysis: Kept", 3, {"work/Kept.rca.xml"});
        addGesture("snapshot", {},
                   {currentFolder("appdata"), load("work/Pump.rca.xml"), press("btnSnapShot"), snapshotIsTheDiagram}, 0,
                   clean, 3, {"work/RCA_Snapshot.bmp"});
        addGesture("snapshot that cannot be written", {}, {currentFolder("vanished"), press("btnSnapShot")}, 1, clean,
                   3, {"RCA_Snapshot.bmp"});
        addGesture("moved to a screen of another density", {}, {fromADenserScreen}, 0, clean, 3, {});
        // A block dragged by less than a pixel stays where it was, and the drag leaves no trace on the diagram.
        addGesture("a drag that moves nothing", {}, {drag(20, 5, 20.02f, 5)}, 0, marked, 3, {"-1 0 (15, 0) Block 2||"});
        // The press on a key picture shows the pick pointer; a second press replaces the value; the
        // release over a block, or the next click on one, drops it into the field the view shows.
        const Step categories = press("optType(1)"), notes = press("optType(0)"); // each shows its picture
        const auto pick = [](QString picture, QPoint at) -> Step {
            return [=](WindowDriver &d) { d.clickPicture(picture, at); };
        };
        const auto dragOntoBlock1 = [](QString picture, QPoint at) -> Step {
            return [=](WindowDriver &d) { d.dragPicture(picture, at, 5, 5); };
        };
        addGesture("category dragged onto a block", {},
                   {categories, pick("PicCategories", {160, 30}), dragOntoBlock1("PicCategories", {100, 75})}, 0,
                   marked, 3, {"Block 1||Motives", "frameControl", "pointer normal"});
        addGesture("notes dragged onto a block", {},
                   {notes, pick("picLedgend", {64, 63}), dragOntoBlock1("picLedgend", {62, 15})}, 0, marked, 3,
                   {"Block 1|Technology|", "frameControl", "pointer normal"});
        addGesture("notes clicked, then empty space", {},
                   {notes, pick("picLedgend", {64, 63}), pick("picLedgend", {62, 15}), at(25, 15)}, 0, clean, 3,
                   {"frameControl", "pointer normal"});
        // The search runs beside the window: cancelled, or replaced by a new one, it leaves the
        // panel showing the outcome of the last search that ran to its end. A search for "block"
        // (every file) has ended, the bar full; one for "drain" runs, and has reported without the
        // window handling it yet, when the row's gesture comes. Closed and opened again, the panel
        // starts afresh, without the last search's status. Every entry is as wide as the widest in pixels, so none is
        // cut, whatever its letters; its tooltip names the whole file.
        const auto file = [](const QString &description, const QString &caption) {
            Analysis a{description, "op", "O", {}};
            a.table.setCaption(a.table.addBlock(5, 5), caption);
            return writeAnalysis(a);
        };
        const QMap<QString, QByteArray> three{
            {"work/Conveyor_op.rca.xml", file("Conveyor stopped twice", "Sensor data missing")},
            {"work/Press.rca.xml", file("Press jammed", "Sensor misaligned")},
            {"work/Flood.rca.xml", file("Basement flooded", "Drain blocked")}};
        const auto phrase = [](QString text) -> Step {
            return [=](WindowDriver &d) { d.setText("txtKeyWord", text); };
        };
        const Step dangling = [](WindowDriver &d) { QFile::link(d.path("nowhere"), d.path("work/Dangling.rca.xml")); };
        const Step barFull = [](WindowDriver &d) { QCOMPARE(d.text("prgSearch"), QString("5 of 5 files read")); };
        const Step barShown = [](WindowDriver &d) {
            QVERIFY2(d.control("prgSearch")->isVisible(), "no progress is shown while the search runs");
        };
        const Step barHidden = [](WindowDriver &d) {
            QVERIFY2(!d.control("prgSearch")->isVisible(), "the progress is still shown once the search has ended");
        };
        const Step briefly = [](WindowDriver &) { QThread::msleep(100); },
                   ended = [](WindowDriver &d) { d.waitForSearch(); };
        const QList<Step> running{dangling,        search("block"),    barFull, barHidden,
                                  phrase("drain"), press("btnSearch"), briefly, barShown};
        const QString all = "entries: " + QStringList{kFlood, kConveyor, kPress, kPump}.join('|') + '\n',
                      status = "|Search|1 file could not be read and was left out.\n";
        addGesture("Cancel", three, running + QList<Step>{press("btnSearch"), ended, barHidden}, 0, clean, 3,
                   {all, "drain" + status});
        addGesture("Esc", three, running + QList<Step>{key(Qt::Key_Escape), ended, barHidden}, 0, clean, 3,
                   {all, "drain" + status});
        addGesture("a new search, by Enter", three,
                   running + QList<Step>{phrase("SENSOR"), key(Qt::Key_Return), ended, barHidden}, 0, clean, 3,
                   {"entries: " + kConveyor + '|' + kPress + '\n', "SENSOR" + status});
        addGesture("closed and opened again", three,
                   {dangling, search("block"), press("btnAnalysisDone"), press("btnAnalyze")}, 0, clean, 3,
                   {"entries: \n", "search |Search|\n", "focus txtKeyWord"});
        addGesture(
            "entries shown whole",
            {{"work/Wide.rca.xml", file(QString(40, 'W'), "x")}, {"work/Narrow.rca.xml", file(QString(60, 'i'), "x")}},
            {search("x"), entriesShownWhole}, 0, clean, 3, {"frameAnalyze"});
    }
    void gestures()
    {
        QFETCH(Gesture, row);
        checkGesture(row);
    }

    // One click reveals one generation: the first click of a run fades quickly to the empty
    // picture, each later one in 30 frames of 50 ms. While its fade runs a button takes no click;
    // the other one stays live and goes on with the same run. An edit ends the run.
    void replayRevealsOneGenerationPerClick()
    {
        WindowDriver d;
        d.start();
        Analysis family = analysisWith(4); // 1 with children 2 and 4, 2 with child 3
        family.table.link(2, 1);
        family.table.link(4, 1);
        family.table.link(3, 2);
        d.load(family);
        QList<bool> live; // both buttons at each frame
        d.platform.duringPause = [&] {
            live << d.control("btnAnimate")->isEnabled() << d.control("btnAnimateForward")->isEnabled();
        };
        d.click("btnAnimate");
        QCOMPARE(d.platform.pauses, QList<int>(30, 1));
        QCOMPARE(live.mid(0, 2), QList<bool>({false, true}));
        d.click("btnAnimate"); // backward: the causes without children, 3 and 4
        QCOMPARE(d.platform.pauses.mid(30), QList<int>(30, 50));
        QVERIFY2(nearly(d.diagramColour(0, 5), kWhite), "block 1 is not hidden");
        d.click("btnAnimateForward"); // from the impacts: block 1
        QCOMPARE(live.mid(120, 2), QList<bool>({true, false}));
        QVERIFY2(nearly(d.diagramColour(0, 5), kRed), "block 1 is not highlighted");
        run(d, {at(5, 5), key(Qt::Key_Return)}); // the next click starts anew
        d.click("btnAnimateForward");
        QCOMPARE(d.platform.pauses.mid(90), QList<int>(30, 1));
        COMPARE_FACTS(bool, {"btnAnimate enabled", d.control("btnAnimate")->isEnabled(), true},
                      {"btnAnimateForward enabled", d.control("btnAnimateForward")->isEnabled(), true});
    }

    // The controls inside the panels keep the places they were drawn at, at any window size.
    void controlsKeepTheirPlaces_data() { addRowsFrom("layout.tsv"); }
    void controlsKeepTheirPlaces()
    {
        QFETCH(QStringList, row);
        WindowDriver d;
        d.start().resize(1400, 900);
        QWidget *control = d.control(QTest::currentDataTag());
        QCOMPARE(control->geometry(), QRect(row[0].toInt(), row[1].toInt(), row[2].toInt(), row[3].toInt()));
        QCOMPARE(control->isHidden(), row.value(4) == "hidden");
        if (control->objectName().startsWith("Line"))
            QCOMPARE(control->grab().toImage().pixelColor(0, 0), QColor(192, 192, 192));
    }

    // The window cannot be made smaller than the size at which a block at the top shows whole,
    // shadow included; the diagram's picture follows each resize, the editor's outline with it, and
    // the panel draws its sunken box. (Where each control goes is in the journey's transcript.)
    void theDiagramIsDrawnAtEverySize()
    {
        WindowDriver d;
        QWidget &w = d.start();
        w.resize(200, 100);
        QCOMPARE(w.size(), w.minimumSize());
        d.clickDiagram(5, d.mapping().DiagramTop + 5.5f); // a block at the top, its editor open
        QCOMPARE(d.diagramColour(5, d.document().table().block(1).y + 10.4f), kShadowColour);
        for (const QSize by : {QSize(30, 0), QSize(0, 30)}) {
            w.resize(w.size() + by);
            QCOMPARE(d.diagramSurface().image().size(), d.control("picDiagram")->contentsRect().size());
        }
        QVERIFY2(d.diagramShowsTable(), "the editor's outline went with the resize");
        const QImage edge = d.control("frameEdit")->grab().toImage();
        QVERIFY2(edge.pixel(0, 125) != edge.pixel(3, 125), "the panel has no frame");
    }

    // Under a dark desktop palette every text control stays readable: its text and background
    // differ by a contrast ratio of at least 4.5.
    void textStaysReadableInADarkTheme()
    {
        const QPalette before = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(45, 45, 45))); // light text on dark buttons and boxes
        WindowDriver d;
        d.start();
        QStringList unreadable;
        for (const QWidget *c : d.window().findChildren<QWidget *>()) {
            const bool box = c->inherits("QLineEdit") || c->inherits("QPlainTextEdit"), label = c->inherits("QLabel");
            if (!(box || label || c->inherits("QAbstractButton")) || c->objectName().isEmpty() ||
                c->objectName().startsWith("qt_"))
                continue;
            const auto [fore, back] = box     ? std::pair(QPalette::Text, QPalette::Base)
                                      : label ? std::pair(QPalette::WindowText, QPalette::Window)
                                              : std::pair(QPalette::ButtonText, QPalette::Button);
            const double ratio = contrast(c->palette().color(fore), c->palette().color(back));
            if (ratio < 4.5)
                unreadable << QString("%1 (%2)").arg(c->objectName()).arg(ratio, 0, 'f', 1);
        }
        QApplication::setPalette(before);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(", ")));
    }
};

TESSIK_TEST(WorkflowsTest)
#include "workflows_test.moc"

// The keyboard through the real window: each key does what a click on its button does, Confirm
// included, and nothing while the button's panel is hidden; Esc closes the editor and the search.
#include "support/test_main.h"
#include "support/window.h"

#include <QFile>
#include <QProcess>

using namespace tessik;
using namespace tessik::test;

namespace {

const Step pageDrawn = [](WindowDriver &d) {
    QImage white = d.platform.printedPages.value(0);
    white.fill(Qt::white);
    QVERIFY2(!white.isNull() && d.platform.printedPages[0] != white, "nothing was drawn on the page");
};
// The report of Pump.rca.xml, its first caption edited, saying when the file was last saved.
const Step reportShowsTheEdit = [](WindowDriver &d) {
    QProcess text;
    text.start("pdftotext", {d.path("work/Pump report.pdf"), "-"});
    QVERIFY(text.waitForFinished());
    const QByteArray report = text.readAllStandardOutput();
    QVERIFY2(report.contains("Seal Block 1"), "the report does not show the unsaved caption");
    QVERIFY2(report.contains("2001-02-03 04:05"), "the report does not say when the file was saved");
};
// The file's time set back, so that it differs from the report's own.
const Step savedLongAgo = [](WindowDriver &d) {
    QFile file(d.path("work/Pump.rca.xml"));
    QVERIFY(file.open(QIODevice::ReadWrite) &&
            file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5)), QFileDevice::FileModificationTime));
};

} // namespace

class KeysTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    // A key from a text box does what a click on its button does, Confirm included, and nothing
    // while its button's panel is hidden; Esc closes the editor and the search.
    void keysActAsTheirButtons_data()
    {
        QTest::addColumn<Gesture>("row");
        const auto ctrl = [](Qt::Key k, Qt::KeyboardModifiers also = {}) {
            return key(QKeyCombination(Qt::ControlModifier | also, k));
        };
        const Step edit = type("txtemail", "x"),
                   yes = [](WindowDriver &d) { d.platform.messageAnswers.enqueue(MessageAnswer::Yes); };
        const Step printing = [](WindowDriver &d) { d.platform.printAnswers << PrintOutcome::Printed; },
                   failing = [](WindowDriver &d) { d.platform.printAnswers << PrintOutcome::Failed; };
        const QString clean = "Tessik: Pump", marked = "Tessik: Pump *", saved = "Root Cause Anlysis: Pump";
        addGesture("Ctrl+N asks, Yes", {}, {edit, yes, ctrl(Qt::Key_N)}, 1, "Tessik", 1, {"frameEdit"});
        addGesture("Ctrl+O asks, Yes", {}, {edit, yes, answer("work/Pump.rca.xml"), ctrl(Qt::Key_O)}, 1, clean, 3, {});
        addGesture("Ctrl+S saves", {}, {focus("txtemail"), ctrl(Qt::Key_S)}, 0, saved, 3, {"saved running"});
        addGesture("Ctrl+Shift+S", {}, {focus("txtDescription"), answer("work/B"), ctrl(Qt::Key_S, Qt::ShiftModifier)},
                   0, "Root Cause Anlysis: B", 3, {"dialog Select a Root Cause Analysis", "|Pumpfailure_op\n"});
        addGesture("Ctrl+F", {}, {focus("txtOffice"), ctrl(Qt::Key_F)}, 0, clean, 3, {"frameAnalyze"});
        addGesture("Ctrl+Q asks, Yes", {}, {edit, yes, ctrl(Qt::Key_Q)}, 1, marked, 3, {"ended"});
        addGesture("Ctrl+E", {}, {focus("txtDescription"), cancelled, ctrl(Qt::Key_E)}, 0, clean, 3,
                   {"dialog Save a picture of the diagram"});
        addGesture("Ctrl+P, the print fails", {}, {failing, focus("txtemail"), ctrl(Qt::Key_P)}, 1, clean, 3,
                   {"The diagram could not be printed."});
        // A print offers the page turned to the diagram's shape and draws the diagram on it.
        addGesture("Ctrl+P", {}, {printing, ctrl(Qt::Key_P), pageDrawn}, 0, clean, 3, {"print Pump landscape"});
        // The report shows what the window shows, unsaved edits included, and is no save; a name
        // typed without an ending becomes a PDF.
        addGesture("Ctrl+R", {},
                   {savedLongAgo, at(5, 5), type("txtText", "Seal "), press("btnImplement"), answer("work/Pump report"),
                    focus("txtOffice"), ctrl(Qt::Key_R), reportShowsTheEdit},
                   0, marked, 3, {"dialog Save a report of the analysis in ", "work/|Pump.pdf\n"});
        addGesture("Ctrl+R in the editor does nothing", {}, {at(5, 5), focus("txtNotes"), ctrl(Qt::Key_R)}, 0, clean, 3,
                   {"frameEdit"});
        addGesture("Esc cancels the editor", {}, {at(5, 5), type("txtText", "typed"), key(Qt::Key_Escape)}, 0, clean, 3,
                   {"frameControl", "Block 1||"});
        addGesture("Esc closes the search", {}, {press("btnAnalyze"), key(Qt::Key_Escape)}, 0, clean, 3,
                   {"frameControl"});
        addGesture("Ctrl+Shift+S in the editor stores, closes, saves", {},
                   {at(5, 5), type("txtNotes", "x"), answer("work/B"), ctrl(Qt::Key_S, Qt::ShiftModifier)}, 0,
                   "Root Cause Anlysis: B", 3, {"frameControl", "Block 1|x|"});
        // Saved from an editor where nothing was typed: no edit was made, so there is none to undo.
        addGesture("Ctrl+S in the editor, nothing typed, saves; Ctrl+Z", {},
                   {at(5, 5), ctrl(Qt::Key_S), key(Qt::CTRL | Qt::Key_Z)}, 0, saved, 3, {"frameControl"});
        // The editor open on a block shows what an undo gives the block back, outlined in red again.
        addGesture("Ctrl+Z in the editor", {},
                   {at(5, 5), type("txtText", "Worn "), type("txtNotes", "seal"), press("btnImplement"), at(5, 5),
                    key(Qt::CTRL | Qt::Key_Z)},
                   0, clean, 3, {"editing 1", "editor Block 1|\n"});
        // A classification given by its key to the block being edited replaces the notes typed.
        addGesture("2 in the notes view, the editor open", {},
                   {press("optType(0)"), at(5, 5), type("txtNotes", "Seal"), focus("picDiagram"), key(Qt::Key_2),
                    focus("txtOffice")},
                   0, marked, 3, {"editor Block 1|Technology"});
        // Given to another block, it leaves the editor's notes alone.
        addGesture("2 in the notes view on another block, the editor open", {},
                   {press("optType(0)"), at(5, 5), type("txtNotes", "Seal"), focus("picDiagram"), key(Qt::Key_Right),
                    key(Qt::Key_2), press("btnImplement")},
                   0, marked, 3, {"Block 1|Seal|", "Block 2|Technology|"});
        addGesture("Ctrl+N in the editor does nothing", {}, {at(5, 5), ctrl(Qt::Key_N)}, 0, clean, 3, {"editing 1"});
        addGesture("Ctrl+S in the search does nothing", {}, {edit, press("btnAnalyze"), ctrl(Qt::Key_S)}, 0, marked, 3,
                   {"frameAnalyze", "unsaved"});
    }
    void keysActAsTheirButtons()
    {
        QFETCH(Gesture, row);
        checkGesture(row);
    }
};

TESSIK_TEST(KeysTest)
#include "keys_test.moc"

// Undo and redo through the real window: every kind of change, and the keys wherever the focus is.
#include "support/test_main.h"
#include "support/window.h"

using namespace tessik;
using namespace tessik::test;

namespace {

const Step undo = key(Qt::CTRL | Qt::Key_Z), redo = key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
           redoY = key(Qt::CTRL | Qt::Key_Y);
const Step pickCategory = [](WindowDriver &d) { d.clickPicture("PicCategories", {100, 75}); };

// Blocks 1 to 4 side by side, centred on (5, 5), (20, 5), ...; 2 under 1 and 3 under 2, 1 with
// notes, loaded in an active window.
void chain(WindowDriver &d)
{
    d.start();
    Analysis a = analysisWith(4);
    a.table.link(2, 1);
    a.table.link(3, 2);
    a.table.setNotes(1, "Seal");
    d.load(a, "Pump.rca.xml");
}

} // namespace

class UndoTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every kind of change, each found by its blocks, is one step that Ctrl+Z takes back to the
    // file and Ctrl+Shift+Z or Ctrl+Y redoes.
    void everyChangeUndoesAndRedoes_data()
    {
        test::addRows<QList<Step>>({
            {"header field", {type("txtOffice", " and South"), focus("btnSave")}},
            {"add (undone from the editor it opened)", {at(55, 20)}},
            {"caption and notes", {at(5, 5), type("txtNotes", "seal worn"), press("btnImplement")}},
            {"category drop", {pickCategory, at(35, 5)}},
            {"move with descendants", {drag(5, 5, 10, -5, Qt::ShiftModifier)}},
            {"delete, with the links of its children", {at(5, 5), press("btnDelete")}},
        });
    }
    void everyChangeUndoesAndRedoes()
    {
        QFETCH(QList<Step>, row);
        WindowDriver d;
        chain(d);
        const QStringList loaded = d.summary();
        run(d, row);
        const QStringList edited = d.summary();
        QCOMPARE(d.title(), QString("Tessik: Pump *"));
        run(d, {undo});
        QCOMPARE(d.summary(), loaded); // back at the file: the clean title, nothing unsaved
        QVERIFY(d.diagramShowsTable());
        run(d, {press("btnLoadXML")}); // nothing to lose, not even typing in a closed editor
        QVERIFY2(d.platform.messages.isEmpty(), "Load asked about unsaved edits");
        run(d, {redo});
        QCOMPARE(d.summary(), edited);
        run(d, {undo, redoY});
        QCOMPARE(d.summary(), edited);
        QVERIFY(d.diagramShowsTable());
    }

    // One step per edited field. A text box undoes its own typing first, but only while that
    // typing is the latest change; otherwise, as with nothing of its own, the analysis' undo applies.
    void textBoxesAndTheAnalysisShareTheKeys()
    {
        WindowDriver d;
        chain(d);
        const QStringList loaded = d.summary();
        run(d, {type("txtDescription", " at night"), type("txtemail", "erator"), type("txtDescription", "!")});
        QCOMPARE(d.document().history().count(), 3);
        run(d, {drag(50, 5, 50, 25), undo});             // the focus is still in the description
        QCOMPARE(d.document().table().block(4).y, 0.0f); // the move is undone, not the typing
        run(d, {type("txtDescription", "?"), undo});     // the box's own typing
        QCOMPARE(d.text("txtDescription"), QString("Pump failure at night!"));
        run(d, {undo, undo});
        QCOMPARE(d.text("txtemail"), QString("op"));
        run(d, {undo});
        QCOMPARE(d.summary(), loaded);
        run(d, {redoY}); // the box has no redo of its own
        QCOMPARE(d.text("txtDescription"), QString("Pump failure at night"));
        run(d, {undo, redo}); // nor for the other redo key
        QVERIFY2(d.text("txtDescription") == "Pump failure at night", "Ctrl+Shift+Z in a box did not redo");
    }

    // Once the analysis' undo has gone past a box's typing, that typing is no longer the box's
    // own: Ctrl+Z in the box takes back the analysis' step, and every step can still be redone.
    void anUndoneStepEndsTheOtherBoxesTyping()
    {
        WindowDriver d;
        chain(d);
        run(d, {type("txtOffice", "x"), type("txtDescription", "y")});
        run(d, {focus("picDiagram"), undo, focus("txtOffice"), undo}); // the second, as the analysis' step
        QCOMPARE(d.text("txtOffice"), QString("Plant North"));
        run(d, {focus("picDiagram"), redo, redo});
        QCOMPARE(QStringList({d.text("txtOffice"), d.text("txtDescription")}),
                 QStringList({"Plant Northx", "Pump failurey"}));
    }
};

TESSIK_TEST(UndoTest)
#include "undo_test.moc"

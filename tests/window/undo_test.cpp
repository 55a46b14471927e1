// Undo and redo through the real window: every kind of change, the keys wherever the focus is,
// and all the changes in one run, undone to the loaded analysis and redone to the edited one.
#include "support/test_main.h"
#include "support/window.h"

using namespace tessik;
using namespace tessik::test;

namespace {

const Step undo = key(Qt::CTRL | Qt::Key_Z), redo = key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
           redoY = key(Qt::CTRL | Qt::Key_Y);
const Step pickCategory = [](WindowDriver &d) { d.clickPicture("PicCategories", {100, 75}); };
const Step focusOnButton = [](WindowDriver &d) { d.control("btnSave")->setFocus(); };

QPointF centre(const WindowDriver &d, int id)
{
    return {d.document().table().block(id).x + kHalfBox, d.document().table().block(id).y + kHalfBox};
}
Step open(int id)
{
    return [=](WindowDriver &d) { d.clickDiagram(float(centre(d, id).x()), float(centre(d, id).y())); };
}
// A right-button drag of a block onto another one (a link), or by an offset (a move).
Step dragBlock(int id, int onto, QPointF by = {}, Qt::KeyboardModifiers atRelease = {})
{
    return [=](WindowDriver &d) {
        const QPointF from = centre(d, id), to = onto > 0 ? centre(d, onto) : from + by;
        d.dragDiagram(float(from.x()), float(from.y()), float(to.x()), float(to.y()), atRelease);
    };
}

// Every kind of change, each found by its blocks wherever the changes before it left them.
const QList<std::pair<const char *, QList<Step>>> kChanges{
    {"header field", {type("txtOffice", " and South"), focusOnButton}},
    {"add (undone from the editor it opened)", {at(55, 20)}},
    {"caption and notes", {open(1), type("txtNotes", "seal worn"), press("btnImplement")}},
    {"category drop", {pickCategory, open(3)}},
    {"link", {dragBlock(4, 1)}},
    {"link that replaces a parent", {dragBlock(1, 3)}},
    {"move", {dragBlock(4, 0, {0, 20})}},
    {"move with descendants", {dragBlock(1, 0, {5, -10}, Qt::ShiftModifier)}},
    {"delete, with the links of its children", {open(1), press("btnDelete")}},
};

// Blocks 1 to 4 side by side, 2 under 1 and 3 under 2, 1 with notes, loaded in an active window.
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
    void everyChangeUndoesAndRedoes_data()
    {
        QTest::addColumn<int>("change");
        for (int i = 0; i < kChanges.size(); ++i)
            QTest::newRow(kChanges[i].first) << i;
    }
    void everyChangeUndoesAndRedoes()
    {
        QFETCH(int, change);
        WindowDriver d;
        chain(d);
        QVERIFY2(!d.document().canUndo(), "a load starts an empty history");
        const QStringList loaded = d.summary();
        run(d, kChanges[change].second);
        const QStringList edited = d.summary();
        QVERIFY(edited != loaded);
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

    // Undone past a save, the analysis differs from its file at every step (Quit asks);
    // redone to the save, it is clean again.
    void allChangesRoundTrip()
    {
        WindowDriver d;
        chain(d);
        const QStringList loaded = d.summary();
        for (const auto &change : kChanges)
            run(d, change.second);
        QCOMPARE(d.document().history().count(), kChanges.size()); // each change one step
        run(d, {press("btnSave")});
        const QStringList saved = d.summary();
        while (d.document().canUndo()) {
            run(d, {undo});
            QVERIFY2(d.document().isModified(), qPrintable(d.title()));
        }
        QCOMPARE(d.summary().mid(2), loaded.mid(2));
        for (int i = 0; d.document().canRedo(); ++i)
            run(d, {i % 2 ? redo : redoY});
        QCOMPARE(d.summary(), saved);
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
        run(d, {dragBlock(4, 0, {0, 20}), undo});        // the focus is still in the description
        QCOMPARE(d.document().table().block(4).y, 0.0f); // the move is undone, not the typing
        run(d, {type("txtDescription", "?"), undo});     // the box's own typing
        QCOMPARE(d.text("txtDescription"), QString("Pump failure at night!"));
        run(d, {undo, undo});
        QCOMPARE(d.text("txtemail"), QString("op"));
        run(d, {undo});
        QCOMPARE(d.summary(), loaded);
        run(d, {redo}); // the box has no redo of its own
        QCOMPARE(d.text("txtDescription"), QString("Pump failure at night"));
    }

    // The editor open on a block shows what an undo gives the block back, outlined in red again.
    void editorFollowsAnUndo()
    {
        WindowDriver d;
        chain(d);
        run(d, {open(1), type("txtText", "Worn "), press("btnImplement"), open(1), undo});
        QCOMPARE(d.editedBlock(), 1);
        QCOMPARE(d.text("txtText"), QString("Block 1"));
        QCOMPARE(d.text("txtNotes"), QString("Seal"));
        QVERIFY(d.diagramShowsTable());
    }
};

TESSIK_TEST(UndoTest)
#include "undo_test.moc"

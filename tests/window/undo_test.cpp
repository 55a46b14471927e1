// Undo and redo through the real window: every kind of change, the keys wherever the focus is,
// and all the changes in one run, undone to the loaded analysis and redone to the edited one.
#include "support/test_main.h"
#include "support/window.h"

using namespace tessik;
using namespace tessik::test;

namespace {

const Step undo = key(Qt::CTRL | Qt::Key_Z), redo = key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
           redoY = key(Qt::CTRL | Qt::Key_Y);
const Step pickCategory = [](WindowFixture &f) { clickPicture(f.window->PicCategories, {100, 75}); };
const Step focusOnButton = [](WindowFixture &f) { f.window->btnSave->setFocus(); };

QPointF centre(frmKelvane &w, int id)
{
    return {w.table().block(id).x + kHalfBox, w.table().block(id).y + kHalfBox};
}
Step open(int id)
{
    return [=](WindowFixture &f) {
        clickDiagram(*f.window, float(centre(*f.window, id).x()), float(centre(*f.window, id).y()));
    };
}
// A right-button drag of a block onto another one (a link), or by an offset (a move).
Step dragBlock(int id, int onto, QPointF by = {}, Qt::KeyboardModifiers atRelease = {})
{
    return [=](WindowFixture &f) {
        const QPointF from = centre(*f.window, id), to = onto > 0 ? centre(*f.window, onto) : from + by;
        dragDiagram(*f.window, float(from.x()), float(from.y()), float(to.x()), float(to.y()), atRelease);
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
frmKelvane &chain(WindowFixture &f)
{
    frmKelvane &w = f.start();
    Analysis a = analysisWith(4);
    a.table.link(2, 1);
    a.table.link(3, 2);
    a.table.setNotes(1, "Seal");
    f.load(a, "Pump.rca.xml");
    return w;
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
        WindowFixture f;
        frmKelvane &w = chain(f);
        QVERIFY(!w.document().canUndo()); // a load starts an empty history
        const QStringList loaded = observe(w).summary();
        run(f, kChanges[change].second);
        const QStringList edited = observe(w).summary();
        QVERIFY(edited != loaded && edited[0] == "Tessik: Pump *");
        run(f, {undo});
        QCOMPARE(observe(w).summary(), loaded); // back at the file: the clean title, nothing unsaved
        QVERIFY(w.Confirm() && f.platform.messages.isEmpty() && observe(w).drawn); // nor typing in a closed editor
        run(f, {redo});
        QCOMPARE(observe(w).summary(), edited);
        run(f, {undo, redoY});
        QCOMPARE(observe(w).summary(), edited);
        QVERIFY(observe(w).drawn);
    }

    // Undone past a save, the analysis differs from its file at every step (Quit asks);
    // redone to the save, it is clean again.
    void allChangesRoundTrip()
    {
        WindowFixture f;
        frmKelvane &w = chain(f);
        const QStringList loaded = observe(w).summary();
        for (const auto &change : kChanges)
            run(f, change.second);
        QCOMPARE(w.document().history().count(), kChanges.size()); // each change one step
        w.btnSave->click();
        const QStringList saved = observe(w).summary();
        while (w.document().canUndo()) {
            run(f, {undo});
            QVERIFY(observe(w).unsaved);
        }
        QCOMPARE(observe(w).summary().mid(2), loaded.mid(2));
        for (int i = 0; w.document().canRedo(); ++i)
            run(f, {i % 2 ? redo : redoY});
        QCOMPARE(observe(w).summary(), saved);
    }

    // One step per edited field. A text box undoes its own typing first, but only while that
    // typing is the latest change; otherwise, as with nothing of its own, the analysis' undo applies.
    void textBoxesAndTheAnalysisShareTheKeys()
    {
        WindowFixture f;
        frmKelvane &w = chain(f);
        const QStringList loaded = observe(w).summary();
        run(f, {type("txtDescription", " at night"), type("txtemail", "erator"), type("txtDescription", "!")});
        QCOMPARE(w.document().history().count(), 3);
        run(f, {dragBlock(4, 0, {0, 20}), undo});    // the focus is still in the description
        QCOMPARE(observe(w).table.block(4).y, 0.0f); // the move is undone, not the typing
        run(f, {type("txtDescription", "?"), undo}); // the box's own typing
        QCOMPARE(observe(w).description, QString("Pump failure at night!"));
        run(f, {undo, undo});
        QCOMPARE(observe(w).email, QString("op"));
        run(f, {undo});
        QCOMPARE(observe(w).summary(), loaded);
        run(f, {redo}); // the box has no redo of its own
        QCOMPARE(observe(w).description, QString("Pump failure at night"));
        // The editor open on a block shows what an undo gives the block back.
        run(f, {open(1), type("txtText", "Worn "), press("btnImplement"), open(1), undo});
        QVERIFY(observe(w).panel == "frameEdit 1: Block 1|Seal" && observe(w).drawn); // outlined in red again
    }
};

TESSIK_TEST(UndoTest)
#include "undo_test.moc"

// Undo and redo through the real window: every kind of change, the keys wherever the focus is,
// the unsaved state and title they leave, and a run of mixed edits undone and redone exactly.
#include "support/document_state.h"
#include "support/gui_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

frmKelvane &pumpWindow(WindowFixture &f)
{
    frmKelvane &w = f.start();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        qWarning("the window is not active: its shortcuts cannot work");
    openAnalysis(f, pumpAnalysis(), "Pump.rca.xml");
    return w;
}

// The keys go to whatever has the focus, as the user's do.
void press(frmKelvane &w, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &w, key, modifiers);
}
void undoKey(frmKelvane &w)
{
    press(w, Qt::Key_Z, Qt::ControlModifier);
}
void redoKey(frmKelvane &w, bool y)
{
    press(w, y ? Qt::Key_Y : Qt::Key_Z, y ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
}

QPointF centreOf(frmKelvane &w, int id)
{
    return {w.table().BlockX[id] + kHalfBox, w.table().BlockY[id] + kHalfBox};
}
void clickAt(frmKelvane &w, QPointF at)
{
    clickDiagram(w, Qt::LeftButton, float(at.x()), float(at.y()));
}
void dragBlock(frmKelvane &w, int id, QPointF to, Qt::KeyboardModifiers modifiers = {})
{
    const QPointF from = centreOf(w, id);
    dragDiagram(w, Qt::RightButton, float(from.x()), float(from.y()), float(to.x()), float(to.y()), modifiers);
}
void dropCategory(frmKelvane &w, int id)
{
    QTest::mouseClick(w.PicCategories, Qt::LeftButton, {}, QPoint(100, 75) + w.PicCategories->contentsRect().topLeft());
    clickAt(w, centreOf(w, id));
}

using Gesture = std::function<void(frmKelvane &)>;

} // namespace

Q_DECLARE_METATYPE(Gesture)

class TestUndo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyChangeUndoesAndRedoes_data()
    {
        QTest::addColumn<Gesture>("gesture");
        auto row = [](const char *name, Gesture gesture) { QTest::newRow(name) << gesture; };
        row("add (undone from the editor it opened)", [](frmKelvane &w) { clickAt(w, {55, 15}); });
        row("caption and notes", [](frmKelvane &w) {
            clickAt(w, centreOf(w, 1));
            typeText(w.txtNotes, "seal worn");
            pressEnter(w.txtText);
        });
        row("delete, with the links of its children", [](frmKelvane &w) {
            clickAt(w, centreOf(w, 2));
            w.btnDelete->click();
        });
        row("move", [](frmKelvane &w) { dragBlock(w, 4, {45, 25}); });
        row("move with descendants", [](frmKelvane &w) { dragBlock(w, 1, {10, 3}, Qt::ShiftModifier); });
        row("move past the left edge", [](frmKelvane &w) { dragBlock(w, 4, {-4, 10}); });
        row("link", [](frmKelvane &w) { dragBlock(w, 4, centreOf(w, 1)); });
        row("link that unlinks the old parent", [](frmKelvane &w) { dragBlock(w, 4, centreOf(w, 3)); });
        row("category drop", [](frmKelvane &w) { dropCategory(w, 3); });
        row("header field", [](frmKelvane &w) {
            typeText(w.txtOffice, " and South");
            w.btnSave->setFocus();
        });
    }
    void everyChangeUndoesAndRedoes()
    {
        QFETCH(Gesture, gesture);
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        QVERIFY(!w.document().canUndo()); // a load starts an empty history
        const DocumentState loaded = stateOf(w);
        const BlockTable loadedTable = w.table();
        gesture(w);
        const DocumentState edited = stateOf(w);
        QVERIFY(edited.bytes != loaded.bytes);
        QCOMPARE(edited.title, QString("Tessik: Pump *"));
        undoKey(w);
        QCOMPARE(stateOf(w), loaded); // back at the file: the clean title, nothing unsaved
        QCOMPARE(w.table().BlockCategory, loadedTable.BlockCategory); // the free slot's leftovers too
        QCOMPARE(w.txtOffice->text(), QString("North"));
        QVERIFY(w.frameEdit->isHidden() || w.table().isLive(w.EditedBlock));
        redoKey(w, false);
        QCOMPARE(stateOf(w), edited);
        undoKey(w);
        redoKey(w, true);
        QCOMPARE(stateOf(w), edited);
        w.btnQuit->click(); // differs from its file: Quit asks
        QCOMPARE(f.platform.messages.size(), 1);
    }

    // One step per edited field. A text box undoes its own typing first, but only while that
    // typing is the latest change; otherwise, as with nothing of its own, the analysis' undo applies.
    void textBoxesAndTheAnalysisShareTheKeys()
    {
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        typeText(w.txtDescription, " at night");
        typeText(w.txtemail, "erator");
        typeText(w.txtDescription, "!");
        QCOMPARE(w.document().history().count(), 3);
        dragBlock(w, 4, {45, 25});
        QCOMPARE(QApplication::focusWidget(), w.txtDescription);
        undoKey(w);
        QCOMPARE(w.table().BlockX[4], 20.0f); // the move, not the typing
        typeText(w.txtDescription, "?");
        undoKey(w); // the box's own typing
        QCOMPARE(w.txtDescription->text(), QString("Pump failure at night!"));
        undoKey(w);
        undoKey(w);
        QCOMPARE(w.txtemail->text(), QString("op"));
        undoKey(w);
        QCOMPARE(w.txtDescription->text(), QString("Pump failure"));
        QCOMPARE(w.windowTitle(), QString("Tessik: Pump"));
    }

    void undoNeverMakesQuitForgetToAsk_data()
    {
        QTest::addColumn<int>("undos");
        QTest::addColumn<int>("redos");
        QTest::addColumn<QString>("title");
        // A move and a header edit, Save, then another move.
        QTest::newRow("at the saved state") << 1 << 0 << "Root Cause Anlysis: Pump";
        QTest::newRow("before the save") << 2 << 0 << "Root Cause Anlysis: Pump *";
        QTest::newRow("back at the start") << 3 << 0 << "Tessik: Pump *";
        QTest::newRow("redone to the save") << 3 << 2 << "Root Cause Anlysis: Pump";
    }
    void undoNeverMakesQuitForgetToAsk()
    {
        QFETCH(int, undos);
        QFETCH(int, redos);
        QFETCH(QString, title);
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        dragBlock(w, 4, {45, 25});
        typeText(w.txtOffice, " side");
        w.btnSave->click();
        dragBlock(w, 1, {5, 20});
        w.btnSave->setFocus();
        for (int i = 0; i < undos; ++i)
            undoKey(w);
        for (int i = 0; i < redos; ++i)
            redoKey(w, false);
        QCOMPARE(w.windowTitle(), title);
        w.btnQuit->click();
        QCOMPARE(f.platform.messages.size(), title.endsWith('*') ? 1 : 0);
    }

    void mixedEditsRoundTrip()
    {
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        const BlockTable loaded = w.table();
        const DocumentState start = stateOf(w);
        for (int round = 0; round < 3; ++round) {
            clickAt(w, {55, 15 - 12.0 * round}); // slot 5, then 6 and 7
            typeText(w.txtText, QStringLiteral("New %1").arg(round));
            pressEnter(w.txtText);
            dragBlock(w, w.EditedBlock, centreOf(w, 4));                        // linked under block 4
            dragBlock(w, 1, centreOf(w, 1) + QPointF(0, 1), Qt::ShiftModifier); // with 2 and 3
            dragBlock(w, 4, centreOf(w, 4) + (round == 2 ? QPointF(0, -40) : QPointF(1, 0)));
            dropCategory(w, 3);
            typeText(w.txtDescription, QStringLiteral(" %1").arg(round));
            if (round == 1) {
                clickAt(w, centreOf(w, 2));
                w.btnDelete->click();
            }
        }
        QCOMPARE(w.table().BlockY[4], -21.0f); // dropped past the top edge, kept inside
        const BlockTable edited = w.table();
        const DocumentState end = stateOf(w);
        w.btnSave->setFocus(); // the description box would take the first Ctrl+Z for its own typing
        for (int steps = 0; w.document().canUndo() && steps < 100; ++steps)
            undoKey(w);
        QCOMPARE(stateOf(w), start);
        const BlockTable &t = w.table();
        QCOMPARE(t.BlockCount, loaded.BlockCount);
        QCOMPARE(t.BlockActive, loaded.BlockActive);
        QCOMPARE(t.BlockParent, loaded.BlockParent);
        QCOMPARE(t.BlockX, loaded.BlockX);
        QCOMPARE(t.BlockY, loaded.BlockY);
        QCOMPARE(t.BlockText, loaded.BlockText);
        QCOMPARE(t.BlockCategory, loaded.BlockCategory);
        for (int steps = 0; w.document().canRedo() && steps < 100; ++steps)
            redoKey(w, steps % 2);
        QCOMPARE(stateOf(w), end);
        QCOMPARE(w.table().BlockX, edited.BlockX);
        QCOMPARE(w.table().BlockParent, edited.BlockParent);
        QCOMPARE(w.table().BlockCategory, edited.BlockCategory);
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"

// Undo and redo through the real window: every kind of change, the keys wherever the focus is,
// the unsaved state and title they leave, and a long run of mixed edits undone and redone.
#include "model/colour_pick.h"
#include "support/document_state.h"
#include "support/gui_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

// Block 1 leads to 2, 2 to 3; block 4 stands alone; slot 5 is free and keeps leftovers.
Analysis pumpAnalysis()
{
    Analysis a;
    a.description = "Pump failure";
    a.email = "op";
    a.office = "North";
    BlockTable &t = a.table;
    const QPointF corners[] = {{0, -15}, {20, -15}, {40, -15}, {20, 5}, {45, 10}};
    for (const QPointF &corner : corners)
        t.addBlock(float(corner.x()) + 5, float(corner.y()) + 5);
    t.BlockText[1] = "Pump stopped";
    t.BlockText[2] = "No pressure";
    t.BlockText[3] = "Valve shut";
    t.BlockText[4] = "Sensor";
    t.BlockCategory[4] = "Information";
    t.BlockParent[2] = 1;
    t.BlockParent[3] = 2;
    t.BlockCategory[5] = "Motives";
    t.freeSlot(5);
    return a;
}

frmKelvane &pumpWindow(WindowFixture &f)
{
    frmKelvane &w = f.start();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        qWarning("the window is not active: its shortcuts cannot work");
    openAnalysis(f, pumpAnalysis(), "Pump.rca.xml");
    return w;
}

// A key as the user presses it: it goes to whatever has the focus.
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
    if (y)
        press(w, Qt::Key_Y, Qt::ControlModifier);
    else
        press(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
}

void pickFrom(SurfaceView *picture, QPoint at)
{
    at += picture->contentsRect().topLeft();
    QTest::mouseClick(picture, Qt::LeftButton, {}, at);
}

// A point of the notes legend that picks a value (the legend is artwork, found by its colours).
QPoint notesLegendPoint(frmKelvane &w)
{
    const QImage legend = w.picLedgend->surface().image();
    for (int y = 0; y < legend.height(); y += 4)
        for (int x = 0; x < legend.width(); x += 4)
            if (!SelectNote(legend, x, y).isEmpty())
                return {x, y};
    return {};
}

using Gesture = std::function<void(frmKelvane &)>;

void centreClick(frmKelvane &w, float x, float y)
{
    clickDiagram(w, Qt::LeftButton, x, y);
}

QPointF centreOf(frmKelvane &w, int id)
{
    return {w.table().BlockX[id] + kHalfBox, w.table().BlockY[id] + kHalfBox};
}

// A right-button drag from the centre of a block to a point.
void dragBlock(frmKelvane &w, int id, QPointF to, Qt::KeyboardModifiers modifiers = {})
{
    const QPointF from = centreOf(w, id);
    dragDiagram(w, Qt::RightButton, float(from.x()), float(from.y()), float(to.x()), float(to.y()), modifiers);
}

} // namespace

Q_DECLARE_METATYPE(Gesture)

class TestUndo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyChangeUndoesAndRedoes_data()
    {
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<bool>("redoWithY");
        QTest::newRow("add a block (undone from the editor it opened)")
            << Gesture([](frmKelvane &w) { centreClick(w, 55, 15); }) << false;
        QTest::newRow("commit caption and notes") << Gesture([](frmKelvane &w) {
            centreClick(w, 5, -10);
            typeText(w.txtNotes, "seal worn");
            typeText(w.txtText, " again");
            pressEnter(w.txtText);
        }) << true;
        QTest::newRow("delete, with the links of its children") << Gesture([](frmKelvane &w) {
            centreClick(w, 25, -10);
            w.btnDelete->click();
        }) << false;
        QTest::newRow("move") << Gesture([](frmKelvane &w) { dragDiagram(w, Qt::RightButton, 25, 10, 45, 25); })
                              << true;
        QTest::newRow("move with descendants")
            << Gesture([](frmKelvane &w) { dragDiagram(w, Qt::RightButton, 5, -10, 10, 3, Qt::ShiftModifier); })
            << false;
        QTest::newRow("move past the left edge")
            << Gesture([](frmKelvane &w) { dragDiagram(w, Qt::RightButton, 25, 10, -4, 10); }) << true;
        QTest::newRow("link") << Gesture([](frmKelvane &w) { dragDiagram(w, Qt::RightButton, 25, 10, 5, -10); })
                              << false;
        QTest::newRow("link that unlinks the old parent")
            << Gesture([](frmKelvane &w) { dragDiagram(w, Qt::RightButton, 25, 10, 45, -10); }) << true;
        QTest::newRow("category drop") << Gesture([](frmKelvane &w) {
            pickFrom(w.PicCategories, {100, 75});
            centreClick(w, 45, -10);
        }) << false;
        QTest::newRow("notes drop") << Gesture([](frmKelvane &w) {
            w.optType[0]->click();
            pickFrom(w.picLedgend, notesLegendPoint(w));
            centreClick(w, 45, -10);
        }) << true;
        QTest::newRow("header field, typed and left") << Gesture([](frmKelvane &w) {
            typeText(w.txtOffice, " and South");
            w.btnSave->setFocus();
        }) << false;
    }
    void everyChangeUndoesAndRedoes()
    {
        QFETCH(Gesture, gesture);
        QFETCH(bool, redoWithY);
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        const DocumentState loaded = stateOf(w);
        const BlockTable loadedTable = w.table();
        gesture(w);
        const DocumentState edited = stateOf(w);
        const BlockTable editedTable = w.table();
        QVERIFY(edited.bytes != loaded.bytes);
        QCOMPARE(edited.title, QString("Tessik: Pump *"));
        QVERIFY(edited.unsaved);

        undoKey(w);
        QCOMPARE(stateOf(w), loaded); // back at the file: clean title, nothing unsaved
        QCOMPARE(w.table().BlockActive, loadedTable.BlockActive);
        QCOMPARE(w.table().BlockParent, loadedTable.BlockParent);
        QCOMPARE(w.table().BlockCategory, loadedTable.BlockCategory);
        QCOMPARE(w.txtOffice->text(), QString("North")); // the boxes follow the document
        QVERIFY(w.frameEdit->isHidden() || w.table().isLive(w.EditedBlock));
        QVERIFY(f.platform.messages.isEmpty());

        redoKey(w, redoWithY);
        QCOMPARE(stateOf(w), edited);
        QCOMPARE(w.table().BlockX, editedTable.BlockX);
        QCOMPARE(w.table().BlockNotes, editedTable.BlockNotes);
        undoKey(w);
        redoKey(w, !redoWithY);
        QCOMPARE(stateOf(w), edited);
        w.btnQuit->click(); // the analysis differs from its file: Quit asks
        QCOMPARE(f.platform.messages.size(), 1);
    }

    // Each edited field is one step, however many characters were typed; a text box undoes its
    // own typing first, and with nothing of its own left the analysis' undo takes over.
    void headerFieldsAreOneStepEachAndBoxesUndoTheirOwnTypingFirst()
    {
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        centreClick(w, 25, -10);
        w.btnDelete->click();
        typeText(w.txtDescription, " at night");
        typeText(w.txtemail, "erator");
        typeText(w.txtDescription, "!");
        QCOMPARE(w.document().history().count(), 4);
        w.btnSave->setFocus();
        undoKey(w);
        QCOMPARE(w.txtDescription->text(), QString("Pump failure at night"));
        undoKey(w);
        QCOMPARE(w.txtemail->text(), QString("op"));
        QCOMPARE(w.windowTitle(), QString("Tessik: Pump *"));
        w.txtDescription->setFocus();
        typeText(w.txtDescription, "?");
        undoKey(w); // the box's own typing
        QCOMPARE(w.txtDescription->text(), QString("Pump failure at night"));
        QVERIFY(w.table().isLive(3) && !w.table().isLive(2));
        undoKey(w);
        undoKey(w); // nothing left in the box: the analysis' undo, also for the delete
        QCOMPARE(w.txtDescription->text(), QString("Pump failure"));
        QVERIFY(w.table().isLive(2));
        QCOMPARE(w.table().BlockParent[3], std::int16_t(2));
        QCOMPARE(w.windowTitle(), QString("Tessik: Pump"));
    }

    void aBoxUndoesItsOwnTypingOnlyWhileThatIsTheLatestChange()
    {
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        typeText(w.txtDescription, " at night");
        dragDiagram(w, Qt::RightButton, 25, 10, 45, 25);
        QCOMPARE(QApplication::focusWidget(), w.txtDescription);
        undoKey(w);
        QCOMPARE(w.table().BlockX[4], 20.0f); // the move went back, not the typing
        QCOMPARE(w.txtDescription->text(), QString("Pump failure at night"));
        undoKey(w);
        QCOMPARE(w.txtDescription->text(), QString("Pump failure"));
        QCOMPARE(w.windowTitle(), QString("Tessik: Pump"));
    }

    void undoNeverMakesQuitForgetToAsk_data()
    {
        QTest::addColumn<int>("undos");
        QTest::addColumn<int>("redos");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("asks");
        // Edits A, B; Save; edit C.
        QTest::newRow("at the saved state") << 1 << 0 << "Root Cause Anlysis: Pump" << false;
        QTest::newRow("before the save") << 2 << 0 << "Root Cause Anlysis: Pump *" << true;
        QTest::newRow("back at the start") << 3 << 0 << "Tessik: Pump *" << true;
        QTest::newRow("redone to the save") << 3 << 2 << "Root Cause Anlysis: Pump" << false;
        QTest::newRow("redone past the save") << 3 << 3 << "Tessik: Pump *" << true;
    }
    void undoNeverMakesQuitForgetToAsk()
    {
        QFETCH(int, undos);
        QFETCH(int, redos);
        QFETCH(QString, title);
        QFETCH(bool, asks);
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        dragDiagram(w, Qt::RightButton, 25, 10, 45, 25);
        typeText(w.txtOffice, " side");
        w.btnSave->click();
        dragDiagram(w, Qt::RightButton, 5, -10, 5, 20);
        w.btnSave->setFocus();
        for (int i = 0; i < undos; ++i)
            undoKey(w);
        for (int i = 0; i < redos; ++i)
            redoKey(w, false);
        QCOMPARE(w.windowTitle(), title);
        w.btnQuit->click();
        QCOMPARE(f.platform.messages.size(), asks ? 1 : 0);
    }

    void newAndLoadStartAnEmptyHistory()
    {
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        QVERIFY(!w.document().canUndo());
        dragDiagram(w, Qt::RightButton, 25, 10, 45, 25);
        f.platform.messageAnswers.enqueue(MessageAnswer::Yes);
        w.btnNew->click();
        QVERIFY(!w.document().canUndo() && !w.document().canRedo());
        undoKey(w);
        QCOMPARE(w.table().BlockCount, std::int16_t(1)); // New's block stays
        w.btnCancel->click();
        w.btnQuit->click(); // New's block is part of its clean start: no question
        QVERIFY(w.ended());
        QCOMPARE(f.platform.messages.size(), 1);
    }

    // A long run of mixed edits undone to the start gives the loaded table exactly, and redone
    // to the end the edited table exactly.
    void mixedEditsRoundTrip()
    {
        WindowFixture f;
        frmKelvane &w = pumpWindow(f);
        const BlockTable loaded = w.table();
        const DocumentState start = stateOf(w);
        for (int round = 0; round < 3; ++round) {
            const float y = 15 - 12 * float(round);
            centreClick(w, 55, y); // slot 5, then 6 and 7
            typeText(w.txtText, QStringLiteral("New %1").arg(round));
            pressEnter(w.txtText);
            const int added = w.EditedBlock;
            dragBlock(w, added, centreOf(w, 4));                                // linked under block 4
            dragBlock(w, 1, centreOf(w, 1) + QPointF(0, 1), Qt::ShiftModifier); // with 2 and 3
            dragBlock(w, 4, centreOf(w, 4) + QPointF(round == 2 ? 0 : 1, round == 2 ? -40 : 0));
            pickFrom(w.PicCategories, {100, 75});
            clickDiagram(w, Qt::LeftButton, float(centreOf(w, 3).x()), float(centreOf(w, 3).y()));
            typeText(w.txtDescription, QStringLiteral(" %1").arg(round));
            if (round == 1) {
                clickDiagram(w, Qt::LeftButton, float(centreOf(w, 2).x()), float(centreOf(w, 2).y()));
                w.btnDelete->click();
            }
        }
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(w.table().BlockY[4], -21.0f); // dropped past the top edge, kept inside
        const BlockTable edited = w.table();
        const DocumentState end = stateOf(w);
        w.btnSave->setFocus(); // the description box would undo its own typing first
        int steps = 0;
        while (w.document().canUndo()) {
            undoKey(w);
            QVERIFY(++steps < 200);
        }
        QCOMPARE(stateOf(w), start);
        QCOMPARE(w.table().BlockCount, loaded.BlockCount);
        QCOMPARE(w.table().BlockActive, loaded.BlockActive);
        QCOMPARE(w.table().BlockParent, loaded.BlockParent);
        QCOMPARE(w.table().BlockX, loaded.BlockX);
        QCOMPARE(w.table().BlockY, loaded.BlockY);
        QCOMPARE(w.table().BlockText, loaded.BlockText);
        QCOMPARE(w.table().BlockNotes, loaded.BlockNotes);
        QCOMPARE(w.table().BlockCategory, loaded.BlockCategory);
        while (w.document().canRedo())
            redoKey(w, steps-- % 2 == 0);
        QCOMPARE(stateOf(w), end);
        QCOMPARE(w.table().BlockActive, edited.BlockActive);
        QCOMPARE(w.table().BlockParent, edited.BlockParent);
        QCOMPARE(w.table().BlockX, edited.BlockX);
        QCOMPARE(w.table().BlockY, edited.BlockY);
        QCOMPARE(w.table().BlockText, edited.BlockText);
        QCOMPARE(w.table().BlockCategory, edited.BlockCategory);
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"

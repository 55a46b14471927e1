// The diagram by keyboard alone, through the real window: each key gives what its mouse gesture
// gives, and the worked example is built and saved without the mouse.
#include "support/test_main.h"
#include "support/window.h"

#include <QApplication>

using namespace tessik;
using namespace tessik::test;

namespace {

QString focused()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}
// Tab, as often as it takes, until the control has the focus.
const auto tabTo = [](QString name) -> Step {
    return [=](WindowDriver &d) {
        for (int i = 0; i < 60 && focused() != name; ++i)
            d.key(Qt::Key_Tab);
        QCOMPARE(focused(), name);
    };
};
const auto keys = [](QList<QKeyCombination> combinations) -> Step {
    return [=](WindowDriver &d) {
        for (QKeyCombination k : combinations)
            d.key(k);
    };
};
const auto typed = [](QString text) -> Step {
    return [=](WindowDriver &) { QTest::keyClicks(QApplication::focusWidget(), text); };
};
const Step diagram = tabTo("picDiagram");

// Pump.rca.xml's three blocks at (0, 0), (15, 0) and (30.5, 0), after the steps: what the user sees.
QStringList outcome(const QList<Step> &steps)
{
    WindowDriver d;
    d.start();
    d.load(analysisWith(3), "Pump.rca.xml");
    run(d, steps);
    return QStringList{d.title(), d.panel(), QString("editing %1").arg(d.editedBlock())} + d.summary().mid(4) +
           d.platform.messages;
}

} // namespace

class DiagramKeysTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); }

    // Each key against the mouse gesture it stands for; keys in a text box and Esc change nothing.
    void keysDoWhatTheMouseDoes_data()
    {
        QTest::addColumn<QList<Step>>("byKeys");
        QTest::addColumn<QList<Step>>("byMouse");
        const auto ctrl = [](Qt::Key k, Qt::KeyboardModifiers also = {}) {
            return QKeyCombination(Qt::ControlModifier | also, k);
        };
        const Step linked = drag(5, 5, 20, 5), notes = press("optType(0)");
        const Step looped = [=](WindowDriver &d) { run(d, {linked, drag(5, 5, 45, 25)}); };
        QTest::newRow("arrows, Delete") << QList<Step>{diagram, keys({Qt::Key_Home, Qt::Key_Right, Qt::Key_Right,
                                                                      Qt::Key_Left, Qt::Key_Delete})}
                                        << QList<Step>{at(20, 5), press("btnDelete")};
        QTest::newRow("Delete on the block the editor is open on closes the editor")
            << QList<Step>{at(5, 5), diagram, keys({Qt::Key_Home, Qt::Key_Delete})}
            << QList<Step>{at(5, 5), press("btnDelete")};
        QTest::newRow("an arrow with no block chosen chooses the top left one")
            << QList<Step>{diagram, keys({Qt::Key_Right, Qt::Key_Delete})} << QList<Step>{at(5, 5), press("btnDelete")};
        QTest::newRow("Delete leaves the editor open on another block")
            << QList<Step>{at(5, 5), diagram, keys({Qt::Key_Home, Qt::Key_Right, Qt::Key_Delete})}
            << QList<Step>{at(20, 5), press("btnDelete"), at(5, 5)};
        QTest::newRow("an arrow with no block that way keeps the selection")
            << QList<Step>{diagram, keys({Qt::Key_Home, Qt::Key_Down, Qt::Key_Delete})}
            << QList<Step>{at(5, 5), press("btnDelete")};
        QTest::newRow("Insert adds a linked cause")
            << QList<Step>{diagram, keys({Qt::Key_Home, Qt::Key_Insert}), typed("Cause"), key(Qt::Key_Return)}
            << QList<Step>{at(20, -10), type("txtText", "Cause"), press("btnImplement"), drag(20, -10, 5, 5)};
        QTest::newRow("Ctrl+arrows move")
            << QList<Step>{diagram, keys({Qt::Key_Home, ctrl(Qt::Key_Right), ctrl(Qt::Key_Down)})}
            << QList<Step>{drag(5, 5, 6, 6)};
        QTest::newRow("Ctrl+Shift+arrow moves the descendants")
            << QList<Step>{linked, diagram, keys({Qt::Key_Home, ctrl(Qt::Key_Up, Qt::ShiftModifier)})}
            << QList<Step>{linked, drag(5, 5, 5, 4, Qt::ShiftModifier)};
        QTest::newRow("L links, Home finding the parent; then keys act again")
            << QList<Step>{diagram, keys({Qt::Key_Home, Qt::Key_Right, Qt::Key_L, Qt::Key_Home, Qt::Key_Enter,
                                          ctrl(Qt::Key_Right)})}
            << QList<Step>{drag(20, 5, 5, 5), drag(5, 5, 6, 5)};
        QTest::newRow("L refuses a loop")
            << QList<Step>{looped, diagram, keys({Qt::Key_Home, Qt::Key_Down, Qt::Key_L, Qt::Key_Left, Qt::Key_Return})}
            << QList<Step>{looped, drag(45, 25, 20, 5)};
        QTest::newRow("leaving the diagram drops the picked block")
            << QList<Step>{diagram, keys({Qt::Key_Home, Qt::Key_L}), focus("txtOffice"), diagram,
                           keys({Qt::Key_Right, Qt::Key_Return})}
            << QList<Step>{at(20, 5)};
        QTest::newRow("undoing the picked block's addition drops it")
            << QList<Step>{diagram, keys({Qt::Key_Home, Qt::Key_Insert}), typed("Cause"), key(Qt::Key_Return),
                           keys({Qt::Key_L, ctrl(Qt::Key_Z), ctrl(Qt::Key_Z), Qt::Key_Home, Qt::Key_Delete})}
            << QList<Step>{at(5, 5), press("btnDelete")};
        QTest::newRow("Esc drops the picked block, the editor stays")
            << QList<Step>{at(5, 5), diagram, keys({Qt::Key_Home, Qt::Key_L, Qt::Key_Right, Qt::Key_Escape})}
            << QList<Step>{at(5, 5)};
        // Only a picked block takes Esc from the window, and nothing else: its shortcuts still work.
        QTest::newRow("Esc with no block picked cancels the editor")
            << QList<Step>{at(5, 5), diagram, key(Qt::Key_Escape)} << QList<Step>{at(5, 5), press("btnCancel")};
        QTest::newRow("Ctrl+S saves while a block is picked")
            << QList<Step>{drag(5, 5, 6, 6), diagram, keys({Qt::Key_Home, Qt::Key_L, ctrl(Qt::Key_S)})}
            << QList<Step>{drag(5, 5, 6, 6), key(Qt::CTRL | Qt::Key_S)};
        QTest::newRow("2 in the notes view")
            << QList<Step>{notes, diagram, keys({Qt::Key_Home, Qt::Key_2})}
            << QList<Step>{notes, [](WindowDriver &d) { d.clickPicture("picLedgend", QPoint(62, 15)); }, at(5, 5)};
        QTest::newRow("keys in a text box")
            << QList<Step>{focus("txtOffice"), keys({Qt::Key_Insert, Qt::Key_Delete, ctrl(Qt::Key_Left), Qt::Key_Home})}
            << QList<Step>{};
    }
    void keysDoWhatTheMouseDoes()
    {
        QFETCH(QList<Step>, byKeys);
        QFETCH(QList<Step>, byMouse);
        QCOMPARE(outcome(byKeys), outcome(byMouse));
    }

    // Only an editor the keys opened gives the focus back to the diagram as it closes: one the
    // mouse opens later leaves the focus where it always does.
    void onlyAnEditorOpenedByKeysReturnsTheFocus()
    {
        const auto focusAfter = [](const QList<Step> &before) {
            WindowDriver d;
            d.start();
            d.load(analysisWith(3), "Pump.rca.xml");
            run(d, before + QList<Step>{focus("txtOffice"), at(5, 5), press("btnImplement")});
            return focused();
        };
        const QString byMouseAlone = focusAfter({});
        QCOMPARE(focusAfter({diagram, key(Qt::Key_Home), key(Qt::Key_Return), key(Qt::Key_Escape)}), byMouseAlone);
    }

    // The worked example by keyboard alone, saved: the file's bytes. The selected block's ring
    // shows on screen only, around the box wherever the view shows it, whenever the diagram has the focus.
    void workedExampleByKeysAlone()
    {
        WindowDriver d;
        d.start();
        const Step ringOnScreenOnly = [](WindowDriver &d) {
            const QRect inside = d.control("picDiagram")->contentsRect();
            const QPoint left = d.pixelOf(0, 5) - inside.topLeft() - QPoint(4, 0);
            const QImage shown = d.control("picDiagram")->grab(inside).toImage();
            QVERIFY2(shown.rect().contains(left), "the selected block is out of view");
            QVERIFY2(shown.pixelColor(left) != Qt::white, "no focus ring around the selected block");
            QCOMPARE(d.diagramSurface().point(d.mapping().ScaleToPixelsX(0) - 4, d.mapping().ScaleToPixelsY(5)),
                     RGB(255, 255, 255));
        };
        const QKeyCombination in = Qt::CTRL | Qt::Key_Plus, out = Qt::CTRL | Qt::Key_Minus, up = Qt::CTRL | Qt::Key_Up;
        run(d, {diagram, key(Qt::Key_Insert), typed("Conveyor stopped"), key(Qt::Key_Return), ringOnScreenOnly});
        run(d, {tabTo("txtOffice"), diagram, ringOnScreenOnly}); // gone with the focus, back with it
        run(d, {keys({out, out}), ringOnScreenOnly});            // zoomed out around the middle
        run(d, {keys({Qt::CTRL | Qt::Key_0, in, in}), key(Qt::Key_Home), ringOnScreenOnly}); // brought into view
        run(d, {key(Qt::CTRL | Qt::Key_0), key(Qt::Key_Insert), typed("Sensor data missing"), key(Qt::Key_Return)});
        run(d, {keys({up, up, up, Qt::Key_3}), tabTo("optType(1)"), key(Qt::Key_Down), diagram, key(Qt::Key_2)});
        run(d, {tabTo("txtDescription"), typed("Conveyor stopped twice"), tabTo("txtemail"), typed("operator")});
        run(d, {tabTo("txtOffice"), typed("Plant North"), answer("work/Conveyorstoppedtwice_operator.rca.xml"),
                key(Qt::CTRL | Qt::Key_S)});
        QCOMPARE(readBytes(d.path("work/Conveyorstoppedtwice_operator.rca.xml")),
                 readBytes(dataFile("worked_example.rca.xml")));
    }
};

TESSIK_TEST(DiagramKeysTest)
#include "diagram_keys_test.moc"

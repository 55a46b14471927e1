// The diagram as a screen reader reads it while the user works in the real window: one item per
// live block, in slot order, named and described afresh after each change, the selected block's
// item selected. (What the reader is told as it happens is read over AT-SPI in tests/a11y.)
#include "support/test_main.h"
#include "support/window.h"

#include <QAccessible>

using namespace tessik;
using namespace tessik::test;

class AccessibilityTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each value of a key picture is an item a reader finds where a press picks it: dragged from
    // the middle of its item, or of the item's bottom row or right column, onto a block, the value
    // becomes the block's category.
    void keyCellsAreWhereAPressPicksThem()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(1));
        QWidget *picture = d.control("PicCategories");
        QAccessibleInterface *key = QAccessible::queryAccessibleInterface(picture);
        QStringList names, picked;
        for (int i = 0; i < key->childCount(); ++i) {
            QAccessibleInterface *cell = key->child(i);
            const QRect area = cell->rect();
            const QPoint middle = area.center();
            QVERIFY2(key->childAt(middle.x(), middle.y()) == cell && key->indexOfChild(cell) == i, "cells overlap");
            QStringList pickedHere;
            for (const QPoint at : {middle, QPoint(middle.x(), area.bottom()), QPoint(area.right(), middle.y())}) {
                d.dragPicture("PicCategories", picture->mapFromGlobal(at) - picture->contentsRect().topLeft(), 5, 5);
                pickedHere << d.document().table().block(1).category;
            }
            names << cell->text(QAccessible::Name);
            picked << (pickedHere.removeDuplicates() == 2 ? pickedHere[0] : pickedHere.join(" or "));
        }
        QCOMPARE(names.join(", "), QString("Physical Resources, Structure/Process, Information, Knowledge and Skills, "
                                           "Motives, Wellness/Capacity"));
        QCOMPARE(picked, names);
        QVERIFY2(!key->child(key->childCount()), "a cell past the last");
        QVERIFY2(!key->childAt(-100, -100), "a cell far outside the picture");
    }

    // A reader's pointer finds a block's item where the block is drawn, the one on top where two
    // boxes overlap, and none between the boxes; each is a list item of the diagram's list.
    void diagramItemsAreWhereTheBlocksAreDrawn()
    {
        WindowDriver d;
        d.start();
        Analysis overlapping = analysisWith(2);
        overlapping.table.setCaption(overlapping.table.addBlock(11, 5), "Block 3"); // over block 2's left half
        d.load(overlapping);
        QWidget *view = d.control("picDiagram");
        QAccessibleInterface *diagram = QAccessible::queryAccessibleInterface(view);
        const auto itemAt = [&](float x, float y) {
            const QPoint screen = view->mapToGlobal(d.pixelOf(x, y));
            const QAccessibleInterface *item = diagram->childAt(screen.x(), screen.y());
            return item ? item->text(QAccessible::Name) + (item->role() == QAccessible::ListItem ? "" : " (no item)")
                        : QString("none");
        };
        QCOMPARE(diagram->role(), QAccessible::List);
        for (int i = 0; i < diagram->childCount(); ++i) // a reader offers to select and focus each
            QVERIFY2(diagram->child(i)->state().selectable && diagram->child(i)->state().focusable,
                     qPrintable(diagram->child(i)->text(QAccessible::Name) + " cannot be selected or focused"));
        QCOMPARE(itemAt(5, 5), QString("Block 1"));
        QCOMPARE(itemAt(9, 5), QString("Block 3")); // where blocks 2 and 3 overlap
        QCOMPARE(itemAt(24, 5), QString("Block 2"));
        QCOMPARE(itemAt(5, 30), QString("none"));
    }

    // A key cell is a button that says its value and what kind of value it is, and nothing in the
    // texts a reader may read besides, which would repeat or mislead; it hides while the other
    // view's key shows.
    void keyCellReadsAsItsValueWhileShown()
    {
        WindowDriver d;
        d.start();
        const QAccessibleInterface *cell = QAccessible::queryAccessibleInterface(d.control("PicCategories"))->child(0);
        QStringList said;
        for (const QAccessible::Text text : {QAccessible::Name, QAccessible::Description, QAccessible::Value,
                                             QAccessible::Help, QAccessible::Accelerator})
            said << cell->text(text);
        QCOMPARE(said, QStringList({"Physical Resources", "Category", "", "", ""}));
        QCOMPARE(cell->role(), QAccessible::Button);
        QVERIFY2(!cell->state().invisible, "a cell of the shown key is hidden");
        d.click("optType(0)"); // the notes view, with its own key
        QVERIFY2(cell->state().invisible, "a cell of the hidden key is shown");
    }

    // The diagram's items after each kind of change: names, the selected one (*), the one a reader
    // hears of as focused, only while the diagram has the focus and a block is chosen, and the
    // second item's description. A reader that held a deleted block's item finds it gone, not
    // alive under a new block.
    void diagramItemsFollowTheTable_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("description");
        const QString plain = "no category; no notes classification; impact";
        const Step motivesOnBlock2 = [](WindowDriver &d) { d.dragPicture("PicCategories", {100, 80}, 20, 5); };
        const QStringList three{"Block 1", "Block 2", "Block 3"};
        QTest::newRow("the diagram focused, no block chosen") << QList{focus("picDiagram")} << three << plain;
        QTest::newRow("keys select, with the focus") << QList{focus("picDiagram"), key(Qt::Key_Home)}
                                                     << QStringList{"Block 1 * focused", "Block 2", "Block 3"} << plain;
        QTest::newRow("the focus elsewhere") << QList{focus("picDiagram"), key(Qt::Key_Home), focus("txtOffice")}
                                             << QStringList{"Block 1 *", "Block 2", "Block 3"} << plain;
        QTest::newRow("caption") << QList{at(20, 5), type("txtText", "x"), press("btnImplement")}
                                 << QStringList{"Block 1", "xBlock 2 *", "Block 3"} << plain;
        QTest::newRow("category") << QList{motivesOnBlock2} << three << "Motives; no notes classification; impact";
        QTest::newRow("link") << QList{drag(20, 5, 5, 5)} << three
                              << "no category; no notes classification; cause of Block 1";
        QTest::newRow("delete") << QList{at(20, 5), press("btnDelete")} << QStringList{"Block 1", "Block 3"} << plain;
        QTest::newRow("delete, undo") << QList{at(20, 5), press("btnDelete"), key(Qt::CTRL | Qt::Key_Z)} << three
                                      << plain;
        QTest::newRow("new block") << QList{at(60, 5)}
                                   << QStringList{"Block 1", "Block 2", "Block 3", "Block without caption *"} << plain;
    }
    void diagramItemsFollowTheTable()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QStringList, items);
        QFETCH(QString, description);
        WindowDriver d;
        d.start();
        d.load(analysisWith(3));
        QAccessibleInterface *diagram = QAccessible::queryAccessibleInterface(d.control("picDiagram"));
        QCOMPARE(diagram->childCount(), 3); // a screen reader has read the diagram before the user acts
        const QAccessible::Id second = QAccessible::uniqueId(diagram->child(1));
        run(d, steps);
        QStringList read;
        for (int i = 0; i < diagram->childCount(); ++i) {
            const QAccessibleInterface *item = diagram->child(i);
            QCOMPARE(diagram->indexOfChild(item), i);
            read << item->text(QAccessible::Name) + (item->state().selected ? " *" : "") +
                        (item->state().focused ? " focused" : "");
        }
        QCOMPARE(read, items);
        const QAccessibleInterface *heard = diagram->focusChild();
        QCOMPARE(heard ? heard->text(QAccessible::Name) + " * focused" : QString(), read.filter(" focused").value(0));
        if (items.size() < 3)
            QVERIFY2(!QAccessible::accessibleInterface(second), "the deleted block's item is still there");
        QVERIFY2(!diagram->child(diagram->childCount()), "an item past the last block");
        QCOMPARE(diagram->child(1)->text(QAccessible::Description), description);
    }
};

TESSIK_TEST(AccessibilityTest)
#include "accessibility_test.moc"

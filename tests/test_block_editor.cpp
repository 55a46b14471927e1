#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

// A window with blocks 1..count laid out in a row, no editor open.
frmKelvane &windowWithBlocks(WindowFixture &f, int count)
{
    frmKelvane &w = f.start();
    for (int i = 0; i < count; ++i) {
        clickDiagram(w, Qt::LeftButton, float(i % 6) * 11, float(i / 6) * 11 - 15);
        w.btnCancel->click();
    }
    return w;
}

} // namespace

class TestBlockEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leftPressAddsAndEnterCommits()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        clickDiagram(w, Qt::LeftButton, 20.4f, -3.6f);
        QCOMPARE(w.EditedBlock, 1);
        QCOMPARE(w.table().BlockX[1], 15.0f);
        QVERIFY(!w.frameEdit->isHidden() && w.frameControl->isHidden());
        QCOMPARE(QApplication::focusWidget(), w.txtText);
        QCOMPARE(diagramColour(w, 15, -4), kRed); // the red outline on the box's left edge
        QVERIFY(w.document().isModified());       // the new block goes into the file: an edit
        typeText(w.txtNotes, "Line one");
        QTest::keyClick(w.txtNotes, Qt::Key_Return); // Enter in the notes is a line break
        typeText(w.txtNotes, "Line two");
        typeText(w.txtText, "Conveyor stopped");
        pressEnter(w.txtText);
        QCOMPARE(w.table().BlockText[1], QString("Conveyor stopped"));
        QCOMPARE(w.table().BlockNotes[1], QString("Line one\r\nLine two"));
        QVERIFY(w.frameEdit->isHidden() && !w.frameControl->isHidden());
        QCOMPARE(w.windowTitle(), QString("Tessik:  *"));
        QCOMPARE(diagramColour(w, 15, -4), kBlack); // redrawn: the red outline is gone
    }

    // Texts from a file may hold what a text box would rewrite: Cancel keeps them, and so does
    // OK when nothing was typed.
    void cancelAndUntouchedTextsComeBackExactly()
    {
        WindowFixture f;
        frmKelvane &w = windowWithBlocks(f, 1);
        const QString caption = QString::fromUtf8(" A\u00a0B  ") + QChar(0x81) + "\tC ";
        const QString notes = "bare\nline feed\rand carriage return\r\n";
        w.document().commitBlock(1, caption, notes);
        const int steps = w.document().history().count();
        const QString title = w.windowTitle();
        clickDiagram(w, Qt::LeftButton, 2, -13);
        typeText(w.txtText, "typed but cancelled");
        w.btnCancel->click();
        QCOMPARE(w.table().BlockText[1], caption);
        QCOMPARE(w.document().history().count(), steps);
        QCOMPARE(w.windowTitle(), title);
        clickDiagram(w, Qt::LeftButton, 2, -13);
        w.btnImplement->click();
        QCOMPARE(w.table().BlockText[1], caption);
        QCOMPARE(w.table().BlockNotes[1], notes);
    }

    void openingAnotherBlockKeepsWhatWasTyped()
    {
        WindowFixture f;
        frmKelvane &w = windowWithBlocks(f, 7);
        w.document().commitBlock(7, "Seven", QString());
        clickDiagram(w, Qt::LeftButton, 33, -15); // block 4, centred there
        QCOMPARE(w.EditedBlock, 4);
        typeText(w.txtText, "typed for four");
        clickDiagram(w, Qt::LeftButton, 0, -4); // block 7
        QCOMPARE(w.EditedBlock, 7);
        QCOMPARE(w.txtText->toPlainText(), QString("Seven"));
        QCOMPARE(w.table().BlockText[4], QString("typed for four"));
        QCOMPARE(diagramColour(w, 28, -15), kBlack); // block 4's red outline is gone
    }

    void deleteUnlinksTheChildrenAndFreesTheSlot()
    {
        WindowFixture f;
        frmKelvane &w = windowWithBlocks(f, 6);
        w.document().linkBlocks(5, 2);
        w.document().linkBlocks(6, 2);
        w.document().linkBlocks(2, 1);
        clickDiagram(w, Qt::LeftButton, 11, -15);
        QCOMPARE(w.EditedBlock, 2);
        w.btnDelete->click();
        QVERIFY(!w.table().isLive(2) && w.table().isLive(5) && w.table().isLive(6));
        QCOMPARE(w.table().BlockParent[5], std::int16_t(0));
        QCOMPARE(w.table().BlockParent[6], std::int16_t(0));
        QVERIFY(!w.frameControl->isHidden());
        QCOMPARE(w.windowTitle(), QString("Tessik:  *")); // a delete is an edit
        QCOMPARE(diagramColour(w, 11, -15), kWhite);      // gone from the picture
        clickDiagram(w, Qt::LeftButton, 50, 10);
        QCOMPARE(w.EditedBlock, 2); // the next new block takes the freed slot
        QCOMPARE(w.table().BlockCount, std::int16_t(6));
    }

    void presetsAppendToTheNotes()
    {
        WindowFixture f;
        frmKelvane &w = windowWithBlocks(f, 1);
        clickDiagram(w, Qt::LeftButton, 2, -13);
        auto choose = [&](const QString &entry) {
            const int index = w.lstPresets->findText(entry);
            QVERIFY(index >= 0);
            w.lstPresets->setCurrentIndex(index);
            Q_EMIT w.lstPresets->activated(index);
        };
        choose("Science");
        QCOMPARE(w.txtNotes->toPlainText(), QString("Science"));
        choose("Human Factors");
        QCOMPARE(w.txtNotes->toPlainText(), QString("Science; Human Factors"));
        choose("<Select Categories>");
        choose("<------------------>");
        QCOMPARE(w.txtNotes->toPlainText(), QString("Science; Human Factors"));
        QVERIFY(w.table().BlockNotes[1].isEmpty()); // stored only by the commit
        w.btnImplement->click();
        QCOMPARE(w.table().BlockNotes[1], QString("Science; Human Factors"));
    }

    void fullTableTellsTheUser()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        for (int i = 0; i < kMaxBlocks; ++i)
            w.document().addBlock(float(i % 10) * 6, float(i / 10) * 4 - 20);
        const BlockTable before = w.table();
        clickDiagram(w, Qt::LeftButton, 62, 15);
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].contains("100 blocks"));
        QCOMPARE(w.table().BlockActive, before.BlockActive);
        QVERIFY(w.frameEdit->isHidden());
    }
};

QTEST_MAIN(TestBlockEditor)
#include "test_block_editor.moc"

#include "support/document_state.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

// Block 1 with children 2 and 4, block 2 with child 3, laid out as the links would have them.
frmKelvane &windowWithChain(WindowFixture &f)
{
    frmKelvane &w = f.start();
    Analysis analysis;
    BlockTable &t = analysis.table;
    t.addBlock(5, 5);
    t.addBlock(25, -10);
    t.addBlock(45, -10);
    t.addBlock(25, 15);
    t.BlockParent[2] = 1;
    t.BlockParent[4] = 1;
    t.BlockParent[3] = 2;
    openAnalysis(f, analysis);
    return w;
}

} // namespace

class TestReplayWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clicksRevealTheChainGenerationByGeneration()
    {
        WindowFixture f;
        frmKelvane &w = windowWithChain(f);
        w.btnAnimate->click(); // a new run: everything hidden, quick fade
        QCOMPARE(f.platform.pauses, QList<int>(30, 1));
        // Nearly white: the old picture keeps only a faint trace.
        QVERIFY(qRed(w.diagram().image().pixel(w.mapping().ScaleToPixelsX(0), w.mapping().ScaleToPixelsY(5))) > 240);
        f.platform.pauses.clear();
        w.btnAnimate->click(); // the causes without children: 3 and 4
        QCOMPARE(f.platform.pauses, QList<int>(30, 50));
        QCOMPARE(w.animation().lookOf(3), BlockLook::Highlighted);
        QCOMPARE(w.animation().lookOf(1), BlockLook::Hidden);
        const Colour outline = diagramColour(w, 40, -10);
        QVERIFY2(redOf(outline) > 240 && greenOf(outline) < 20, qPrintable(QString::number(outline, 16)));
        w.btnAnimateForward->click(); // the other button goes on with the same run
        QCOMPARE(w.animation().lookOf(3), BlockLook::Plain);
        QCOMPARE(w.animation().lookOf(1), BlockLook::Highlighted); // forward: the block without a parent
        QCOMPARE(w.animation().lookOf(2), BlockLook::Hidden);      // its parent is still hidden
    }

    void anEditEndsTheRun()
    {
        WindowFixture f;
        frmKelvane &w = windowWithChain(f);
        w.btnAnimate->click();
        w.btnAnimate->click();
        clickDiagram(w, Qt::LeftButton, 5, 5);
        pressEnter(w.txtText);
        for (int id = 1; id <= 4; ++id)
            QVERIFY(w.animation().lookOf(id) != BlockLook::Hidden);
        f.platform.pauses.clear();
        w.btnAnimateForward->click();
        QCOMPARE(f.platform.pauses, QList<int>(30, 1)); // a new run again
    }

    void buttonIsDisabledWhileItsStepRuns()
    {
        WindowFixture f;
        frmKelvane &w = windowWithChain(f);
        QList<bool> clickedEnabled, otherEnabled;
        // Every refresh of the diagram is one fade frame.
        w.diagram().setRefreshListener([&](const QRect &) {
            clickedEnabled.append(w.btnAnimateForward->isEnabled());
            otherEnabled.append(w.btnAnimate->isEnabled());
        });
        w.btnAnimateForward->click();
        QCOMPARE(clickedEnabled, QList<bool>(30, false));
        QCOMPARE(otherEnabled, QList<bool>(30, true));
        QVERIFY(w.btnAnimateForward->isEnabled());
    }

    void snapshotLandsInTheFolderOfTheLoadedFile()
    {
        WindowFixture f;
        QDir().mkpath(f.path("elsewhere"));
        QVERIFY(QFile::copy(TESSIK_TEST_DATA "/worked_example.rca.xml", f.path("elsewhere/A.rca.xml")));
        frmKelvane &w = f.start();
        w.btnSnapShot->click();
        const QString first = f.path("work/RCA_Snapshot.bmp");
        QVERIFY(QFile::exists(first));
        f.platform.fileAnswers.enqueue(f.path("elsewhere/A.rca.xml"));
        w.btnLoadXML->click();
        w.btnSnapShot->click();
        const QString second = f.path("elsewhere/RCA_Snapshot.bmp");
        QCOMPARE(f.platform.openedUrls, (QStringList{first, second}));
        QCOMPARE(QImage(second, "BMP").convertToFormat(QImage::Format_RGB32), w.diagram().image());
        QVERIFY(f.platform.messages.isEmpty());
    }

    void snapshotThatCannotBeWrittenSaysSo()
    {
        WindowFixture f;
        frmKelvane &w = windowWithChain(f);
        f.platform.current = f.path("work/vanished");
        const QImage before = w.diagram().image().copy();
        w.btnSnapShot->click();
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].contains("RCA_Snapshot.bmp"));
        QVERIFY(f.platform.openedUrls.isEmpty());
        QCOMPARE(w.diagram().image(), before);
    }

    void trainingOpensTheVideoPage()
    {
        WindowFixture f;
        frmKelvane &w = windowWithChain(f);
        w.txtOffice->setFocus();
        w.btnTraining->click();
        QCOMPARE(f.platform.openedUrls.size(), 1);
        QVERIFY(f.platform.openedUrls[0].startsWith("https://"));
        QCOMPARE(QApplication::focusWidget(), w.txtDescription);
        QVERIFY(!w.document().isModified()); // the focus move is no edit
        QVERIFY(f.platform.messages.isEmpty());
    }
};

QTEST_MAIN(TestReplayWindow)
#include "test_replay_window.moc"

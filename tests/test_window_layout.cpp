#include "support/window_fixture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

class TestWindowLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsAtTheirConstructionPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("shown");
        auto row = [](const char *name, const char *container, const char *caption, QRect geometry, bool shown = true) {
            QTest::newRow(name) << QString(name) << QString(container) << QString(caption) << geometry << shown;
        };
        row("txtText", "frameEdit", "", {4, 8, 121, 97});
        row("Label1", "frameEdit", "Text", {128, 8, 25, 17});
        row("txtNotes", "frameEdit", "", {164, 8, 273, 97});
        row("Label2", "frameEdit", "Notes", {444, 8, 33, 17});
        row("lstPresets", "frameEdit", "", {448, 32, 149, 21});
        row("btnImplement", "frameEdit", "OK", {612, 8, 69, 25});
        row("btnCancel", "frameEdit", "Cancel", {612, 36, 69, 25});
        row("btnDelete", "frameEdit", "Delete Block", {612, 80, 69, 29});
        row("Label3", "frameAnalyze", "Phrase:", {8, 20, 33, 13});
        row("txtKeyWord", "frameAnalyze", "", {48, 16, 173, 21});
        row("btnSearch", "frameAnalyze", "Search", {96, 60, 73, 29});
        row("lstFileNames", "frameAnalyze", "", {244, 12, 325, 116});
        row("btnAnalysisDone", "frameAnalyze", "Done", {596, 12, 73, 29});
        row("btnNew", "frameControl", "New", {8, 12, 73, 29});
        row("btnSave", "frameControl", "Save", {92, 12, 73, 29});
        row("btnSnapShot", "frameControl", "Snapshot", {176, 12, 73, 29});
        row("btnAnimateForward", "frameControl", "Impacts_from_Causes -------->", {260, 12, 117, 29});
        row("btnAnimate", "frameControl", "Causes_To _Impacts <--------", {376, 12, 117, 29});
        row("btnSend", "frameControl", "Transmit to Pelmar", {512, 12, 73, 29}, false);
        row("btnQuit", "frameControl", "Quit", {600, 12, 73, 29});
        row("btnLoadXML", "frameControl", "Load", {8, 44, 73, 29});
        row("btnSaveAs", "frameControl", "Save As", {92, 44, 73, 29});
        row("btnAnalyze", "frameControl", "Search", {176, 44, 73, 29});
        row("btnTraining", "frameControl", "Tessik Training Video", {4, 96, 121, 29});
        row("btnTrainingReference", "frameControl", "RCA Training Reference", {132, 96, 125, 29}, false);
        row("frameDescription", "frameControl", "Event Description", {260, 44, 417, 85});
        row("optType(1)", "frameControl", "Categories", {680, 20, 89, 13});
        row("optType(0)", "frameControl", "Notes", {680, 40, 53, 13});
        row("lblversion", "frameControl", "16.01.02", {684, 116, 61, 13});
        row("PicCategories", "frameControl", "", {756, 12, 205, 113});
        row("picLedgend", "frameControl", "", {764, 12, 137, 117}, false);
        row("txtDescription", "frameDescription", "", {8, 20, 401, 21});
        row("Label4", "frameDescription", "E-Mail Point of Contact", {8, 44, 137, 13});
        row("txtemail", "frameDescription", "", {8, 60, 145, 21});
        row("Label5", "frameDescription", "@example.org", {156, 64, 77, 13});
        row("Label6", "frameDescription", "Office", {276, 44, 93, 13});
        row("txtOffice", "frameDescription", "", {276, 60, 125, 21});
    }
    void controlsAtTheirConstructionPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QFETCH(bool, shown);
        WindowFixture f;
        frmKelvane &w = f.start();
        auto *control = w.findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->parentWidget()->objectName(), container);
        // Buttons, labels and line edits show a text, the frame a title; the rest show none.
        QCOMPARE(control->property(control->inherits("QGroupBox") ? "title" : "text").toString(), caption);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(!control->isHidden(), shown);
    }

    void startUpLayout()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        QCOMPARE(w.size(), QSize(1000, 699));
        QCOMPARE(w.windowTitle(), QString("Tessik"));
        QCOMPARE(w.picDiagram->geometry(), QRect(10, 10, 980, 699 - 133 - 20));
        QCOMPARE(w.frameControl->geometry(), QRect(8, 699 - 133 - 10, 980, 133));
        QCOMPARE(w.frameEdit->geometry(), w.frameControl->geometry());
        QVERIFY(w.frameEdit->isHidden() && w.frameAnalyze->isHidden() && w.picBuffer->isHidden());
        QVERIFY(w.optType[1]->isChecked());
        // The diagram is white and empty, drawn on a bitmap the size of its drawing area.
        const Surface &s = w.diagram();
        QCOMPARE(QSize(s.pixelWidth(), s.pixelHeight()), w.picDiagram->contentsRect().size());
        QCOMPARE(s.image(), Surface(s.pixelWidth(), s.pixelHeight()).image());
        // One unit is fixed by the drawing area the diagram had when it was built.
        QCOMPARE(w.mapping().DiagramPixelWidth, 609 - 4);
        QCOMPARE(w.mapping().DiagramPixelHeight, 401 - 4);
    }

    void resizeMovesAndWidensThePanels()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        w.document().addBlock(5, 5);
        const QImage before = w.diagram().image().copy(0, 0, 200, 200);
        const QRect buttonBefore = w.btnQuit->geometry();
        w.frameEdit->show(); // an open panel follows the command panel
        w.resize(1100, 749);
        QCOMPARE(w.picDiagram->size(), QSize(1080, 749 - 133 - 20));
        QCOMPARE(w.picBuffer->size(), w.picDiagram->size());
        QCOMPARE(w.frameControl->geometry(), QRect(8, 749 - 133 - 10, 1080, 133));
        QCOMPARE(w.frameEdit->geometry(), w.frameControl->geometry());
        QCOMPARE(w.frameAnalyze->geometry(), w.frameControl->geometry());
        QCOMPARE(w.btnQuit->geometry(), buttonBefore);
        QCOMPARE(w.diagram().pixelWidth(), w.picDiagram->contentsRect().width());
        // The same block covers the same pixels: a larger window shows more of the plane.
        QCOMPARE(w.diagram().image().copy(0, 0, 200, 200), before);
    }

    void windowSmallerThanTheFixedPartsKeepsRunning()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        w.document().addBlock(5, 5);
        w.setMinimumSize(0, 0); // the window forbids such sizes; the layout must still survive them
        w.resize(15, 60);
        w.Form_Resize();
        // The drawing area is narrower than its own frame: the bitmap is empty, not negative.
        QCOMPARE(w.diagram().pixelWidth(), 0);
        QCOMPARE(w.diagram().pixelHeight(), 0);
        w.resize(1000, 699);
        QCOMPARE(w.picDiagram->size(), QSize(980, 546));
        QVERIFY(w.diagram().point(60, 200) != -1);
    }
};

QTEST_MAIN(TestWindowLayout)
#include "test_window_layout.moc"

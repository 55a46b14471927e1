#include "render/plot_diagram.h"
#include "render/surface.h"

#include <QTest>

using namespace tessik;

namespace {

struct Scene {
    Surface surface{670, 430};
    BlockTable table;
    DiagramColours colours;
    Scene() { surface.setMapping(PixelMapping::forStartupSize(670, 430)); }
    int add(float left, float top) { return table.addBlock(left + 5, top + 5); }
    void plot(const QString &keyWord = QString()) { PlotDiagram(surface, table, colours, keyWord); }
};

constexpr Colour kGrey = RGB(164, 164, 164);
constexpr Colour kPink = RGB(255, 164, 164);

} // namespace

class TestPlotDiagram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyTableGivesAWhitePicture()
    {
        Scene scene;
        scene.surface.line(0, 0, 20, 20, kBlack);
        scene.plot();
        QCOMPARE(scene.surface.image(), Surface(670, 430).image());
    }

    void boxAndShadowGeometry()
    {
        Scene scene;
        scene.add(0, 0);
        scene.plot();
        const Surface &s = scene.surface;
        // Box 10, 215, 110, 315; shadow 15, 220, 115, 320 (right and bottom exclusive).
        QCOMPARE(s.point(10, 265), kBlack);
        QCOMPARE(s.point(109, 265), kBlack);
        QCOMPARE(s.point(60, 215), kBlack);
        QCOMPARE(s.point(60, 314), kBlack);
        QCOMPARE(s.point(9, 265), kWhite);
        QCOMPARE(s.point(110, 265), kGrey); // the shadow shows right of the box
        QCOMPARE(s.point(114, 265), kGrey);
        QCOMPARE(s.point(115, 265), kWhite);
        QCOMPARE(s.point(60, 319), kGrey);
        QCOMPARE(s.point(60, 320), kWhite);
        QCOMPARE(s.point(60, 220), kWhite); // the shadow's top edge lies under the box's fill
        // The surface is left with a black pen and a transparent fill for the marks drawn later.
        QCOMPARE(s.penColour(), kBlack);
        QCOMPARE(s.fillStyle(), FillStyle::Transparent);
    }

    void fillByNotesOrByCategory_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("notes");
        QTest::addColumn<QString>("category");
        QTest::addColumn<Colour>("fill");
        const auto row = [](const char *name, int view, const char *notes, const char *category, Colour fill) {
            QTest::newRow(name) << view << QString::fromLatin1(notes) << QString::fromLatin1(category) << fill;
        };
        row("notes: technology and human factors", 0, "Technology; Human Factors", "Motives", RGB(191, 255, 255));
        row("notes: all three, any case", 0, "SCIENCE technology human FACTORS", "", RGB(235, 235, 235));
        row("notes: none", 0, "rain", "Information", RGB(255, 255, 255));
        row("category: the same block", 1, "Technology; Human Factors", "Motives", RGB(96, 246, 121));
        row("category: information comes before motives", 1, "", "Motives; Information", RGB(170, 156, 254));
        row("category: science is no category", 1, "", "Science", RGB(255, 255, 255));
        row("category: structure/process", 1, "", "structure/PROCESS", RGB(239, 103, 229));
    }
    void fillByNotesOrByCategory()
    {
        QFETCH(int, view);
        QFETCH(QString, notes);
        QFETCH(QString, category);
        QFETCH(Colour, fill);
        Scene scene;
        scene.colours.ViewType = view;
        const int id = scene.add(0, 0);
        scene.table.BlockNotes[id] = notes;
        scene.table.BlockCategory[id] = category;
        scene.plot();
        QCOMPARE(scene.surface.point(60, 225), fill); // inside the box, above its caption
    }

    void searchHitsAreHighlighted_data()
    {
        QTest::addColumn<QString>("keyWord");
        QTest::addColumn<bool>("floodHit");
        QTest::newRow("phrase") << "flood" << true;
        QTest::newRow("phrase in capitals") << "FLOOD" << true;
        QTest::newRow("empty phrase") << "" << false;
    }
    void searchHitsAreHighlighted()
    {
        QFETCH(QString, keyWord);
        QFETCH(bool, floodHit);
        Scene scene;
        const int flood = scene.add(0, 0);
        const int rain = scene.add(20, 0);
        scene.table.BlockText[flood] = "Flooding on Main St";
        scene.table.BlockText[rain] = "Rain";
        scene.plot(keyWord);
        const Surface &s = scene.surface;
        QCOMPARE(s.point(10, 265), floodHit ? kRed : kBlack);
        QCOMPARE(s.point(112, 265), floodHit ? kPink : kGrey);
        QCOMPARE(s.point(210, 265), kBlack); // the rain block stays ordinary
        QCOMPARE(s.point(312, 265), kGrey);
        int dark = 0; // its caption is printed in the middle of its box, away from the outline
        for (int y = 240; y < 290; ++y)
            for (int x = 230; x < 290; ++x)
                dark += qRed(s.image().pixel(x, y)) < 100 ? 1 : 0;
        QVERIFY(dark > 10);
    }

    void linksRunUnderTheBoxes()
    {
        Scene scene;
        const int parent = scene.add(0, 0);
        const int child = scene.add(30, 0);
        scene.table.BlockParent[child] = short(parent);
        scene.plot();
        const Surface &s = scene.surface;
        // The centre line y = 5 runs at pixel row 265 from x 60 to 360.
        QCOMPARE(s.point(200, 265), kBlack); // between the boxes
        QCOMPARE(s.point(80, 265), kWhite);  // inside the parent's box: covered by its fill
        QCOMPARE(s.point(340, 265), kWhite); // inside the child's box
        // A parent freed by hand, its link left behind: the link still goes where it was.
        scene.table.BlockActive[parent] = 0;
        scene.plot();
        QCOMPARE(s.point(80, 265), kBlack);
        scene.table.BlockParent[child] = 0;
        scene.plot();
        QCOMPARE(s.point(200, 265), kWhite);
    }

    void higherSlotsLieOnTop()
    {
        Scene scene;
        const int lower = scene.add(0, 0);
        const int upper = scene.add(4, 0);
        scene.table.BlockCategory[lower] = "Motives";
        scene.table.BlockCategory[upper] = "Information";
        scene.plot();
        // Where the boxes overlap the later slot's fill wins, and every shadow lies below both.
        QCOMPARE(scene.surface.point(90, 300), RGB(170, 156, 254));
        QCOMPARE(scene.surface.point(30, 300), RGB(96, 246, 121));
    }
};

QTEST_MAIN(TestPlotDiagram)
#include "test_plot_diagram.moc"

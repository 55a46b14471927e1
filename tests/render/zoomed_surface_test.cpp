// The diagram drawn in a zoomed and scrolled view.
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/test_main.h"

using namespace tessik;

namespace {
struct ViewRow {
    PlaneView view;
    qreal ratio;
};
} // namespace

class ZoomedSurfaceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The shown picture is the 100 % one enlarged about the view's corner, its round corners too,
    // drawn at the screen's density; the plain picture stays the 100 % one byte for byte.
    void theViewScalesThePicture_data()
    {
        test::addRows<ViewRow>({{"400 %, scrolled", {{4, 20, 862}, 1}},
                                {"50 %, moved off the origin", {{0.5, -8, -4}, 1}},
                                {"200 % at ratio 2", {{2, 0, 330}, 2}}});
    }
    void theViewScalesThePicture()
    {
        QFETCH(ViewRow, row);
        const auto &[view, ratio] = row;
        BlockTable table;
        const int id = table.addBlock(5, 5);
        table.setCaption(id, "Pump"), table.setCategory(id, "Motives");
        Surface plain(670, 430), zoomed;
        zoomed.setDevicePixelRatio(ratio);
        zoomed.resize(670, 430);
        zoomed.setView(view);
        for (Surface *s : {&plain, &zoomed}) {
            s->setMapping(PixelMapping::forStartupSize(670, 430));
            PlotDiagram(*s, table, DiagramColours(), QString());
        }
        QVERIFY2(zoomed.logicalImage() == plain.image(), "the plain picture is not the 100 % one");
        // At 100 % the box runs from pixel (10, 215) to (110, 315), its corners of radius 15, and
        // its shadow to (115, 320). Where the view shows a pixel of that picture, `dx` device pixels on:
        const auto shown = [&](int x, int y, int dx = 0) {
            const qreal scale = ratio * view.zoom;
            return fromPixel(zoomed.image().pixel(int(std::llround(x * scale) - std::llround(view.left * ratio) + dx),
                                                  int(std::llround(y * scale) - std::llround(view.top * ratio))));
        };
        const QList<Colour> seen{shown(10, 265, -1), shown(10, 265), shown(10, 265, 1), shown(60, 317), shown(13, 218)};
        const Colour fill = boxFill(table, id, DiagramColours());
        QCOMPARE(seen,
                 (QList<Colour>{kWhite, kBlack, fill, kShadowColour, kWhite})); // ground, outline, fill, shadow, corner
    }
};

TESSIK_TEST(ZoomedSurfaceTest)
#include "zoomed_surface_test.moc"

// Checks the pictures the program carries. They are drawn by src/tools/draw_artwork.cpp; the
// geometry below is what that tool lays out, and a press anywhere on a key must give the value
// the geometry says.

#include "model/colour_pick.h"
#include "render/artwork.h"

#include <QTest>

#include <algorithm>
#include <vector>

using namespace tessik;

namespace {

constexpr QRgb kGround = qRgb(255, 255, 255);
constexpr QRgb kInk = qRgb(0, 0, 0);
constexpr QRgb kConnector = qRgb(64, 64, 64); // the legend's joining lines

struct Region {
    QRgb fill;
    const char *value;
};

// Black lines along these columns and rows, one cell between each pair of neighbours.
constexpr int kGridColumns[] = {12, 71, 129, 190};
constexpr int kGridRows[] = {8, 55, 103};
const Region kCells[2][3] = {
    {{qRgb(253, 189, 189), "Physical Resources"},
     {qRgb(244, 152, 237), "Structure/Process"},
     {qRgb(221, 215, 255), "Information"}},
    {{qRgb(255, 255, 102), "Knowledge and Skills"},
     {qRgb(191, 251, 201), "Motives"},
     {qRgb(134, 255, 255), "Wellness/Capacity"}},
};

struct Shape {
    Region region;
    QRect box; // every pixel of the circle, outline included
};
const Shape kShapes[] = {
    {{qRgb(188, 250, 204), "Technology"}, QRect(QPoint(40, 3), QPoint(85, 32))},
    {{qRgb(252, 190, 188), "Science"}, QRect(QPoint(3, 77), QPoint(49, 107))},
    {{qRgb(220, 214, 252), "Human Factors"}, QRect(QPoint(85, 77), QPoint(131, 107))},
    {{qRgb(252, 254, 100), "Technology; Science"}, QRect(QPoint(22, 39), QPoint(46, 63))},
    {{qRgb(132, 254, 252), "Technology; Human Factors"}, QRect(QPoint(83, 39), QPoint(106, 63))},
    {{qRgb(244, 154, 236), "Science; Human Factors"}, QRect(QPoint(55, 87), QPoint(78, 110))},
    {{qRgb(212, 214, 212), "Science; Technology; Human Factors"}, QRect(QPoint(53, 52), QPoint(76, 75))},
};

QString at(int x, int y, QRgb pixel)
{
    return QString::asprintf("(%d, %d) RGB(%d, %d, %d)", x, y, qRed(pixel), qGreen(pixel), qBlue(pixel));
}

int indexIn(const int (&lines)[4], int v)
{
    return int(std::find(lines, lines + 4, v) - lines);
}

// The colours allowed under a pixel of the category key and the value a press there gives:
// letters and vertical lines take the cell to their right, horizontal lines walk along black
// past the right frame line into the white margin.
std::pair<std::vector<QRgb>, QString> categoryExpectation(int x, int y)
{
    if (x < kGridColumns[0] || x > kGridColumns[3] || y < kGridRows[0] || y > kGridRows[2])
        return {{kGround}, QString()};
    if (y == kGridRows[0] || y == kGridRows[1] || y == kGridRows[2] || x == kGridColumns[3])
        return {{kInk}, QString()};
    const int row = y < kGridRows[1] ? 0 : 1;
    const int line = indexIn(kGridColumns, x);
    const int column = line < 4 ? line : x < kGridColumns[1] ? 0 : x < kGridColumns[2] ? 1 : 2;
    const Region &cell = kCells[row][column];
    return {line < 4 ? std::vector<QRgb>{kInk} : std::vector<QRgb>{cell.fill, kInk}, QLatin1String(cell.value)};
}

// On the legend a fill gives its shape, the ground nothing, and ink or a joining line the first
// pixel to its right that is neither.
QString legendExpectation(const QImage &picture, int x, int y)
{
    for (; x < picture.width(); ++x) {
        const QRgb pixel = picture.pixel(x, y) | 0xff000000u;
        if (pixel == kGround)
            return QString();
        for (const Shape &shape : kShapes)
            if (pixel == shape.region.fill)
                return QLatin1String(shape.region.value);
    }
    return QString();
}

bool deepInside(const Shape &shape, int x, int y) // three pixels inside the outline
{
    const double dx = (x + 0.5 - shape.box.left() - shape.box.width() / 2.0) / (shape.box.width() / 2.0 - 3);
    const double dy = (y + 0.5 - shape.box.top() - shape.box.height() / 2.0) / (shape.box.height() / 2.0 - 3);
    return dx * dx + dy * dy <= 1.0;
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void categoryKeyMatchesItsGridEverywhere()
    {
        const QImage picture = categoryKeyPicture();
        QCOMPARE(picture.size(), QSize(202, 110));
        int letterPixels = 0; // the cells carry their names
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb pixel = picture.pixel(x, y) | 0xff000000u;
                const auto [allowed, value] = categoryExpectation(x, y);
                letterPixels += allowed.size() == 2 && pixel == kInk;
                if (std::find(allowed.begin(), allowed.end(), pixel) == allowed.end())
                    QFAIL(qPrintable(QStringLiteral("unexpected colour at ") + at(x, y, pixel)));
                if (SelectCategory(picture, x, y) != value)
                    QFAIL(qPrintable(QStringLiteral("press at %1 gives \"%2\", the grid says \"%3\"")
                                         .arg(at(x, y, pixel), SelectCategory(picture, x, y), value)));
            }
        QVERIFY2(letterPixels > 6 * 40, qPrintable(QString::number(letterPixels)));
        // The presses users make most, named: on a dividing line, the frame, the ground, beside it.
        QCOMPARE(SelectCategory(picture, 71, 30), QStringLiteral("Structure/Process"));
        QCOMPARE(SelectCategory(picture, 190, 30), QString());
        QCOMPARE(SelectCategory(picture, 5, 5), QString());
        QCOMPARE(SelectCategory(picture, 202, 30), QString());
    }

    // Every pixel is the ground, ink or a fill at its shape's place; a press inside a shape,
    // its label included, gives that shape.
    void notesLegendMatchesItsShapesEverywhere()
    {
        const QImage picture = notesLegendPicture();
        QCOMPARE(picture.size(), QSize(134, 113));
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb pixel = picture.pixel(x, y) | 0xff000000u;
                bool known = pixel == kGround || pixel == kInk || pixel == kConnector;
                for (const Shape &shape : kShapes)
                    if (pixel == shape.region.fill) {
                        if (!shape.box.contains(x, y))
                            QFAIL(qPrintable(QStringLiteral("a fill strays at ") + at(x, y, pixel)));
                        known = true;
                    }
                if (!known)
                    QFAIL(qPrintable(QStringLiteral("unexpected colour at ") + at(x, y, pixel)));
                const QString expected = legendExpectation(picture, x, y);
                if (SelectNote(picture, x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("press at %1 gives \"%2\", the colours say \"%3\"")
                                         .arg(at(x, y, pixel), SelectNote(picture, x, y), expected)));
                for (const Shape &shape : kShapes)
                    if (deepInside(shape, x, y) && expected != QLatin1String(shape.region.value))
                        QFAIL(qPrintable(
                            QStringLiteral("press at %1 is not \"%2\"").arg(at(x, y, pixel), shape.region.value)));
            }
    }

    void pickPointerHasItsTipAtTheHotSpot()
    {
        const QImage pointer = pickPointerImage();
        QCOMPARE(pointer.size(), QSize(32, 32));
        QCOMPARE(pickPointerHotSpot(), QPoint(11, 27));
        QCOMPARE(pointer.pixel(11, 27), kInk);
        // The hot spot is the tip: nothing of the pointer lies left of it or below it.
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                QVERIFY(qAlpha(pointer.pixel(x, y)) == 0 || (x >= 11 && y <= 27));
    }

    void windowIconLoadsInBothSizes()
    {
        for (int size : {16, 32}) {
            const QImage icon = windowIconImage(size);
            QCOMPARE(icon.size(), QSize(size, size));
            int opaque = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    opaque += qAlpha(icon.pixel(x, y)) == 255;
            QVERIFY(opaque > size * size / 4 && opaque < size * size);
        }
        QVERIFY(windowIconImage(24).isNull());
    }
};

QTEST_MAIN(TestArtwork)
#include "test_artwork.moc"

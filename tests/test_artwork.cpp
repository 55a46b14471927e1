// The key pictures, the pick pointer and the window icon are drawn by the generator below.
// Run this test with TESSIK_WRITE_ARTWORK=1 to redraw them into the assets folder (then rebuild,
// so the resources pick them up); without it the test checks the pictures the program carries.

#include "model/colour_pick.h"
#include "render/artwork.h"
#include "render/bmp.h"
#include "support/test_env.h"
#include "render/colour.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace tessik;

namespace {

// ---- What the pictures hold -------------------------------------------------------------

constexpr QRgb kGround = qRgb(255, 255, 255);
constexpr QRgb kInk = qRgb(0, 0, 0);          // lines, outlines and letters
constexpr QRgb kConnector = qRgb(64, 64, 64); // the legend's joining lines

struct Region {
    QRgb fill;
    const char *value;
    QStringList label; // one entry per line
};

// The category grid: black lines along these pixel columns and rows, one cell between each
// pair of neighbouring lines.
constexpr int kGridColumns[] = {12, 71, 129, 190};
constexpr int kGridRows[] = {8, 55, 103};

const Region kCells[2][3] = {
    {{qRgb(253, 189, 189), "Physical Resources", {"Physical", "Resources"}},
     {qRgb(244, 152, 237), "Structure/Process", {"Structure/", "Process"}},
     {qRgb(221, 215, 255), "Information", {"Information"}}},
    {{qRgb(255, 255, 102), "Knowledge and Skills", {"Knowledge", "and Skills"}},
     {qRgb(191, 251, 201), "Motives", {"Motives"}},
     {qRgb(134, 255, 255), "Wellness/Capacity", {"Wellness/", "Capacity"}}},
};

QRect cellRect(int row, int column)
{
    return QRect(QPoint(kGridColumns[column] + 1, kGridRows[row] + 1),
                 QPoint(kGridColumns[column + 1] - 1, kGridRows[row + 1] - 1));
}

struct Shape {
    Region region;
    QRect box; // every pixel of the shape, outline included
    bool oval;
};

const std::vector<Shape> &legendShapes()
{
    static const std::vector<Shape> shapes = {
        {{qRgb(188, 250, 204), "Technology", {"Technology"}}, QRect(QPoint(40, 3), QPoint(85, 32)), true},
        {{qRgb(252, 190, 188), "Science", {"Science"}}, QRect(QPoint(3, 77), QPoint(49, 107)), true},
        {{qRgb(220, 214, 252), "Human Factors", {"Human", "Factors"}}, QRect(QPoint(85, 77), QPoint(131, 107)), true},
        {{qRgb(252, 254, 100), "Technology; Science", {}}, QRect(QPoint(22, 39), QPoint(46, 63)), false},
        {{qRgb(132, 254, 252), "Technology; Human Factors", {}}, QRect(QPoint(83, 39), QPoint(106, 63)), false},
        {{qRgb(244, 154, 236), "Science; Human Factors", {}}, QRect(QPoint(55, 87), QPoint(78, 110)), false},
        {{qRgb(212, 214, 212), "Science; Technology; Human Factors", {}}, QRect(QPoint(53, 52), QPoint(76, 75)), false},
    };
    return shapes;
}

// The joining lines of the legend: the triangle's sides through the side circles, and the
// middle circle to each side circle. Indexes into legendShapes().
constexpr int kLegendLinks[][2] = {{0, 3}, {3, 1}, {0, 4}, {4, 2}, {1, 5}, {5, 2}, {6, 3}, {6, 4}, {6, 5}};

constexpr QSize kCategorySize(202, 110);
constexpr QSize kLegendSize(134, 113);
constexpr int kPointerSize = 32;
constexpr QPoint kHotSpot(11, 27);

// ---- The generator ----------------------------------------------------------------------

// Every pixel of a key picture must be exactly the ground, a fill or ink: a smoothed edge pixel
// could fall into another region's colour class, so nothing is antialiased.
void prepareCrisp(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

QFont labelFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// Centres the lines of a label on a point, one below the other.
void drawLabel(QPainter &painter, const QStringList &lines, QPointF centre)
{
    const QFontMetrics metrics(painter.font());
    const int lineHeight = metrics.ascent() + metrics.descent() - 1;
    const int total = lineHeight * int(lines.size());
    int top = qRound(centre.y() - total / 2.0);
    for (const QString &line : lines) {
        const int left = qRound(centre.x() - metrics.horizontalAdvance(line) / 2.0);
        painter.drawText(QPoint(left, top + metrics.ascent()), line);
        top += lineHeight;
    }
}

QImage drawCategoryKey()
{
    QImage image(kCategorySize, QImage::Format_RGB32);
    image.fill(kGround);
    QPainter painter(&image);
    prepareCrisp(painter);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            painter.fillRect(cellRect(row, column), QColor(kCells[row][column].fill));
    for (int x : kGridColumns)
        painter.fillRect(QRect(QPoint(x, kGridRows[0]), QPoint(x, kGridRows[2])), QColor(kInk));
    for (int y : kGridRows)
        painter.fillRect(QRect(QPoint(kGridColumns[0], y), QPoint(kGridColumns[3], y)), QColor(kInk));
    painter.setFont(labelFont(10, false));
    painter.setPen(QColor(kInk));
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column) {
            const QRect cell = cellRect(row, column);
            drawLabel(painter, kCells[row][column].label, QPointF(cell.left() + cell.width() / 2.0, cell.center().y()));
        }
    return image;
}

QPointF boxCentre(const QRect &box)
{
    return QPointF(box.left() + box.width() / 2.0, box.top() + box.height() / 2.0);
}

QImage drawNotesLegend()
{
    QImage image(kLegendSize, QImage::Format_RGB32);
    image.fill(kGround);
    QPainter painter(&image);
    prepareCrisp(painter);
    const auto &shapes = legendShapes();
    painter.setPen(QPen(QColor(kConnector), 0));
    for (const auto &link : kLegendLinks)
        painter.drawLine(boxCentre(shapes[link[0]].box).toPoint(), boxCentre(shapes[link[1]].box).toPoint());
    painter.setPen(QPen(QColor(kInk), 0));
    for (const Shape &shape : shapes) {
        painter.setBrush(QColor(shape.region.fill));
        // An aliased outline covers one pixel more than the rectangle's width and height.
        painter.drawEllipse(shape.box.adjusted(0, 0, -1, -1));
    }
    painter.setFont(labelFont(8, false));
    for (const Shape &shape : shapes)
        drawLabel(painter, shape.region.label, boxCentre(shape.box));
    return image;
}

// A small eyedropper: its nozzle's end is the hot spot, the bulb up and to the right.
QImage drawPickPointer()
{
    QImage image(kPointerSize, kPointerSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    prepareCrisp(painter);
    const QColor black(kInk);
    const QColor white(kGround);
    // Tube: a white glass channel inside a black rim.
    painter.setPen(QPen(black, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPoint(13, 25), QPoint(22, 16));
    painter.setPen(QPen(white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPoint(14, 24), QPoint(21, 17));
    // Collar and bulb.
    painter.setPen(QPen(black, 1));
    painter.setBrush(black);
    painter.drawPolygon(QPolygon({QPoint(18, 16), QPoint(22, 12), QPoint(26, 16), QPoint(22, 20)}));
    painter.drawEllipse(QPoint(26, 8), 4, 4);
    painter.setPen(QPen(white, 1));
    painter.drawPoint(25, 6);
    painter.drawPoint(24, 7);
    // The tip itself: two black pixels ending exactly at the hot spot.
    painter.setPen(QPen(black, 1));
    painter.drawPoint(kHotSpot);
    painter.drawPoint(kHotSpot + QPoint(1, -1));
    return image;
}

// A box with its corners cut off, which at icon sizes reads as a rounded box and, unlike a
// rasterised curve, keeps the same shape at both sizes.
void drawIconBox(QImage &image, const QRect &box, QRgb fill, int cut)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const int intoCorner =
                std::min(x - box.left(), box.right() - x) + std::min(y - box.top(), box.bottom() - y);
            if (intoCorner < cut)
                continue;
            const bool edge =
                intoCorner == cut || x == box.left() || x == box.right() || y == box.top() || y == box.bottom();
            image.setPixel(x, y, edge ? kConnector : fill);
        }
}

// Three small linked boxes, the program's own diagrams in miniature: two causes on the left, the
// impact they lead to on the right.
QImage drawWindowIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    // Laid out on a 16 x 16 grid and scaled, so both sizes show the same picture.
    const int unit = size / 16;
    auto box = [unit](int x, int y, int w, int h) { return QRect(x * unit, y * unit, w * unit, h * unit); };
    const QRect upper = box(1, 2, 6, 5);
    const QRect lower = box(1, 10, 6, 5);
    const QRect impact = box(9, 6, 6, 5);
    {
        QPainter painter(&image);
        prepareCrisp(painter);
        painter.setPen(QPen(QColor(kConnector), unit, Qt::SolidLine, Qt::SquareCap));
        const QPoint into(impact.left(), impact.center().y());
        painter.drawLine(QPoint(upper.right(), upper.center().y()), into);
        painter.drawLine(QPoint(lower.right(), lower.center().y()), into);
    }
    drawIconBox(image, upper, kCells[0][0].fill, unit);
    drawIconBox(image, lower, kCells[1][0].fill, unit);
    drawIconBox(image, impact, kCells[1][2].fill, unit);
    return image;
}

QString assetsFolder()
{
    return QFileInfo(QString::fromUtf8(__FILE__)).absoluteDir().absoluteFilePath(QStringLiteral("../assets"));
}

// ---- Checks shared by the committed pictures and freshly drawn ones ---------------------

QString describe(int x, int y, QRgb pixel)
{
    return QStringLiteral("(%1, %2) RGB(%3, %4, %5)")
        .arg(x)
        .arg(y)
        .arg(qRed(pixel))
        .arg(qGreen(pixel))
        .arg(qBlue(pixel));
}

// Reads the picture through the same pixel convention the window uses.
PixelReader readerOf(const QImage &picture)
{
    return [&picture](int x, int y) -> Colour {
        if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
            return -1;
        return fromPixel(picture.pixel(x, y));
    };
}

bool isGridColumn(int x)
{
    return std::find(std::begin(kGridColumns), std::end(kGridColumns), x) != std::end(kGridColumns);
}

bool isGridRow(int y)
{
    return std::find(std::begin(kGridRows), std::end(kGridRows), y) != std::end(kGridRows);
}

// What the grid says lies under a pixel: the allowed colours there and the value a press gives.
struct CategoryExpectation {
    std::vector<QRgb> allowed;
    QString value;
};

CategoryExpectation categoryExpectation(int x, int y)
{
    const bool insideFrame = x >= kGridColumns[0] && x <= kGridColumns[3] && y >= kGridRows[0] && y <= kGridRows[2];
    if (!insideFrame)
        return {{kGround}, QString()};
    // Pressing a horizontal line walks along black to the margin beyond the right frame line.
    if (isGridRow(y))
        return {{kInk}, QString()};
    const int row = y < kGridRows[1] ? 0 : 1;
    if (isGridColumn(x)) {
        if (x == kGridColumns[3])
            return {{kInk}, QString()};
        const int column = x == kGridColumns[0] ? 0 : x == kGridColumns[1] ? 1 : 2;
        return {{kInk}, QString::fromLatin1(kCells[row][column].value)};
    }
    const int column = x < kGridColumns[1] ? 0 : x < kGridColumns[2] ? 1 : 2;
    return {{kCells[row][column].fill, kInk}, QString::fromLatin1(kCells[row][column].value)};
}

QString checkCategoryKey(const QImage &picture)
{
    if (picture.size() != kCategorySize)
        return QStringLiteral("the category key is %1 x %2").arg(picture.width()).arg(picture.height());
    const PixelReader reader = readerOf(picture);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y) | 0xff000000u;
            const CategoryExpectation expected = categoryExpectation(x, y);
            if (std::find(expected.allowed.begin(), expected.allowed.end(), pixel) == expected.allowed.end())
                return QStringLiteral("unexpected colour at ") + describe(x, y, pixel);
            const QString got = SelectCategory(reader, x, y);
            if (got != expected.value)
                return QStringLiteral("press at %1 gives \"%2\", the grid says \"%3\"")
                    .arg(describe(x, y, pixel), got, expected.value);
        }
    // Each cell carries its name: a fair number of letter pixels inside every cell.
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column) {
            const QRect cell = cellRect(row, column);
            int letters = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    letters += (picture.pixel(x, y) | 0xff000000u) == kInk;
            if (letters < 40)
                return QStringLiteral("the cell \"%1\" has only %2 letter pixels")
                    .arg(QString::fromLatin1(kCells[row][column].value))
                    .arg(letters);
        }
    return QString();
}

// The value a press means on the legend, read from the palette alone: a fill is its shape's
// value, the ground is empty and dark pixels take the first pixel to their right that is neither.
QString legendValueOfColour(QRgb pixel, bool &dark)
{
    dark = false;
    if (pixel == kGround)
        return QString();
    for (const Shape &shape : legendShapes())
        if (pixel == shape.region.fill)
            return QString::fromLatin1(shape.region.value);
    dark = true;
    return QString();
}

QString expectedLegendValue(const QImage &picture, int x, int y)
{
    for (; x < picture.width(); ++x) {
        bool dark = false;
        const QString value = legendValueOfColour(picture.pixel(x, y) | 0xff000000u, dark);
        if (!dark)
            return value;
    }
    return QString();
}

bool insideShrunkEllipse(const QRect &box, int inset, int x, int y)
{
    const double a = box.width() / 2.0 - inset;
    const double b = box.height() / 2.0 - inset;
    const QPointF centre = boxCentre(box);
    const double dx = (x + 0.5 - centre.x()) / a;
    const double dy = (y + 0.5 - centre.y()) / b;
    return dx * dx + dy * dy <= 1.0;
}

QString checkNotesLegend(const QImage &picture)
{
    if (picture.size() != kLegendSize)
        return QStringLiteral("the legend is %1 x %2").arg(picture.width()).arg(picture.height());
    const auto &shapes = legendShapes();
    const PixelReader reader = readerOf(picture);
    std::vector<int> fillCount(shapes.size(), 0);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y) | 0xff000000u;
            bool known = pixel == kGround || pixel == kInk || pixel == kConnector;
            for (std::size_t i = 0; i < shapes.size(); ++i)
                if (pixel == shapes[i].region.fill) {
                    known = true;
                    ++fillCount[i];
                    if (!shapes[i].box.contains(x, y))
                        return QStringLiteral("the fill of \"%1\" strays outside its place at %2")
                            .arg(QString::fromLatin1(shapes[i].region.value), describe(x, y, pixel));
                }
            if (!known)
                return QStringLiteral("unexpected colour at ") + describe(x, y, pixel);
            const QString expected = expectedLegendValue(picture, x, y);
            const QString got = SelectNote(reader, x, y);
            if (got != expected)
                return QStringLiteral("press at %1 gives \"%2\", the colours say \"%3\"")
                    .arg(describe(x, y, pixel), got, expected);
            // Inside a shape, letters included, a press picks that shape.
            for (const Shape &shape : shapes)
                if (insideShrunkEllipse(shape.box, 3, x, y) && expected != QLatin1String(shape.region.value))
                    return QStringLiteral("press at %1 inside \"%2\" gives \"%3\"")
                        .arg(describe(x, y, pixel), QString::fromLatin1(shape.region.value), expected);
        }
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const double ellipseArea = 3.14159 * shapes[i].box.width() * shapes[i].box.height() / 4.0;
        if (fillCount[i] < 0.5 * ellipseArea)
            return QStringLiteral("\"%1\" has only %2 fill pixels")
                .arg(QString::fromLatin1(shapes[i].region.value))
                .arg(fillCount[i]);
    }
    return QString();
}

QString checkPickPointer(const QImage &pointer)
{
    if (pointer.size() != QSize(kPointerSize, kPointerSize))
        return QStringLiteral("the pointer is %1 x %2").arg(pointer.width()).arg(pointer.height());
    bool black = false;
    bool white = false;
    for (int y = 0; y < pointer.height(); ++y)
        for (int x = 0; x < pointer.width(); ++x) {
            const QRgb pixel = pointer.pixel(x, y);
            if (qAlpha(pixel) == 0)
                continue;
            if (pixel == kInk)
                black = true;
            else if (pixel == kGround)
                white = true;
            else
                return QStringLiteral("the pointer has a pixel other than black, white or clear at %1 alpha %2")
                    .arg(describe(x, y, pixel))
                    .arg(qAlpha(pixel));
            // The hot spot is the tip: nothing of the pointer lies left of it or below it.
            if (x < kHotSpot.x() || y > kHotSpot.y())
                return QStringLiteral("the pointer reaches past its tip at (%1, %2)").arg(x).arg(y);
        }
    if (!black || !white)
        return QStringLiteral("the pointer needs both black and white");
    if (pointer.pixel(kHotSpot) != kInk)
        return QStringLiteral("the hot spot is not an opaque pixel of the pointer");
    return QString();
}

QString checkWindowIcon(const QImage &icon, int size)
{
    if (icon.size() != QSize(size, size))
        return QStringLiteral("the %1 pixel icon is %2 x %3").arg(size).arg(icon.width()).arg(icon.height());
    int opaque = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            opaque += qAlpha(icon.pixel(x, y)) == 255;
    if (opaque < size * size / 4 || opaque == size * size)
        return QStringLiteral("the %1 pixel icon has %2 opaque pixels").arg(size).arg(opaque);
    return QString();
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writeArtworkWhenAsked()
    {
        if (qEnvironmentVariable("TESSIK_WRITE_ARTWORK") != QLatin1String("1"))
            QSKIP("set TESSIK_WRITE_ARTWORK=1 to redraw the pictures into the assets folder");
        const QImage category = drawCategoryKey();
        const QImage legend = drawNotesLegend();
        const QImage pointer = drawPickPointer();
        QVERIFY2(checkCategoryKey(category).isEmpty(), qPrintable(checkCategoryKey(category)));
        QVERIFY2(checkNotesLegend(legend).isEmpty(), qPrintable(checkNotesLegend(legend)));
        QVERIFY2(checkPickPointer(pointer).isEmpty(), qPrintable(checkPickPointer(pointer)));
        const QDir assets(assetsFolder());
        // The pictures shown at start-up are stored as plain bitmaps, which start-up reads
        // without the image plugins.
        QVERIFY(test::writeBytes(assets.filePath("category_key.bmp"), encodeBmp24(category)));
        QVERIFY(test::writeBytes(assets.filePath("notes_legend.bmp"), encodeBmp24(legend)));
        QVERIFY(pointer.save(assets.filePath("pick_pointer.png")));
        for (int size : {16, 32}) {
            const QImage icon = drawWindowIcon(size);
            QVERIFY2(checkWindowIcon(icon, size).isEmpty(), qPrintable(checkWindowIcon(icon, size)));
            QVERIFY(test::writeBytes(assets.filePath(QStringLiteral("window_icon_%1.bmp").arg(size)), encodeBmp32(icon)));
        }
    }

    // Every pixel of the category key: the grid's colours where the grid puts them, and a press
    // anywhere gives the cell the grid says, letters and dividing lines included.
    void categoryKeyMatchesItsGridEverywhere()
    {
        const QImage picture = categoryKeyPicture();
        const QString fault = checkCategoryKey(picture);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void categoryPressesOnLinesAndOutside_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line between left and middle cells") << 71 << 30 << "Structure/Process";
        QTest::newRow("left frame line") << 12 << 30 << "Physical Resources";
        QTest::newRow("line between middle and right cells, bottom") << 129 << 80 << "Wellness/Capacity";
        QTest::newRow("outer right frame line") << 190 << 30 << "";
        QTest::newRow("middle horizontal line") << 40 << 55 << "";
        QTest::newRow("white margin") << 5 << 5 << "";
        QTest::newRow("left of the picture") << -1 << 30 << "";
        QTest::newRow("right of the picture") << 202 << 30 << "";
        QTest::newRow("above the picture") << 40 << -1 << "";
        QTest::newRow("below the picture") << 40 << 110 << "";
        QTest::newRow("far outside") << 5000 << 30 << "";
    }
    void categoryPressesOnLinesAndOutside()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QString, expected);
        QCOMPARE(SelectCategory(categoryKeyPicture(), x, y), expected);
    }

    // Every pixel of the legend is the ground, ink or a fill, every fill stays at its shape's
    // place, and a press anywhere inside a shape, its label included, gives that shape.
    void notesLegendMatchesItsShapesEverywhere()
    {
        const QImage picture = notesLegendPicture();
        const QString fault = checkNotesLegend(picture);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void legendPressesOutsideGiveNothing_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("left") << -1 << 60;
        QTest::newRow("right") << 134 << 60;
        QTest::newRow("above") << 60 << -1;
        QTest::newRow("below") << 60 << 113;
        QTest::newRow("white corner") << 1 << 1;
    }
    void legendPressesOutsideGiveNothing()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QCOMPARE(SelectNote(notesLegendPicture(), x, y), QString());
    }

    void legendShapeCentresGiveTheirValues()
    {
        const QImage picture = notesLegendPicture();
        for (const Shape &shape : legendShapes()) {
            // Left of the centre the walk crosses any label before reaching the fill.
            const QPoint inside(shape.box.left() + 3, shape.box.center().y());
            QCOMPARE(SelectNote(picture, inside.x(), inside.y()), QString::fromLatin1(shape.region.value));
        }
    }

    void pickPointerIsTwoColoursWithItsTipAtTheHotSpot()
    {
        QCOMPARE(pickPointerHotSpot(), kHotSpot);
        const QImage pointer = pickPointerImage();
        QVERIFY(!pointer.isNull());
        QVERIFY(pointer.hasAlphaChannel());
        QCOMPARE(qAlpha(pointer.pixel(pickPointerHotSpot())), 255);
        const QString fault = checkPickPointer(pointer);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void windowIconLoadsInBothSizes_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16") << 16;
        QTest::newRow("32") << 32;
    }
    void windowIconLoadsInBothSizes()
    {
        QFETCH(int, size);
        const QImage icon = windowIconImage(size);
        QVERIFY(!icon.isNull());
        const QString fault = checkWindowIcon(icon, size);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void windowIconHasNoOtherSizes() { QVERIFY(windowIconImage(24).isNull()); }

    void picturesLoadWithoutExplicitSetUp()
    {
        // Callers never register the resources themselves; repeated registration is harmless.
        initArtworkResources();
        initArtworkResources();
        QCOMPARE(categoryKeyPicture().size(), kCategorySize);
        QCOMPARE(notesLegendPicture().size(), kLegendSize);
    }
};

QTEST_MAIN(TestArtwork)
#include "test_artwork.moc"

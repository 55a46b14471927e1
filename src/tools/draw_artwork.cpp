// Draws the pictures the program carries (the category key and the notes legend, each also at
// twice the size for high-density screens, the pick pointer and the window icons) into the
// assets folder. Run it by hand when a picture changes, with the
// fonts the committed pictures were drawn with:
//   QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts/truetype/liberation2 build/bin/draw_artwork
// then rebuild (the resources pick the files up) and run test_artwork, which checks them.
// An optional argument names another folder to write into.

#include "render/bmp.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QTextStream>

#include <algorithm>
#include <vector>

using namespace tessik;

namespace {

constexpr QRgb kGround = qRgb(255, 255, 255);
constexpr QRgb kInk = qRgb(0, 0, 0);          // lines, outlines and letters
constexpr QRgb kConnector = qRgb(64, 64, 64); // the legend's joining lines

struct Region {
    QRgb fill;
    QStringList label; // one entry per line
};

// The category grid: black lines along these pixel columns and rows, one cell between each
// pair of neighbouring lines. The fills sit well inside the colour classes the pick reads.
constexpr int kGridColumns[] = {12, 71, 129, 190};
constexpr int kGridRows[] = {8, 55, 103};

const Region kCells[2][3] = {
    {{qRgb(253, 189, 189), {"Physical", "Resources"}},
     {qRgb(244, 152, 237), {"Structure/", "Process"}},
     {qRgb(221, 215, 255), {"Information"}}},
    {{qRgb(255, 255, 102), {"Knowledge", "and Skills"}},
     {qRgb(191, 251, 201), {"Motives"}},
     {qRgb(134, 255, 255), {"Wellness/", "Capacity"}}},
};

QRect cellRect(int row, int column)
{
    return QRect(QPoint(kGridColumns[column] + 1, kGridRows[row] + 1),
                 QPoint(kGridColumns[column + 1] - 1, kGridRows[row + 1] - 1));
}

struct Shape {
    Region region;
    QRect box; // every pixel of the shape, outline included
};

const std::vector<Shape> &legendShapes()
{
    static const std::vector<Shape> shapes = {
        {{qRgb(188, 250, 204), {"Technology"}}, QRect(QPoint(40, 3), QPoint(85, 32))},
        {{qRgb(252, 190, 188), {"Science"}}, QRect(QPoint(3, 77), QPoint(49, 107))},
        {{qRgb(220, 214, 252), {"Human", "Factors"}}, QRect(QPoint(85, 77), QPoint(131, 107))},
        {{qRgb(252, 254, 100), {}}, QRect(QPoint(22, 39), QPoint(46, 63))},
        {{qRgb(132, 254, 252), {}}, QRect(QPoint(83, 39), QPoint(106, 63))},
        {{qRgb(244, 154, 236), {}}, QRect(QPoint(55, 87), QPoint(78, 110))},
        {{qRgb(212, 214, 212), {}}, QRect(QPoint(53, 52), QPoint(76, 75))},
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

// Every pixel of a key picture that presses read must be exactly the ground, a fill or ink: a
// smoothed edge pixel could fall into another region's colour class, so nothing is antialiased.
// The pictures for high-density screens (scale 2) are only shown, never read: they are the same
// drawing at twice the size, smoothed.
void prepare(QPainter &painter, int scale)
{
    const bool smooth = scale > 1;
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setRenderHint(QPainter::TextAntialiasing, smooth);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.scale(scale, scale);
}

QFont labelFont(int pixelSize, bool bold, int scale)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(scale > 1 ? QFont::PreferMatch
                                    : QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// Thin lines: one pixel at either scale.
QPen thinPen(QRgb colour, int scale)
{
    return QPen(QColor(colour), scale > 1 ? 1 : 0);
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

QImage drawCategoryKey(int scale)
{
    QImage image(kCategorySize * scale, QImage::Format_RGB32);
    image.fill(kGround);
    QPainter painter(&image);
    prepare(painter, scale);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            painter.fillRect(cellRect(row, column), QColor(kCells[row][column].fill));
    for (int x : kGridColumns)
        painter.fillRect(QRect(QPoint(x, kGridRows[0]), QPoint(x, kGridRows[2])), QColor(kInk));
    for (int y : kGridRows)
        painter.fillRect(QRect(QPoint(kGridColumns[0], y), QPoint(kGridColumns[3], y)), QColor(kInk));
    painter.setFont(labelFont(10, false, scale));
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

QImage drawNotesLegend(int scale)
{
    QImage image(kLegendSize * scale, QImage::Format_RGB32);
    image.fill(kGround);
    QPainter painter(&image);
    prepare(painter, scale);
    const auto &shapes = legendShapes();
    painter.setPen(thinPen(kConnector, scale));
    for (const auto &link : kLegendLinks)
        painter.drawLine(boxCentre(shapes[link[0]].box).toPoint(), boxCentre(shapes[link[1]].box).toPoint());
    painter.setPen(thinPen(kInk, scale));
    for (const Shape &shape : shapes) {
        painter.setBrush(QColor(shape.region.fill));
        // An aliased outline covers one pixel more than the rectangle's width and height.
        painter.drawEllipse(shape.box.adjusted(0, 0, -1, -1));
    }
    painter.setFont(labelFont(8, false, scale));
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
    prepare(painter, 1);
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
        prepare(painter, 1);
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

bool writeFile(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    QTextStream(stderr) << "cannot write " << file.fileName() << ": " << file.errorString() << '\n';
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    const QDir assets(arguments.size() > 1 ? arguments[1] : QStringLiteral(TESSIK_SOURCE_DIR "/assets"));

    // The pictures shown at start-up are plain bitmaps, which start-up reads without the image
    // plugins; the pointer is loaded later and keeps its transparency as a PNG.
    bool ok = true;
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        ok = writeFile(assets, QStringLiteral("category_key%1.bmp").arg(suffix), encodeBmp24(drawCategoryKey(scale))) &&
             ok;
        ok = writeFile(assets, QStringLiteral("notes_legend%1.bmp").arg(suffix), encodeBmp24(drawNotesLegend(scale))) &&
             ok;
    }
    if (!drawPickPointer().save(assets.filePath(QStringLiteral("pick_pointer.png")))) {
        QTextStream(stderr) << "cannot write " << assets.filePath(QStringLiteral("pick_pointer.png")) << '\n';
        ok = false;
    }
    for (int size : {16, 32})
        ok = writeFile(assets, QStringLiteral("window_icon_%1.bmp").arg(size), encodeBmp32(drawWindowIcon(size))) && ok;
    return ok ? 0 : 1;
}

#pragma once

#include "model/block_table.h"
#include "model/colour.h"
#include "render/pixel_mapping.h"
#include "render/plot_diagram.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <functional>
#include <vector>

class QPainter;
class QRectF;

namespace tessik {

// A drawing of the report: lines, shapes and text over its natural size, in pixels of 1/96
// inch, for any painter at any scale.
struct ReportPicture {
    QSizeF size;
    std::function<void(QPainter &)> paint; // over the rectangle (0, 0) to size
};

// The diagram as the window draws it, every block plain. The table is copied.
ReportPicture diagramPicture(const BlockTable &table, const DiagramColours &colours, const PixelMapping &mapping);

struct ChartBar {
    QString label;
    int count = 0;
    Colour fill = kWhite;
};

// One horizontal bar a row: the label, the bar in its colour, the count beside it.
ReportPicture barChart(const std::vector<ChartBar> &bars);

// Draws the picture fitted into `target`, alike in both directions and centred.
void paintPicture(QPainter &painter, const ReportPicture &picture, const QRectF &target);

// The picture as an image of `width` pixels, white underneath.
QImage pictureImage(const ReportPicture &picture, int width);

// The picture as an SVG document (lines, shapes and text), without an XML declaration, for
// placing inside another XML document. Its title is what a screen reader names the picture by.
QByteArray pictureSvg(const ReportPicture &picture, const QString &title);

} // namespace tessik

#include "app/core/report/pictures.h"

#include "app/core/svg_writer.h"
#include "render/diagram_picture.h"
#include "render/fonts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tessik {

namespace {

// Chart rows, in pixels of 1/96 inch.
constexpr double kChartWidth = 640;
constexpr double kRowHeight = 24;
constexpr double kBarHeight = 16;
constexpr double kLabelWidth = 250;
constexpr double kGap = 8;
constexpr int kChartFontPixels = 13;

QColor qColour(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

void paintBars(QPainter &painter, const std::vector<ChartBar> &bars)
{
    const QFont font = arialFont(kChartFontPixels, false);
    const QFontMetricsF metrics(font);
    const double countWidth = metrics.horizontalAdvance(QStringLiteral("0000")) + kGap;
    const double barSpace = kChartWidth - kLabelWidth - kGap - countWidth;
    int most = 1;
    for (const ChartBar &bar : bars)
        most = std::max(most, bar.count);
    painter.setFont(font);
    for (size_t i = 0; i < bars.size(); ++i) {
        const ChartBar &bar = bars[i];
        const double top = double(i) * kRowHeight;
        const QRectF label(0, top, kLabelWidth, kRowHeight);
        painter.setPen(Qt::black);
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                         metrics.elidedText(bar.label, Qt::ElideRight, kLabelWidth));
        const double barLeft = kLabelWidth + kGap;
        const double length = barSpace * bar.count / most;
        if (bar.count > 0) {
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(qColour(bar.fill));
            painter.drawRect(QRectF(barLeft, top + (kRowHeight - kBarHeight) / 2, length, kBarHeight));
        }
        painter.drawText(QRectF(barLeft + length + kGap, top, countWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(bar.count));
    }
    // The axis the bars start from.
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QPointF(kLabelWidth + kGap, 0), QPointF(kLabelWidth + kGap, double(bars.size()) * kRowHeight));
}

} // namespace

ReportPicture diagramPicture(const BlockTable &table, const DiagramColours &colours, const PixelMapping &mapping)
{
    const QRect area = diagramArea(table, mapping);
    return {QSizeF(area.size()), [table, colours, mapping, area](QPainter &painter) {
                painter.translate(-area.topLeft());
                paintDiagram(painter, area, table, colours, mapping);
            }};
}

ReportPicture barChart(const std::vector<ChartBar> &bars)
{
    return {QSizeF(kChartWidth, std::max<double>(1, double(bars.size())) * kRowHeight),
            [bars](QPainter &painter) { paintBars(painter, bars); }};
}

void paintPicture(QPainter &painter, const ReportPicture &picture, const QRectF &target)
{
    painter.save();
    painter.setTransform(fitTransform(QRectF(QPointF(), picture.size), target), true);
    painter.setClipRect(QRectF(QPointF(), picture.size), Qt::IntersectClip);
    picture.paint(painter);
    painter.restore();
}

QImage pictureImage(const ReportPicture &picture, int width)
{
    const double scale = width / std::max(1.0, picture.size.width());
    const int height = std::max(1, int(std::ceil(picture.size.height() * scale)));
    QImage image(std::max(1, width), height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintPicture(painter, picture, QRectF(0, 0, image.width(), image.height()));
    return image;
}

QByteArray pictureSvg(const ReportPicture &picture, const QString &title)
{
    // No description: the report around the picture says what it shows.
    const std::optional<QByteArray> bytes =
        svgDocument({picture.size.toSize(), title, QString()}, [&](QPainter &painter) { picture.paint(painter); });
    // Everything before the svg element (the XML declaration) has no place inside a document.
    const qsizetype start = bytes ? bytes->indexOf("<svg") : -1;
    return start < 0 ? QByteArray() : bytes->mid(start);
}

} // namespace tessik

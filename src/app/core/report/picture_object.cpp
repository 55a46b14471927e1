#include "app/core/report/picture_object.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>

namespace tessik {

namespace {

// At most this part of the page's height, so that a picture leaves room for its heading.
constexpr double kTallestShare = 0.85;

} // namespace

PictureObject::PictureObject(std::vector<ReportPicture> pictures, QObject *parent)
    : QObject(parent), m_pictures(std::move(pictures))
{
}

QSizeF PictureObject::intrinsicSize(QTextDocument *doc, int, const QTextFormat &format)
{
    const ReportPicture *picture = pictureOf(format);
    if (!picture || picture->size.isEmpty())
        return QSizeF();
    // The layout measures in its device's pixels; a picture's size is in pixels of 1/96 inch.
    const QPaintDevice *device = doc->documentLayout()->paintDevice();
    const double perPixel = (device ? device->logicalDpiX() : 96) / 96.0;
    const QSizeF page = doc->pageSize();
    const double margins = 2 * doc->documentMargin() * perPixel;
    const double width = (page.width() > 0 ? page.width() : doc->textWidth()) - margins - perPixel;
    double scale = std::min(width / picture->size.width(), perPixel);
    if (page.height() > 0)
        scale = std::min(scale, (page.height() - margins) * kTallestShare / picture->size.height());
    return picture->size * std::max(scale, 0.0);
}

void PictureObject::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int, const QTextFormat &format)
{
    // The layout also asks for a picture that starts just past the page being drawn.
    if (painter->hasClipping() && !painter->clipBoundingRect().intersects(rect))
        return;
    if (const ReportPicture *picture = pictureOf(format))
        paintPicture(*painter, *picture, rect);
}

const ReportPicture *PictureObject::pictureOf(const QTextFormat &format) const
{
    const int index = format.intProperty(kIndex);
    return index >= 0 && size_t(index) < m_pictures.size() ? &m_pictures[size_t(index)] : nullptr;
}

} // namespace tessik

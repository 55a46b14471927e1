#pragma once

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRgb>

class QPainter;
class QString;

namespace tessik {

class TextMetrics;

// Glyphs past the size of Qt's glyph cache, which Qt fills from their outlines every time they
// are drawn. Zoomed in on a dense screen that is most of a frame, though a caption repeats a
// few dozen glyphs: each is filled here once for its place within a pixel and colour, then laid
// down as a picture. Where two glyphs share a pixel the two blend one after the other, as Qt
// blends the glyphs it does cache, not as one outline: that pixel may come out a little lighter.
class OutlineGlyphs {
public:
    // Draws the line as TextMetrics::drawText does, in the painter's pen colour; the painter
    // works in device pixels without a transformation.
    void drawText(QPainter &painter, const TextMetrics &text, QPointF origin, const QString &line, qreal scale);
    void clear();
    qint64 bytes() const { return m_bytes; }

private:
    struct Key {
        quint32 glyph;
        qreal scale;
        QPointF within; // where the glyph's origin lies within its pixel
        QRgb pen;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed)
    {
        return qHashMulti(seed, key.glyph, key.scale, key.within.x(), key.within.y(), key.pen);
    }
    struct Picture {
        QImage pixels; // premultiplied ARGB, the glyph over nothing
        QPoint corner; // where its top left lies from the pixel the glyph's origin is in
    };
    static Picture fill(const TextMetrics &text, const Key &key);

    QHash<Key, Picture> m_pictures;
    qint64 m_bytes = 0;
};

} // namespace tessik

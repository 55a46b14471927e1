#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QPainter;

namespace tessik {

// Measures text the way captions are laid out: a text's width is the sum of its characters'
// advances in whole pixels. Each advance is measured once, so a caption is measured character
// by character, in time linear in its length.
//
// drawText places every character at the position those advances give, so what is drawn has
// exactly the measured width: the font's own shaping may space a run of repeated letters
// differently, which would leave a centred line off centre.
class TextMetrics {
public:
    explicit TextMetrics(const QFont &font);

    const QFont &font() const { return m_font; }
    int advance(QChar c) const;
    int pixelWidth(const QString &text) const;
    int lineHeight() const { return measures().lineHeight; }
    int ascent() const { return measures().ascent; }

    // Draws the text in the painter's pen colour, the baseline starting at `origin`, each
    // character at its summed advances from there. With `scale` the glyphs are drawn that many
    // times larger and the advances scaled alike: a painter working in device pixels draws the
    // same line at full resolution. Works on any painter (bitmap, vector or printer).
    void drawText(QPainter &painter, QPointF origin, const QString &text, qreal scale = 1) const;

    // The same, the font's own glyphs handed one by one to `drawGlyph` (the glyph, where its
    // origin lies in the painter's pixels) instead of drawn as one run; characters the font lacks
    // still go to the painter.
    using GlyphDrawer = std::function<void(quint32 glyph, QPointF at)>;
    void drawText(QPainter &painter, QPointF origin, const QString &text, qreal scale,
                  const GlyphDrawer &drawGlyph) const;

    // The font at `scale` times its size, as drawText draws it.
    QRawFont scaledFont(qreal scale) const;

    // Whether Qt fills the glyphs at this scale as outlines on a raster: it keeps glyphs of up
    // to 64 pixels (or QT_MAX_CACHED_GLYPH_SIZE) in its glyph cache and fills larger ones.
    bool fillsOutlines(qreal scale) const;

private:
    // Characters the font lacks, drawn together from another font starting at `at`.
    struct FallbackRun {
        QPointF at;
        QString text;
    };
    void drawGlyphs(QPainter &painter, QPointF origin, const QList<quint32> &glyphs, const QList<QPointF> &positions,
                    qreal scale) const;
    void drawFallback(QPainter &painter, QPointF at, const QString &text, qreal scale) const;
    // The glyph of one character in the font itself; 0 when the font lacks it.
    quint32 glyphIndex(char32_t code) const;

    // What the font engine gives, asked for at the first use: the window is built with metrics
    // for its captions, and looking the font up costs its start-up a font engine before any
    // caption is there to show.
    struct Measures {
        int lineHeight;
        int ascent;
        QRawFont rawFont;
    };
    const Measures &measures() const;
    static std::array<int, 256> unknownAdvances()
    {
        std::array<int, 256> advances;
        advances.fill(-1);
        return advances;
    }

    QFont m_font;
    mutable std::optional<Measures> m_measures;
    mutable std::array<int, 256> m_latinAdvances = unknownAdvances();
    mutable QHash<char16_t, int> m_advances;
    mutable QHash<char32_t, quint32> m_glyphs;
    mutable QHash<qreal, QRawFont> m_scaledFonts;
};

} // namespace tessik

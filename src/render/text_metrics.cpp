#include "render/text_metrics.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QList>
#include <QPainter>

namespace tessik {

namespace {

// Characters that the font's shaping never draws (zero-width and direction marks, joiners,
// control codes) and blanks: they keep their advance but need no glyph, so a caption made of
// thousands of them costs nothing to draw.
bool drawsNothing(char32_t code)
{
    const QChar::Category category = QChar::category(code);
    return category == QChar::Other_Format || category == QChar::Other_Control || QChar::isSpace(code);
}

// The first lookup of a key computes its value; later ones find it.
template <typename Hash, typename Compute>
typename Hash::mapped_type cached(Hash &hash, const typename Hash::key_type &key, Compute compute)
{
    auto found = hash.constFind(key);
    if (found == hash.constEnd())
        found = hash.insert(key, compute());
    return *found;
}

} // namespace

TextMetrics::TextMetrics(const QFont &font) : m_font(font) {}

const TextMetrics::Measures &TextMetrics::measures() const
{
    if (!m_measures) {
        const QFontMetrics metrics(m_font);
        m_measures = Measures{metrics.height(), metrics.ascent(), QRawFont::fromFont(m_font)};
    }
    return *m_measures;
}

int TextMetrics::advance(QChar c) const
{
    // Wrapping a caption asks for the advance of every character, every frame: those of the
    // first 256 characters, which most captions are made of, are in a table.
    if (c.unicode() < m_latinAdvances.size()) {
        int &known = m_latinAdvances[c.unicode()];
        if (known < 0)
            known = QFontMetrics(m_font).horizontalAdvance(c);
        return known;
    }
    return cached(m_advances, c.unicode(), [&] { return QFontMetrics(m_font).horizontalAdvance(c); });
}

int TextMetrics::pixelWidth(const QString &text) const
{
    int width = 0;
    for (const QChar c : text)
        width += advance(c);
    return width;
}

QRawFont TextMetrics::scaledFont(qreal scale) const
{
    return cached(m_scaledFonts, scale, [&] {
        QRawFont scaled = measures().rawFont;
        scaled.setPixelSize(scaled.pixelSize() * scale);
        return scaled;
    });
}

bool TextMetrics::fillsOutlines(qreal scale) const
{
    static const int cachedUpTo = [] {
        const int asked = qEnvironmentVariableIntValue("QT_MAX_CACHED_GLYPH_SIZE");
        return asked > 0 ? asked : 64;
    }();
    const qreal size = measures().rawFont.pixelSize() * scale;
    return size * size > qreal(cachedUpTo) * cachedUpTo;
}

quint32 TextMetrics::glyphIndex(char32_t code) const
{
    // Glyph indexes do not depend on the size: the unscaled raw font answers for every scale.
    return cached(m_glyphs, code, [&] {
        const QList<quint32> glyphs = measures().rawFont.glyphIndexesForString(QString::fromUcs4(&code, 1));
        return glyphs.isEmpty() ? 0 : glyphs.constFirst();
    });
}

void TextMetrics::drawText(QPainter &painter, QPointF origin, const QString &text, qreal scale) const
{
    drawText(painter, origin, text, scale, {});
}

void TextMetrics::drawText(QPainter &painter, QPointF origin, const QString &text, qreal scale,
                           const GlyphDrawer &drawGlyph) const
{
    QList<quint32> glyphs;
    QList<QPointF> positions;
    QList<FallbackRun> fallbacks;
    bool afterFallback = false;
    qint64 x = 0; // in pixels of the unscaled font
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const char32_t code = units == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        const QPointF at(qreal(x) * scale, 0);
        int width = 0;
        for (qsizetype k = 0; k < units; ++k)
            width += advance(text[i + k]);
        x += width;
        const QStringView character = QStringView(text).mid(i, units);
        i += units;
        if (drawsNothing(code))
            continue;
        if (const quint32 glyph = glyphIndex(code)) {
            glyphs.append(glyph);
            positions.append(at);
            afterFallback = false;
            continue;
        }
        // A character the font lacks comes from whichever font has it, at its own place; one
        // of no width (a combining mark, a selector) goes along with the character before it.
        if (width != 0 || !afterFallback)
            fallbacks.append({at, QString()});
        fallbacks.last().text += character;
        afterFallback = true;
    }
    if (drawGlyph) {
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            drawGlyph(glyphs[i], origin + positions[i]);
    } else {
        drawGlyphs(painter, origin, glyphs, positions, scale);
    }
    for (const FallbackRun &run : fallbacks)
        drawFallback(painter, origin + run.at, run.text, scale);
}

void TextMetrics::drawGlyphs(QPainter &painter, QPointF origin, const QList<quint32> &glyphs,
                             const QList<QPointF> &positions, qreal scale) const
{
    if (glyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(scaledFont(scale));
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(origin, run);
}

void TextMetrics::drawFallback(QPainter &painter, QPointF at, const QString &text, qreal scale) const
{
    painter.save();
    painter.translate(at);
    painter.scale(scale, scale);
    painter.setFont(m_font);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

} // namespace tessik

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

} // namespace

TextMetrics::TextMetrics(const QFont &font) : m_font(font)
{
    m_latinAdvance.fill(-1);
    m_latinGlyph.fill(quint32(-1));
}

int TextMetrics::advance(QChar c) const
{
    const char16_t code = c.unicode();
    if (code < 256) {
        int &cached = m_latinAdvance[code];
        if (cached < 0)
            cached = QFontMetrics(m_font).horizontalAdvance(c);
        return cached;
    }
    auto found = m_otherAdvance.constFind(code);
    if (found == m_otherAdvance.constEnd())
        found = m_otherAdvance.insert(code, QFontMetrics(m_font).horizontalAdvance(c));
    return *found;
}

int TextMetrics::pixelWidth(const QString &text) const
{
    int width = 0;
    for (const QChar c : text)
        width += advance(c);
    return width;
}

int TextMetrics::lineHeight() const
{
    if (m_lineHeight < 0)
        m_lineHeight = QFontMetrics(m_font).height();
    return m_lineHeight;
}

int TextMetrics::ascent() const
{
    if (m_ascent < 0)
        m_ascent = QFontMetrics(m_font).ascent();
    return m_ascent;
}

const QRawFont &TextMetrics::rawFont(qreal scale) const
{
    if (!m_rawFont.isValid() || m_rawFontScale != scale) {
        m_rawFont = QRawFont::fromFont(m_font);
        if (scale != 1)
            m_rawFont.setPixelSize(m_rawFont.pixelSize() * scale);
        m_rawFontScale = scale;
    }
    return m_rawFont;
}

quint32 TextMetrics::glyphIndex(char32_t code) const
{
    if (code < 256 && m_latinGlyph[code] != quint32(-1))
        return m_latinGlyph[code];
    if (code >= 256) {
        const auto found = m_otherGlyph.constFind(code);
        if (found != m_otherGlyph.constEnd())
            return *found;
    }
    const QString character = QString::fromUcs4(&code, 1);
    quint32 glyphs[2] = {0, 0};
    int count = 2;
    // Glyph indexes do not depend on the size: any scale of the raw font will do.
    const QRawFont &font = m_rawFont.isValid() ? m_rawFont : rawFont(1);
    if (!font.glyphIndexesForChars(character.constData(), int(character.size()), glyphs, &count) || count != 1)
        glyphs[0] = 0;
    if (code < 256)
        m_latinGlyph[code] = glyphs[0];
    else
        m_otherGlyph.insert(code, glyphs[0]);
    return glyphs[0];
}

void TextMetrics::drawText(QPainter &painter, QPointF origin, const QString &text, qreal scale) const
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
    drawGlyphs(painter, origin, glyphs, positions, scale);
    for (const FallbackRun &run : fallbacks)
        drawFallback(painter, origin + run.at, run.text, scale);
}

void TextMetrics::drawGlyphs(QPainter &painter, QPointF origin, const QList<quint32> &glyphs,
                             const QList<QPointF> &positions, qreal scale) const
{
    if (glyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(rawFont(scale));
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

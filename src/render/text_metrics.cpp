#include "render/text_metrics.h"

#include <QFontMetrics>

namespace tessik {

TextMetrics::TextMetrics(const QFont &font) : m_font(font)
{
    m_latinAdvance.fill(-1);
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

} // namespace tessik

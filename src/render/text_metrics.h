#pragma once

#include <QFont>
#include <QHash>
#include <QString>

#include <array>

namespace tessik {

// Measures text the way captions are laid out: a text's width is the sum of its characters'
// advances in whole pixels. Each advance is measured once: a caption is measured prefix by
// prefix, so this is what keeps a full redraw quick.
class TextMetrics {
public:
    explicit TextMetrics(const QFont &font);

    const QFont &font() const { return m_font; }
    int advance(QChar c) const;
    int pixelWidth(const QString &text) const;
    int lineHeight() const;
    int ascent() const;

private:
    QFont m_font;
    mutable std::array<int, 256> m_latinAdvance{};
    mutable QHash<char16_t, int> m_otherAdvance;
    mutable int m_lineHeight = -1;
    mutable int m_ascent = -1;
};

} // namespace tessik

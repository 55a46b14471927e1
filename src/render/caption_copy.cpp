#include "render/caption_copy.h"

#include <algorithm>

namespace tessik {

bool FoundCaptions::Caption::operator==(const Caption &other) const
{
    const auto sameLine = [](const PlacedLine &a, const PlacedLine &b) {
        return a.x == b.x && a.y == b.y && a.text == b.text;
    };
    return box == other.box && scale == other.scale && x == other.x && y == other.y && pen == other.pen &&
           fill == other.fill && picture == other.picture &&
           std::equal(lines.begin(), lines.end(), other.lines.begin(), other.lines.end(), sameLine);
}

FoundCaptions::Found FoundCaptions::take(Caption caption, const std::function<std::optional<CaptionCopy>()> &find)
{
    const size_t place = m_this.size();
    Found found;
    if (place < m_last.size() && m_last[place].first == caption) {
        found = m_last[place].second;
    } else if (std::optional<CaptionCopy> copy = find()) {
        found = std::make_shared<const CaptionCopy>(*std::move(copy));
    }
    m_this.emplace_back(std::move(caption), found);
    return found;
}

void FoundCaptions::endFrame()
{
    m_last = std::move(m_this);
    m_this.clear();
}

void FoundCaptions::clear()
{
    m_last.clear();
    m_this.clear();
}

} // namespace tessik

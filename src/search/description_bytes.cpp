#include "search/description_bytes.h"

namespace tessik {

std::string_view descriptionBytes(std::string_view fileBytes)
{
    constexpr std::string_view opening = "<description>";
    constexpr std::string_view closing = "</description>";
    const std::size_t open = fileBytes.find(opening);
    if (open == std::string_view::npos)
        return {};
    const std::size_t contentStart = open + opening.size();
    const std::size_t close = fileBytes.find(closing, contentStart);
    if (close == std::string_view::npos)
        return {};
    return fileBytes.substr(contentStart, close - contentStart);
}

} // namespace tessik

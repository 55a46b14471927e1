#pragma once

#include <string_view>

namespace tessik {

// XMLget(file text, "description", Start = 1) done on the raw bytes, before decoding: the
// tags are plain ASCII and every byte decodes to one character, so the same bytes are found.
std::string_view descriptionBytes(std::string_view fileBytes);

} // namespace tessik

#pragma once

#include <QString>

namespace tessik {

// The tag reader every reader of analysis files uses. Finds the first "<Tag>" at or after
// the 1-based position `Start`, then the first "</Tag>" after it (letter case significant),
// and returns what lies between. On success Start moves just past the closing tag; when
// either tag is missing the result is empty and Start stays where it was.
QString XMLget(const QString &XML, const QString &Tag, qsizetype &Start);

} // namespace tessik

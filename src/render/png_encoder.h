#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <utility>
#include <vector>

namespace tessik {

// A PNG of an opaque picture, written for speed: 8-bit RGB, each row filtered by its difference
// from the row above, deflated at a low level. Qt's writer lets libpng try every filter on every
// row, which took most of a large export's time; this keeps every pixel and the texts (as
// UTF-8 iTXt chunks) and only costs some size. Empty when the picture is null or too large.
QByteArray encodeOpaquePng(const QImage &picture, const std::vector<std::pair<QString, QString>> &texts = {});

} // namespace tessik

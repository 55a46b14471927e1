#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;
class QPainter;

namespace tessik {

// An SVG picture's frame: its size in pixels of 1/96 inch (the view box the same) and the plain
// texts of its title and desc elements.
struct SvgFrame {
    QSize size;
    QString title;
    QString description;
};

using SvgPainting = std::function<void(QPainter &painter)>;

// What `paint` draws, as an SVG document; nothing when the picture could not be made (the
// module that writes SVG missing, or its painter not starting).
std::optional<QByteArray> svgDocument(const SvgFrame &frame, const SvgPainting &paint);

// The function of the module tessik_svg that svgDocument calls: writes the picture to `output`,
// false when its painter does not start. Its frame's texts are markup, written as they are.
using SvgWriterFunction = bool (*)(QIODevice *output, const SvgFrame &frame, const SvgPainting &paint);
inline constexpr char kSvgModule[] = "tessik_svg";
inline constexpr char kSvgWriterFunction[] = "tessikWriteSvg";

} // namespace tessik

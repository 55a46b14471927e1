#include "app/core/svg_writer.h"

#include "app/core/report/outline.h"
#include "platform/core/program_module.h"

#include <QBuffer>

namespace tessik {

std::optional<QByteArray> svgDocument(const SvgFrame &frame, const SvgPainting &paint)
{
    const auto write = reinterpret_cast<SvgWriterFunction>(programModuleFunction(kSvgModule, kSvgWriterFunction));
    if (!write)
        return std::nullopt;
    // Qt's SVG writer puts the title and description in as they are: an event described as
    // "Tank <3> & pump" would leave the picture unreadable.
    const auto markup = [](const QString &text) { return xmlSafeText(text).toHtmlEscaped(); };
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!write(&buffer, {frame.size, markup(frame.title), markup(frame.description)}, paint))
        return std::nullopt;
    return bytes;
}

} // namespace tessik

// The module tessik_svg: the program's one user of Qt Svg, loaded when a picture is first
// written as SVG.
#include "app/core/svg_writer.h"

#include <QPainter>
#include <QSvgGenerator>

#include <type_traits>

extern "C" Q_DECL_EXPORT bool tessikWriteSvg(QIODevice *output, const tessik::SvgFrame &frame,
                                             const tessik::SvgPainting &paint)
{
    QSvgGenerator generator;
    generator.setOutputDevice(output);
    generator.setSize(frame.size);
    generator.setViewBox(QRect(QPoint(0, 0), frame.size));
    generator.setResolution(96);
    // Left unset, every picture would be named "Qt SVG Document" and described as "Generated with Qt".
    generator.setTitle(frame.title);
    generator.setDescription(frame.description);
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    paint(painter);
    painter.end();
    return true;
}

// The program calls this function as an SvgWriterFunction: the two must agree.
static_assert(std::is_same_v<decltype(&tessikWriteSvg), tessik::SvgWriterFunction>);

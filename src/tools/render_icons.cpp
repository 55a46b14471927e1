// Renders a scalable icon into PNG files of the sizes an icon theme wants. The build runs it on
// the SVG icons of share/icons, so the PNGs always match their drawing and none is committed:
//   render_icons <icon.svg> <size> <output.png> [<size> <output.png> ...]
// Folders of the outputs are created as needed.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

bool renderOne(QSvgRenderer &renderer, int size, const QString &output)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    QDir().mkpath(QFileInfo(output).absolutePath());
    if (image.save(output, "PNG"))
        return true;
    QTextStream(stderr) << "cannot write " << output << '\n';
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // The drawings hold no text, so no windowing system (and no platform plugin) is needed.
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4 || arguments.size() % 2 != 0) {
        QTextStream(stderr) << "usage: render_icons <icon.svg> <size> <output.png> [<size> <output.png> ...]\n";
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        QTextStream(stderr) << "cannot read the drawing " << arguments[1] << '\n';
        return 1;
    }
    bool ok = true;
    for (qsizetype i = 2; i + 1 < arguments.size(); i += 2) {
        bool isNumber = false;
        const int size = arguments[i].toInt(&isNumber);
        if (!isNumber || size <= 0) {
            QTextStream(stderr) << "not a size: " << arguments[i] << '\n';
            return 2;
        }
        ok = renderOne(renderer, size, arguments[i + 1]) && ok;
    }
    return ok ? 0 : 1;
}

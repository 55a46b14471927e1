#include "render/artwork.h"

#include "render/bmp.h"

#include <QFile>
#include <QString>

#include <mutex>

// The resource registration function is declared by the macro at the scope it is used in, and
// it lives in the global namespace, so the call cannot sit inside namespace tessik.
static void registerAssetsResource()
{
    Q_INIT_RESOURCE(assets);
}

namespace tessik {

namespace {

QImage loadPicture(const char *path, QImage::Format format)
{
    initArtworkResources();
    return QImage(QString::fromLatin1(path)).convertToFormat(format);
}

// The pictures shown at start-up are plain bitmaps read by our own small reader: going through
// the image plugins would cost more than the window's whole layout.
QImage loadBitmap(const char *path)
{
    initArtworkResources();
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? decodeBmp(file.readAll()) : QImage();
}

} // namespace

void initArtworkResources()
{
    static std::once_flag once;
    std::call_once(once, registerAssetsResource);
}

QImage categoryKeyPicture(int scale)
{
    if (scale == 2)
        return loadBitmap(":/artwork/category_key@2x.bmp");
    return scale == 1 ? loadBitmap(":/artwork/category_key.bmp") : QImage();
}

QImage notesLegendPicture(int scale)
{
    if (scale == 2)
        return loadBitmap(":/artwork/notes_legend@2x.bmp");
    return scale == 1 ? loadBitmap(":/artwork/notes_legend.bmp") : QImage();
}

QImage pickPointerImage()
{
    return loadPicture(":/artwork/pick_pointer.png", QImage::Format_ARGB32);
}

QPoint pickPointerHotSpot()
{
    return QPoint(11, 27);
}

QImage windowIconImage(int size)
{
    if (size == 16)
        return loadBitmap(":/artwork/window_icon_16.bmp");
    if (size == 32)
        return loadBitmap(":/artwork/window_icon_32.bmp");
    return QImage();
}

} // namespace tessik

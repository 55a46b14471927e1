#include "render/artwork.h"

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

} // namespace

void initArtworkResources()
{
    static std::once_flag once;
    std::call_once(once, registerAssetsResource);
}

QImage categoryKeyPicture()
{
    return loadPicture(":/artwork/category_key.png", QImage::Format_RGB32);
}

QImage notesLegendPicture()
{
    return loadPicture(":/artwork/notes_legend.png", QImage::Format_RGB32);
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
        return loadPicture(":/artwork/window_icon_16.png", QImage::Format_ARGB32);
    if (size == 32)
        return loadPicture(":/artwork/window_icon_32.png", QImage::Format_ARGB32);
    return QImage();
}

} // namespace tessik

#include "render/large_picture.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace tessik {

#ifdef Q_OS_LINUX
namespace {

// A picture smaller than one large page gains nothing from large pages. The diagram's picture
// of a window at its start-up size (about 2 MB) does: one fault for its first two megabytes in
// place of five hundred, a millisecond less before the window first shows and at each resize.
constexpr size_t kLargePage = size_t(2) << 20;
constexpr qsizetype kLargePictureBytes = qsizetype(kLargePage);

struct Mapping {
    void *start;
    size_t bytes;
};

void unmap(void *mapping)
{
    auto *const m = static_cast<Mapping *>(mapping);
    munmap(m->start, m->bytes);
    delete m;
}

// The pixels in a mapping of their own, marked for large pages; null when it cannot be made.
QImage mappedPicture(int width, int height, QImage::Format format)
{
    const qsizetype bytesPerLine = qsizetype(width) * 4;
    const size_t bytes = size_t(bytesPerLine) * size_t(height);
    // One large page more, so that the pixels can start on a large page's boundary.
    const size_t mapped = bytes + kLargePage;
    void *const start = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        return {};
    const auto address = reinterpret_cast<quintptr>(start);
    auto *const pixels = reinterpret_cast<uchar *>((address + kLargePage - 1) / kLargePage * kLargePage);
    // Only the whole large pages: the rest stays in small pages, so a picture of a little over two
    // megabytes does not hold four. Only advice: without large pages the mapping works as well.
    madvise(pixels, bytes / kLargePage * kLargePage, MADV_HUGEPAGE);
    return QImage(pixels, width, height, bytesPerLine, format, unmap, new Mapping{start, mapped});
}

} // namespace
#endif

QImage whitePicture(int width, int height, QImage::Format format)
{
    return filledPicture(width, height, format, qRgb(255, 255, 255));
}

QImage filledPicture(int width, int height, QImage::Format format, QRgb colour)
{
    QImage picture;
#ifdef Q_OS_LINUX
    if (QImage::toPixelFormat(format).bitsPerPixel() == 32 && qsizetype(width) * height * 4 >= kLargePictureBytes)
        picture = mappedPicture(width, height, format);
#endif
    if (picture.isNull())
        picture = QImage(width, height, format);
    if (!picture.isNull())
        picture.fill(QColor::fromRgb(colour));
    return picture;
}

} // namespace tessik

#include "render/bmp.h"

#include <QtEndian>

namespace tessik {

namespace {

void put16(QByteArray &out, int offset, quint16 value)
{
    qToLittleEndian(value, out.data() + offset);
}
void put32(QByteArray &out, int offset, quint32 value)
{
    qToLittleEndian(value, out.data() + offset);
}

} // namespace

namespace {

QByteArray encodeBmp(const QImage &source, int bytesPerPixel)
{
    const QImage image = source.convertToFormat(bytesPerPixel == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * bytesPerPixel + 3) & ~3;
    const int headerBytes = 14 + 40;
    QByteArray out(headerBytes + rowBytes * height, '\0');

    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, quint32(out.size()));
    put32(out, 10, quint32(headerBytes));
    put32(out, 14, 40);
    put32(out, 18, quint32(width));
    put32(out, 22, quint32(height)); // positive: rows from the bottom up
    put16(out, 26, 1);
    put16(out, 28, quint16(bytesPerPixel * 8));
    put32(out, 34, quint32(rowBytes * height));
    put32(out, 38, 3780); // 96 dots per inch
    put32(out, 42, 3780);

    for (int y = 0; y < height; ++y) {
        const auto *pixels = reinterpret_cast<const quint32 *>(image.constScanLine(height - 1 - y));
        char *row = out.data() + headerBytes + y * rowBytes;
        for (int x = 0; x < width; ++x) {
            char *pixel = row + x * bytesPerPixel;
            pixel[0] = char(pixels[x] & 0xff);
            pixel[1] = char((pixels[x] >> 8) & 0xff);
            pixel[2] = char((pixels[x] >> 16) & 0xff);
            if (bytesPerPixel == 4)
                pixel[3] = char(pixels[x] >> 24);
        }
    }
    return out;
}

} // namespace

QByteArray encodeBmp24(const QImage &image)
{
    return encodeBmp(image, 3);
}
QByteArray encodeBmp32(const QImage &image)
{
    return encodeBmp(image, 4);
}

QImage decodeBmp(const QByteArray &bytes)
{
    if (bytes.size() < 54 || !bytes.startsWith("BM"))
        return QImage();
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const quint32 offset = qFromLittleEndian<quint32>(data + 10);
    const qint32 width = qFromLittleEndian<qint32>(data + 18);
    const qint32 height = qFromLittleEndian<qint32>(data + 22);
    const int bits = qFromLittleEndian<quint16>(data + 28);
    const quint32 compression = qFromLittleEndian<quint32>(data + 30);
    if ((bits != 24 && bits != 32) || compression != 0 || width <= 0 || height <= 0 || width > 4096 || height > 4096)
        return QImage();
    const int bytesPerPixel = bits / 8;
    const qint64 rowBytes = (qint64(width) * bytesPerPixel + 3) & ~3;
    if (qint64(offset) + rowBytes * height > bytes.size())
        return QImage();
    QImage image(width, height, bytesPerPixel == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const uchar *row = data + offset + rowBytes * (height - 1 - y);
        auto *pixels = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const uchar *pixel = row + x * bytesPerPixel;
            const quint32 alpha = bytesPerPixel == 4 ? pixel[3] : 0xffu;
            pixels[x] = alpha << 24 | quint32(pixel[2]) << 16 | quint32(pixel[1]) << 8 | pixel[0];
        }
    }
    return image;
}

} // namespace tessik

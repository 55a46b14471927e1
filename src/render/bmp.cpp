#include "render/bmp.h"

#include <QtEndian>

namespace tessik {

namespace {

void put16(QByteArray &out, int offset, quint16 value) { qToLittleEndian(value, out.data() + offset); }
void put32(QByteArray &out, int offset, quint32 value) { qToLittleEndian(value, out.data() + offset); }

} // namespace

QByteArray encodeBmp24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * 3 + 3) & ~3;
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
    put16(out, 28, 24);
    put32(out, 34, quint32(rowBytes * height));
    put32(out, 38, 3780); // 96 dots per inch
    put32(out, 42, 3780);

    for (int y = 0; y < height; ++y) {
        const auto *pixels = reinterpret_cast<const quint32 *>(image.constScanLine(height - 1 - y));
        char *row = out.data() + headerBytes + y * rowBytes;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = char(pixels[x] & 0xff);
            row[x * 3 + 1] = char((pixels[x] >> 8) & 0xff);
            row[x * 3 + 2] = char((pixels[x] >> 16) & 0xff);
        }
    }
    return out;
}

} // namespace tessik

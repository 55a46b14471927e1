#include "render/png_encoder.h"

#include <QtEndian>

#include <zlib.h>

namespace tessik {

namespace {

constexpr int kDeflateLevel = 1;
constexpr int kRowsPerDeflate = 32; // rows filtered before they are handed to zlib at once

void appendBigEndian(QByteArray &bytes, quint32 value)
{
    char word[4];
    qToBigEndian(value, word);
    bytes.append(word, 4);
}

// A chunk: its length, its type and data, and the CRC of type and data.
void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    appendBigEndian(png, quint32(data.size()));
    const qsizetype start = png.size();
    png.append(type, 4).append(data);
    appendBigEndian(
        png, quint32(crc32(0, reinterpret_cast<const Bytef *>(png.constData() + start), uInt(png.size() - start))));
}

// One row as PNG wants it: filter type 2 (up), then R, G, B of each pixel less those above it.
void filterRow(const QRgb *row, const QRgb *above, int width, uchar *out)
{
    *out++ = 2;
    for (int x = 0; x < width; ++x) {
        const QRgb here = row[x], up = above ? above[x] : 0;
        *out++ = uchar(qRed(here) - qRed(up));
        *out++ = uchar(qGreen(here) - qGreen(up));
        *out++ = uchar(qBlue(here) - qBlue(up));
    }
}

// The filtered rows, deflated; empty when zlib fails.
QByteArray deflatedRows(const QImage &image)
{
    const qsizetype rowBytes = 1 + qsizetype(image.width()) * 3;
    std::vector<uchar> filtered(size_t(rowBytes * kRowsPerDeflate));
    QByteArray out;
    z_stream stream{};
    if (deflateInit(&stream, kDeflateLevel) != Z_OK)
        return {};
    bool ok = true;
    char buffer[1 << 16];
    for (int first = 0; ok && first < image.height(); first += kRowsPerDeflate) {
        const int rows = std::min(kRowsPerDeflate, image.height() - first);
        for (int i = 0; i < rows; ++i) {
            const int y = first + i;
            filterRow(reinterpret_cast<const QRgb *>(image.constScanLine(y)),
                      y > 0 ? reinterpret_cast<const QRgb *>(image.constScanLine(y - 1)) : nullptr, image.width(),
                      filtered.data() + i * rowBytes);
        }
        const bool last = first + rows >= image.height();
        stream.next_in = filtered.data();
        stream.avail_in = uInt(rows * rowBytes);
        int status = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            ok = status != Z_STREAM_ERROR;
            out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        } while (ok && (stream.avail_out == 0 || (last && status != Z_STREAM_END)));
    }
    deflateEnd(&stream);
    return ok ? out : QByteArray();
}

} // namespace

QByteArray encodeOpaquePng(const QImage &picture, const std::vector<std::pair<QString, QString>> &texts)
{
    if (picture.isNull())
        return {};
    const QImage image =
        picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    const QByteArray rows = deflatedRows(image);
    if (rows.isEmpty())
        return {};
    QByteArray png("\x89PNG\r\n\x1a\n", 8), header;
    appendBigEndian(header, quint32(image.width()));
    appendBigEndian(header, quint32(image.height()));
    header.append("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, the standard filters, no interlace
    appendChunk(png, "IHDR", header);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray density;
        appendBigEndian(density, quint32(image.dotsPerMeterX()));
        appendBigEndian(density, quint32(image.dotsPerMeterY()));
        appendChunk(png, "pHYs", density.append('\x01')); // per metre
    }
    for (const auto &[key, text] : texts) // keyword, uncompressed, no language, UTF-8 text
        appendChunk(png, "iTXt", key.toLatin1().left(79) + QByteArray("\0\0\0\0\0", 5) + text.toUtf8());
    appendChunk(png, "IDAT", rows);
    appendChunk(png, "IEND", {});
    return png;
}

} // namespace tessik

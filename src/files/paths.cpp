#include "files/paths.h"

#include <QDir>
#include <QStringDecoder>

#include <cerrno>
#include <unistd.h>

#include <vector>

namespace tessik {

namespace {

qsizetype lastSeparator(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isFolderSeparator(path[i]))
            return i;
    return -1;
}

constexpr char16_t kFirstEscapedByte = 0xDC80;
constexpr char16_t kLastEscapedByte = 0xDCFF;

// The length of the valid UTF-8 sequence that starts the bytes; 0 when they start with none.
qsizetype utf8SequenceLength(QByteArrayView bytes)
{
    const auto lead = uchar(bytes[0]);
    if (lead < 0x80)
        return 1;
    const qsizetype length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : (lead & 0xF0) == 0xE0        ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
    if (length == 0 || bytes.size() < length)
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (qsizetype i = 1; i < length; ++i) {
        if ((uchar(bytes[i]) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (uchar(bytes[i]) & 0x3F);
    }
    // Overlong forms and encoded surrogates are no valid UTF-8 either.
    constexpr char32_t smallestOfLength[] = {0x80, 0x800, 0x10000}; // two, three and four bytes
    if (code < smallestOfLength[length - 2] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// Whether the unit at i stands for one byte of a name: an unpaired low surrogate of the range the
// decoding uses. Decoding never puts one right after a high surrogate.
bool isEscapedByte(QStringView name, qsizetype i)
{
    const char16_t unit = name[i].unicode();
    return unit >= kFirstEscapedByte && unit <= kLastEscapedByte && (i == 0 || !name[i - 1].isHighSurrogate());
}

// Valid UTF-8 as its characters. QString::fromUtf8 drops a byte-order mark that begins its bytes;
// in a name that mark is a character like any other, so it is kept.
QString fromValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes)
{
    QString name;
    qsizetype start = 0, i = 0;
    while (i < bytes.size()) {
        const qsizetype length = utf8SequenceLength(bytes.sliced(i));
        if (length > 0) {
            i += length;
            continue;
        }
        name += fromValidUtf8(bytes.sliced(start, i - start));
        name += QChar(char16_t(0xDC00 + uchar(bytes[i])));
        start = ++i;
    }
    return name + fromValidUtf8(bytes.sliced(start));
}

QByteArray fileNameBytes(QStringView name)
{
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        bytes += name.sliced(start, i - start).toUtf8();
        bytes += char(name[i].unicode() - 0xDC00);
        start = i + 1;
    }
    return bytes + name.sliced(start).toUtf8();
}

QString shownFileName(const QString &name)
{
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (isEscapedByte(name, i))
            shown[i] = QChar::ReplacementCharacter;
    return shown;
}

QString absoluteFilePath(const QString &path)
{
    if (path.isEmpty() || !QDir::isRelativePath(path))
        return QDir::cleanPath(path);
    std::vector<char> folder(4096);
    while (getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return QDir::cleanPath(joinPath(QDir::currentPath(), path));
        folder.resize(folder.size() * 2);
    }
    return QDir::cleanPath(joinPath(fileNameFromBytes(folder.data()), path));
}

bool isFolderSeparator(QChar c)
{
    // Windows takes either slash; elsewhere a backslash is part of a name.
    return c == QLatin1Char('/') || (QDir::separator() == QLatin1Char('\\') && c == QLatin1Char('\\'));
}

QString FileNameOnly(const QString &Path)
{
    QString name = Path.mid(lastSeparator(Path) + 1);
    const qsizetype ending = name.indexOf(kAnalysisEnding, 0, Qt::CaseInsensitive);
    if (ending >= 0)
        name.truncate(ending);
    return name;
}

QString FindPath(const QString &fname)
{
    return fname.left(lastSeparator(fname) + 1);
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || isFolderSeparator(folder.back()))
        return folder;
    return folder + QDir::separator();
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return withTrailingSeparator(folder) + name;
}

} // namespace tessik

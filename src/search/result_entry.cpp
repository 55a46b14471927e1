#include "search/result_entry.h"

#include "search/folder_access.h"

namespace tessik {

QString resultEntryText(const QString &description, const QString &name)
{
    return description + QString(kEntryGapWidth, QLatin1Char(' ')) + QLatin1Char('[') + name + QLatin1Char(']');
}

ReadOutcome readEntryAnalysis(const SearchEntry &entry)
{
    FileBuffer buffer;
    if (const FileRead read = ListedFileReader(entry.folder).read(entry.fileName, buffer); !read.ok) {
        ReadOutcome failed;
        failed.reason = read.reason;
        return failed;
    }
    return readAnalysisBytes(QByteArray::fromRawData(buffer.data(), qsizetype(buffer.size())));
}

QByteArray caseInsensitiveSortKey(QStringView text)
{
    // The case-ignoring compare weighs each UTF-16 unit by its folded value, a low surrogate
    // that follows a high one by the folded value of the whole pair. Three bytes, most
    // significant first, hold every such value and order as the values do.
    QByteArray key(text.size() * 3, Qt::Uninitialized);
    char *out = key.data();
    char32_t previous = 0;
    for (const QChar unit : text) {
        const char16_t code = unit.unicode();
        char32_t folded;
        if (code < 0x80) {
            folded = (code >= 'A' && code <= 'Z') ? char32_t(code + 32) : char32_t(code);
        } else {
            char32_t whole = code;
            if (QChar::isLowSurrogate(code) && QChar::isHighSurrogate(previous))
                whole = QChar::surrogateToUcs4(char16_t(previous), code);
            folded = QChar::toCaseFolded(whole);
        }
        previous = code;
        *out++ = char(folded >> 16);
        *out++ = char((folded >> 8) & 0xFF);
        *out++ = char(folded & 0xFF);
    }
    return key;
}

} // namespace tessik

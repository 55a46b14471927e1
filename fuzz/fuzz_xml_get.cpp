// XMLget on arbitrary text: it must never read outside the text, and its promises must hold.
#include "files/codepage.h"
#include "files/xml_get.h"
#include "fuzz_check.h"

#include <QByteArray>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tessik;
    if (size < 2)
        return 0;
    // First byte: the tag's length; second: where to start; then the tag, then the text.
    const std::size_t tagLength = data[0] % 16;
    if (size < 2 + tagLength)
        return 0;
    const QString tag = decode1252(QByteArray(reinterpret_cast<const char *>(data + 2), qsizetype(tagLength)));
    const QString xml =
        decode1252(QByteArray(reinterpret_cast<const char *>(data + 2 + tagLength), qsizetype(size - 2 - tagLength)));
    qsizetype start = data[1] % (xml.size() + 3);
    for (int round = 0; round < 64; ++round) {
        const qsizetype before = start;
        const QString value = XMLget(xml, tag, start);
        if (start == before) {
            FUZZ_CHECK(value.isEmpty());
            break;
        }
        // Success: Start moved past a closing tag that lies inside the text, and the value
        // stands right before it.
        const QString closing = QStringLiteral("</") + tag + QStringLiteral(">");
        FUZZ_CHECK(start > before);
        FUZZ_CHECK(start - 1 <= xml.size());
        FUZZ_CHECK(xml.mid(start - 1 - closing.size(), closing.size()) == closing);
        FUZZ_CHECK(xml.contains(value));
    }
    return 0;
}

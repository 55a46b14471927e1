// Reading an analysis file of any bytes: it must never crash or hang, the table it gives must
// keep the promises the rest of the program relies on, and what the writer makes of it must
// read back to the same bytes.
#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "files/number_text.h"
#include "files/round_trip_check.h"
#include "fuzz_check.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tessik;
    const QString text = decode1252(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const ReadOutcome first = parseAnalysisText(text, QLocale::c());
    // Only a text with an analysis element is taken for an analysis.
    FUZZ_CHECK(first.ok == text.contains(QStringLiteral("<analysis>")));
    if (!first.ok)
        return 0;
    const BlockTable &table = first.analysis.table;
    FUZZ_CHECK(table.usedSlots() >= 0 && table.usedSlots() <= kMaxBlocks);
    for (int i = 1; i <= table.usedSlots(); ++i) {
        const int parent = table.block(i).parent;
        FUZZ_CHECK(parent >= 0 && parent <= table.usedSlots() && parent != i);
    }
    FUZZ_CHECK(first.repairs.isEmpty() == repairMessage(QStringLiteral("x"), first.repairs).isEmpty());

    // Whatever Save lets through reads back as the same analysis, field by field.
    if (!unkeepableTextMessage(first.analysis, QLocale::c()).isEmpty())
        return 0;
    const Analysis &a = first.analysis;
    const ReadOutcome second = parseAnalysisText(decode1252(writeAnalysis(a, QLocale::c())), QLocale::c());
    const Analysis &b = second.analysis;
    FUZZ_CHECK(second.ok);
    FUZZ_CHECK(a.description == b.description && a.email == b.email && a.office == b.office);
    FUZZ_CHECK(a.table.usedSlots() == b.table.usedSlots());
    for (int i = 1; i <= a.table.usedSlots(); ++i) {
        const size_t s = size_t(i);
        FUZZ_CHECK(a.table.block(s).active == b.table.block(s).active);
        FUZZ_CHECK(a.table.block(s).parent == b.table.block(s).parent);
        FUZZ_CHECK(singleNumberText(a.table.block(s).x, QLocale::c()) ==
                   singleNumberText(b.table.block(s).x, QLocale::c()));
        FUZZ_CHECK(singleNumberText(a.table.block(s).y, QLocale::c()) ==
                   singleNumberText(b.table.block(s).y, QLocale::c()));
        FUZZ_CHECK(a.table.block(s).caption == b.table.block(s).caption);
        FUZZ_CHECK(a.table.block(s).notes == b.table.block(s).notes);
        FUZZ_CHECK(a.table.block(s).category == b.table.block(s).category);
    }
    return 0;
}

#include "files/analysis_reader.h"

#include "files/codepage.h"
#include "files/number_text.h"
#include "files/ordinary_file.h"
#include "files/paths.h"
#include "files/xml_get.h"

#include <QDir>

#include <array>

namespace tessik {

namespace {

constexpr int kListedRepairs = 10;
constexpr qsizetype kQuotedLength = 30;

// The offending text as the user can recognise it, short enough for a message box.
QString quoted(const QString &text)
{
    // Only the start is shown, so only the start is looked at: the text may be megabytes.
    QString shown = text.left(4 * kQuotedLength).simplified();
    if (shown.size() > kQuotedLength)
        shown = shown.left(kQuotedLength) + QLatin1String("...");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString faultText(NumberFault fault, const QString &text)
{
    switch (fault) {
    case NumberFault::Empty:
        return QStringLiteral("is missing or empty");
    case NumberFault::NotANumber:
        return quoted(text) + QLatin1String(" is not a number");
    case NumberFault::OutOfRange:
        return quoted(text) + QLatin1String(" is out of range");
    case NumberFault::None:
        break;
    }
    return QString();
}

QString blockRepair(int slot, const QString &what, const QString &fault, const QString &result)
{
    return QStringLiteral("Block %1: %2 %3; %4.").arg(slot).arg(what, fault, result);
}

class BlockReader {
public:
    BlockReader(const QString &block, int slot, const QLocale &locale, QStringList &repairs)
        : m_block(block), m_slot(slot), m_locale(locale), m_repairs(repairs)
    {
    }

    QString text(const QString &tag) { return XMLget(m_block, tag, m_position); }

    std::int16_t integer(const QString &tag, const QString &what, const QString &result)
    {
        const QString raw = text(tag);
        const IntegerFromText number = integerFromText(raw, m_locale);
        if (number.fault != NumberFault::None)
            m_repairs << blockRepair(m_slot, what, faultText(number.fault, raw), result);
        return number.value;
    }

    float single(const QString &tag, const QString &what)
    {
        const QString raw = text(tag);
        const SingleFromText number = singleFromText(raw, m_locale);
        if (number.fault != NumberFault::None)
            m_repairs << blockRepair(m_slot, what, faultText(number.fault, raw), QStringLiteral("it is now 0"));
        return number.value;
    }

private:
    const QString &m_block;
    const int m_slot;
    const QLocale &m_locale;
    QStringList &m_repairs;
    qsizetype m_position = 1; // carried from element to element, never reset within the block
};

const QString kNoParent = QStringLiteral("it is now 0, no parent");

void checkParents(BlockTable &table, std::array<QStringList, kMaxBlocks + 1> &repairs)
{
    const int count = table.usedSlots();
    for (int slot = 1; slot <= count; ++slot) {
        const int parent = table.block(slot).parent;
        if (parent == 0)
            continue;
        if (parent == slot)
            repairs[slot]
                << QStringLiteral("Block %1: the block names itself as its parent; %2.").arg(slot).arg(kNoParent);
        else if (parent < 0 || parent > count)
            repairs[slot] << QStringLiteral("Block %1: the parent %2 names no block of the file; %3.")
                                 .arg(slot)
                                 .arg(parent)
                                 .arg(kNoParent);
        else
            continue;
        table.link(slot, 0);
    }
}

ReadOutcome failed(const QString &reason)
{
    ReadOutcome outcome;
    outcome.reason = reason;
    return outcome;
}

const QString kAnalysisOpening = QStringLiteral("<analysis>");
const QString kBlockOpening = QStringLiteral("<block>");

struct AnalysisElement {
    QString content;
    bool cutShort = false; // the opening tag is there, the closing one is not
};

AnalysisElement findAnalysisElement(const QString &text)
{
    AnalysisElement element;
    qsizetype start = 1;
    element.content = XMLget(text, QStringLiteral("analysis"), start);
    if (start == 1) {
        // A file cut short (a full disk, a broken copy) has lost its closing tag. Opening it as
        // empty would invite a save that destroys what is left, so read what follows the opening tag.
        const qsizetype open = text.indexOf(kAnalysisOpening);
        if (open >= 0) {
            element.content = text.mid(open + kAnalysisOpening.size());
            element.cutShort = true;
        }
    }
    return element;
}

// Each header element is searched from the start of the analysis element, so they may stand
// anywhere in it, in any order.
void readHeader(const QString &A, Analysis &analysis)
{
    const auto header = [&A](const QString &tag) {
        qsizetype start = 1;
        return XMLget(A, tag, start);
    };
    analysis.description = header(QStringLiteral("description"));
    analysis.email = header(QStringLiteral("email"));
    analysis.office = header(QStringLiteral("office"));
}

Block readBlock(const QString &B, int n, const QLocale &locale, QStringList &repairs)
{
    BlockReader reader(B, n, locale, repairs);
    Block block;
    // The elements are read in the file's order: each search goes on from where the last one ended.
    block.active = reader.integer(QStringLiteral("active"), QStringLiteral("the live mark"),
                                  QStringLiteral("it is now 0, a free slot"));
    block.parent = reader.integer(QStringLiteral("parent"), QStringLiteral("the parent"), kNoParent);
    block.x = reader.single(QStringLiteral("x"), QStringLiteral("the x position"));
    block.y = reader.single(QStringLiteral("y"), QStringLiteral("the y position"));
    block.caption = reader.text(QStringLiteral("text"));
    block.notes = reader.text(QStringLiteral("notes"));
    block.category = reader.text(QStringLiteral("category"));
    return block;
}

// How the list of block elements ended, besides its blocks.
struct BlockListEnd {
    int leftOut;        // blocks past the hundredth
    bool unclosedBlock; // the list ended at an opening tag without its closing tag
};

BlockListEnd readBlocks(const QString &A, const QLocale &locale, BlockTable &table,
                        std::array<QStringList, kMaxBlocks + 1> &repairs)
{
    int leftOut = 0;
    table.clear();
    qsizetype P = 1;
    for (;;) {
        const qsizetype before = P;
        const QString B = XMLget(A, QStringLiteral("block"), P);
        if (B.isEmpty() && P == before)
            return {leftOut, A.indexOf(kBlockOpening, P - 1) >= 0};
        if (table.usedSlots() == kMaxBlocks) {
            ++leftOut; // counted with the same rule that ends the list, so the count is honest
            continue;
        }
        const int n = table.usedSlots() + 1;
        // An empty element keeps its place as a free slot, so the parents named by the blocks
        // after it stay right.
        if (B.isEmpty())
            repairs[n] << QStringLiteral("Block %1: the block element is empty; it is now a free slot.").arg(n);
        table.appendSlot(B.isEmpty() ? Block{} : readBlock(B, n, locale, repairs[n]));
    }
}

QStringList fileRepairs(const AnalysisElement &element, const BlockListEnd &end, int blockCount)
{
    QStringList repairs;
    if (element.cutShort)
        repairs << QStringLiteral("The file ends without its closing </analysis> tag: it may have been cut "
                                  "short. What it holds was read.");
    // The list also ends at a block whose closing tag is missing; say so, for its data is not shown.
    if (end.unclosedBlock)
        repairs << QStringLiteral("Block %1 has no closing </block> tag; it and anything after it were left out.")
                       .arg(blockCount + 1);
    if (end.leftOut > 0)
        repairs << QStringLiteral("The file holds %1 blocks; only the first %2 were read.")
                       .arg(kMaxBlocks + end.leftOut)
                       .arg(kMaxBlocks);
    return repairs;
}

} // namespace

ReadOutcome parseAnalysisText(const QString &text, const QLocale &locale)
{
    // A file without the analysis element is some other file; opening it as an empty analysis
    // would invite a save over it.
    if (!text.contains(kAnalysisOpening))
        return failed(QStringLiteral("The file holds no Root Cause Analysis: it has no <analysis> element."));
    ReadOutcome outcome;
    outcome.ok = true;
    const AnalysisElement element = findAnalysisElement(text);
    readHeader(element.content, outcome.analysis);

    BlockTable &table = outcome.analysis.table;
    std::array<QStringList, kMaxBlocks + 1> blockRepairs;
    const BlockListEnd end = readBlocks(element.content, locale, table, blockRepairs);
    checkParents(table, blockRepairs);

    outcome.repairs = fileRepairs(element, end, table.usedSlots());
    for (int slot = 1; slot <= table.usedSlots(); ++slot)
        outcome.repairs << blockRepairs[slot];
    return outcome;
}

ReadOutcome readAnalysisFile(const QString &path, const QLocale &locale)
{
    return readAnalysisFile(path, AnalysisEncoding::CodePage, locale);
}

ReadOutcome readAnalysisFile(const QString &path, AnalysisEncoding encoding, const QLocale &locale)
{
    // A pipe or a device would block or never end; only an ordinary file is read.
    const FileBytes read = readOrdinaryFile(path, kMaxAnalysisFileBytes);
    if (read.tooLarge)
        return failed(tooLargeReason(read.size));
    if (!read.ok)
        return failed(read.reason);
    return readAnalysisBytes(read.bytes, encoding, locale);
}

ReadOutcome readAnalysisBytes(const QByteArray &bytes, AnalysisEncoding encoding, const QLocale &locale)
{
    ReadOutcome outcome =
        parseAnalysisText(encoding == AnalysisEncoding::Utf8 ? QString::fromUtf8(bytes) : decode1252(bytes), locale);
    if (outcome.ok)
        outcome.stamp = FileStamp::of(bytes);
    return outcome;
}

QString notAnOrdinaryFileReason(bool isFolder)
{
    return isFolder ? QStringLiteral("This is a folder, not a file.") : QStringLiteral("This is not an ordinary file.");
}

QString tooLargeReason(qint64 bytes)
{
    return QStringLiteral("The file is too large for an analysis file (%1 MB; at most %2 MB are read).")
        .arg(bytes / (1024 * 1024))
        .arg(kMaxAnalysisFileBytes / (1024 * 1024));
}

QString readFailureMessage(const QString &path, const QString &reason)
{
    return fileProblemMessage(QStringLiteral("The Root Cause Analysis could not be read from this file:"), path,
                              reason);
}

QString repairMessage(const QString &path, const QStringList &repairs)
{
    if (repairs.isEmpty())
        return QString();
    QString message = QStringLiteral("The file") + kLineBreak + QDir::toNativeSeparators(shownFileName(path)) +
                      kLineBreak + QStringLiteral("had faults that were repaired while reading:") + kLineBreak;
    const qsizetype listed = std::min<qsizetype>(repairs.size(), kListedRepairs);
    for (qsizetype i = 0; i < listed; ++i)
        message += kLineBreak + repairs[i];
    if (repairs.size() > listed)
        message += kLineBreak + QStringLiteral("... and %1 more").arg(repairs.size() - listed);
    message += kLineBreak + kLineBreak + QStringLiteral("The file itself is unchanged until the analysis is saved.");
    return message;
}

} // namespace tessik

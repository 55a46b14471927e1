#include "files/round_trip_check.h"

#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"

#include <vector>

namespace tessik {

namespace {

const char *const kElementNames[] = {"analysis", "description", "email", "office", "block", "id",      "active",
                                     "parent",   "x",           "y",     "text",   "notes", "category"};

// The first tag of the layout that the text holds, or empty.
QString layoutTagIn(const QString &text)
{
    qsizetype first = -1;
    QString found;
    for (const char *name : kElementNames) {
        for (const QString &tag :
             {QStringLiteral("<%1>").arg(QLatin1String(name)), QStringLiteral("</%1>").arg(QLatin1String(name))}) {
            const qsizetype at = text.indexOf(tag);
            if (at >= 0 && (first < 0 || at < first)) {
                first = at;
                found = tag;
            }
        }
    }
    return found;
}

// One text of the analysis, named as the user knows it, with the verb that goes with the name.
struct TextField {
    QString what;
    QString Analysis::*header = nullptr;
    QString Block::*blockText = nullptr;
    int slot = 0;
    QString holds = QStringLiteral("holds");

    QString holding(const QString &held) const { return what + QLatin1Char(' ') + holds + QLatin1Char(' ') + held; }

    const QString &in(const Analysis &analysis) const
    {
        return header ? analysis.*header : analysis.table.block(slot).*blockText;
    }
    void set(Analysis &analysis, const QString &text) const
    {
        if (header) {
            analysis.*header = text;
            return;
        }
        Block block = analysis.table.block(slot);
        block.*blockText = text;
        analysis.table.setBlock(slot, block);
    }
};

// A caption as a message quotes it: on one line, and not so long that the message is all caption.
QString quotedCaption(const QString &caption)
{
    constexpr qsizetype kLongest = 40;
    const QString line = caption.simplified();
    return QLatin1Char('"') + (line.size() > kLongest ? line.left(kLongest) + QChar(0x2026) : line) + QLatin1Char('"');
}

// A block as the user knows it: by its caption. The slot number is nowhere to be seen.
QString blockName(const Block &block)
{
    if (!block.active)
        return QStringLiteral("a deleted block");
    if (block.caption.simplified().isEmpty())
        return QStringLiteral("a block without a caption");
    return QStringLiteral("the block ") + quotedCaption(block.caption);
}

// Every text of the analysis in the order the file holds them.
std::vector<TextField> textFields(const Analysis &analysis)
{
    std::vector<TextField> fields{{QStringLiteral("The event description"), &Analysis::description},
                                  {QStringLiteral("The e-mail contact"), &Analysis::email},
                                  {QStringLiteral("The office"), &Analysis::office}};
    for (int i = 1; i <= analysis.table.usedSlots(); ++i) {
        const Block &block = analysis.table.block(i);
        // The caption is named by itself; the checks go in file order, so a caption named in
        // a later text is one the file can hold.
        fields.push_back({block.caption.simplified().isEmpty()
                              ? QStringLiteral("The caption of ") + blockName(block)
                              : QStringLiteral("The caption ") + quotedCaption(block.caption),
                          nullptr, &Block::caption, i});
        fields.push_back(
            {QStringLiteral("The notes of ") + blockName(block), nullptr, &Block::notes, i, QStringLiteral("hold")});
        fields.push_back({QStringLiteral("The category of ") + blockName(block), nullptr, &Block::category, i});
    }
    return fields;
}

bool readsBack(const Analysis &analysis, const QLocale &locale)
{
    const QByteArray written = writeAnalysis(analysis, locale);
    const ReadOutcome back = parseAnalysisText(decode1252(written), locale);
    return back.ok && writeAnalysis(back.analysis, locale) == written;
}

const QString kNotSaved = QStringLiteral("The Root Cause Analysis was not saved.\r\n\r\n");

QString unencodableMessage(const Analysis &analysis)
{
    for (const TextField &field : textFields(analysis)) {
        const QString &text = field.in(analysis);
        if (const qsizetype at = firstUnencodable(text); at >= 0)
            return kNotSaved + field.holding(describeCharacterAt(text, at)) +
                   QStringLiteral(", a character an analysis file cannot hold. Change that text and save again.");
    }
    return QString();
}

// The texts go back in one at a time, in file order: the first one that makes the analysis
// read back differently is the one that breaks it. A tag that changes nothing is not blamed.
QString culpritOf(const Analysis &analysis, const QLocale &locale)
{
    const std::vector<TextField> fields = textFields(analysis);
    Analysis trial = analysis;
    for (const TextField &field : fields)
        field.set(trial, QString());
    for (const TextField &field : fields) {
        const QString &text = field.in(analysis);
        field.set(trial, text);
        // Only a tag can make a text read back differently.
        if (!text.contains(QLatin1Char('<')) || readsBack(trial, locale))
            continue;
        const QString tag = layoutTagIn(text);
        return field.holding(tag.isEmpty() ? QStringLiteral("a tag of the file's layout")
                                           : QLatin1Char('"') + tag + QLatin1Char('"'));
    }
    return QStringLiteral("A text of the analysis holds a tag of the file's layout");
}

} // namespace

QString unkeepableTextMessage(const Analysis &analysis, const QLocale &locale)
{
    if (const QString message = unencodableMessage(analysis); !message.isEmpty())
        return message;
    if (readsBack(analysis, locale))
        return QString();
    return kNotSaved + QStringLiteral("%1, which an analysis file cannot keep: the file would not read back as it "
                                      "is. Change that text and save again.")
                           .arg(culpritOf(analysis, locale));
}

} // namespace tessik

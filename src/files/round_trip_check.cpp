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

// One text of the analysis, named as the user knows it.
struct TextField {
    QString what;
    QString Analysis::*header = nullptr;
    QString Block::*blockText = nullptr;
    int slot = 0;

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

// Every text of the analysis in the order the file holds them.
std::vector<TextField> textFields(const Analysis &analysis)
{
    std::vector<TextField> fields{{QStringLiteral("The event description"), &Analysis::description},
                                  {QStringLiteral("The e-mail contact"), &Analysis::email},
                                  {QStringLiteral("The office"), &Analysis::office}};
    for (int i = 1; i <= analysis.table.usedSlots(); ++i) {
        fields.push_back({QStringLiteral("The caption of block %1").arg(i), nullptr, &Block::caption, i});
        fields.push_back({QStringLiteral("The notes of block %1").arg(i), nullptr, &Block::notes, i});
        fields.push_back({QStringLiteral("The category of block %1").arg(i), nullptr, &Block::category, i});
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
            return kNotSaved + QStringLiteral("%1 holds %2, a character an analysis file cannot hold. "
                                              "Change that text and save again.")
                                   .arg(field.what, describeCharacterAt(text, at));
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
        return tag.isEmpty() ? field.what + QStringLiteral(" holds a tag of the file's layout")
                             : QStringLiteral("%1 holds \"%2\"").arg(field.what, tag);
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

#include "files/round_trip_check.h"

#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"

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

QString describeCulprit(const Analysis &analysis)
{
    const struct {
        QString what;
        const QString &text;
    } headers[] = {{QStringLiteral("The event description"), analysis.description},
                   {QStringLiteral("The e-mail contact"), analysis.email},
                   {QStringLiteral("The office"), analysis.office}};
    for (const auto &header : headers)
        if (const QString tag = layoutTagIn(header.text); !tag.isEmpty())
            return QStringLiteral("%1 holds \"%2\"").arg(header.what, tag);
    const BlockTable &table = analysis.table;
    for (int i = 1; i <= table.BlockCount; ++i) {
        const struct {
            const char *what;
            const QString &text;
        } texts[] = {{"caption", table.BlockText[size_t(i)]},
                     {"notes", table.BlockNotes[size_t(i)]},
                     {"category", table.BlockCategory[size_t(i)]}};
        for (const auto &field : texts)
            if (const QString tag = layoutTagIn(field.text); !tag.isEmpty())
                return QStringLiteral("The %1 of block %2 holds \"%3\"").arg(QLatin1String(field.what)).arg(i).arg(tag);
    }
    return QStringLiteral("A text of the analysis holds a tag of the file's layout");
}

} // namespace

QString unkeepableTextMessage(const Analysis &analysis, const QLocale &locale)
{
    const QByteArray written = writeAnalysis(analysis, locale);
    const ReadOutcome back = parseAnalysisText(decode1252(written), locale);
    if (back.ok && writeAnalysis(back.analysis, locale) == written)
        return QString();
    return QStringLiteral("The Root Cause Analysis was not saved.\r\n\r\n%1, which an analysis file cannot keep: "
                          "the file would not read back as it is. Change that text and save again.")
        .arg(describeCulprit(analysis));
}

} // namespace tessik

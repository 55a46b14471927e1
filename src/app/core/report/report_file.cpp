#include "app/core/report/report_file.h"

#include "app/core/command_line.h"
#include "app/core/picture_export.h"
#include "app/core/report/html.h"
#include "app/core/report/outline.h"
#include "app/core/report/pdf.h"
#include "app/core/report/text_document.h"
#include "files/safe_write.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTextDocument>
#include <QTextDocumentWriter>

namespace tessik {

namespace {

struct FormatName {
    ReportFormat format;
    const char *ending;
    const char *description;
};

const FormatName kFormats[] = {{ReportFormat::Pdf, ".pdf", "PDF document"},
                               {ReportFormat::Html, ".html", "Web page"},
                               {ReportFormat::Odt, ".odt", "OpenDocument text"}};

EncodedFile encodePdf(const ReportOutline &outline, const QLocale &locale)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const IoResult written = writeReportPdf(outline, locale, buffer);
    return written.ok ? EncodedFile::of(bytes) : EncodedFile::failure(written.reason);
}

EncodedFile encodeOdt(const ReportOutline &outline)
{
    const std::unique_ptr<QTextDocument> document = reportDocument(outline, ReportPictureMode::Images);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(document.get()))
        return EncodedFile::failure(QStringLiteral("The OpenDocument text could not be made."));
    return EncodedFile::of(bytes);
}

} // namespace

std::optional<ReportFormat> reportFormatFor(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    for (const FormatName &each : kFormats)
        if (name.endsWith(QLatin1String(each.ending), Qt::CaseInsensitive))
            return each.format;
    return std::nullopt;
}

QString reportFileFilter()
{
    QStringList parts;
    for (const FormatName &each : kFormats)
        parts << QStringLiteral("%1 (*%2)|*%2").arg(QLatin1String(each.description), QLatin1String(each.ending));
    return parts.join(QLatin1Char('|'));
}

EncodedFile encodeReport(ReportFormat format, const ReportInput &input)
{
    const ReportOutline outline = reportOutline(input);
    switch (format) {
    case ReportFormat::Pdf:
        return encodePdf(outline, input.locale);
    case ReportFormat::Html: {
        const QByteArray html = reportHtml(outline);
        if (html.isEmpty())
            return EncodedFile::failure(QStringLiteral("The report's pictures could not be drawn."));
        return EncodedFile::of(html);
    }
    case ReportFormat::Odt:
        return encodeOdt(outline);
    }
    return EncodedFile::failure(QString());
}

IoResult writeReport(const QString &path, const ReportInput &input)
{
    const std::optional<ReportFormat> format = reportFormatFor(path);
    if (!format)
        return IoResult::failure(QStringLiteral("The name must end in .pdf, .html or .odt, which chooses the format."));
    // Checked first, so that a report is not made for a place it cannot go.
    if (const QString reason = describeUnwritablePath(path); !reason.isEmpty())
        return IoResult::failure(reason);
    const EncodedFile report = encodeReport(*format, input);
    if (!report.ok)
        return report;
    return writeFileSafely(path, report.bytes);
}

QString reportFailureMessage(const QString &path, const QString &reason)
{
    return fileProblemMessage(QStringLiteral("The report could not be saved as this file:"), path, reason);
}

int runReport(const CommandLine &command, QTextStream &errors)
{
    const std::optional<Analysis> analysis = readCommandLineAnalysis(command.file, errors);
    if (!analysis)
        return kExitFailure;
    const QFileInfo file(command.file);
    const ReportInput input{*analysis,       DiagramColours(),    startupMapping(),
                            file.fileName(), file.lastModified(), QDateTime::currentDateTime()};
    return exitStatusOfWrite(QStringLiteral("report"), command.reportTo, writeReport(command.reportTo, input), errors);
}

} // namespace tessik

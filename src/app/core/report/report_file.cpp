#include "app/core/report/report_file.h"

#include "app/core/command_line.h"
#include "app/core/picture_export.h"
#include "app/core/report/html.h"
#include "app/core/report/outline.h"
#include "app/core/report/pdf.h"
#include "app/core/report/text_document.h"
#include "files/analysis_reader.h"
#include "files/safe_write.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextStream>

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

EncodedReport encoded(const QByteArray &bytes)
{
    EncodedReport report;
    report.ok = true;
    report.bytes = bytes;
    return report;
}

EncodedReport failed(const QString &reason)
{
    EncodedReport report;
    report.reason = reason;
    return report;
}

EncodedReport encodePdf(const ReportOutline &outline, const QLocale &locale)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const IoResult written = writeReportPdf(outline, locale, buffer);
    return written.ok ? encoded(bytes) : failed(written.reason);
}

EncodedReport encodeOdt(const ReportOutline &outline)
{
    const std::unique_ptr<QTextDocument> document = reportDocument(outline, ReportPictureMode::Images);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(document.get()))
        return failed(QStringLiteral("The OpenDocument text could not be made."));
    return encoded(bytes);
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

EncodedReport encodeReport(ReportFormat format, const ReportInput &input)
{
    const ReportOutline outline = reportOutline(input);
    switch (format) {
    case ReportFormat::Pdf:
        return encodePdf(outline, input.locale);
    case ReportFormat::Html:
        return encoded(reportHtml(outline));
    case ReportFormat::Odt:
        return encodeOdt(outline);
    }
    return failed(QString());
}

IoResult writeReport(const QString &path, const ReportInput &input)
{
    const std::optional<ReportFormat> format = reportFormatFor(path);
    if (!format)
        return IoResult::failure(QStringLiteral("The name must end in .pdf, .html or .odt, which chooses the format."));
    // Checked first, so that a report is not made for a place it cannot go.
    if (const QString reason = describeUnwritablePath(path); !reason.isEmpty())
        return IoResult::failure(reason);
    const EncodedReport report = encodeReport(*format, input);
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
    const QString in = QDir::toNativeSeparators(command.file);
    const ReadOutcome read = readAnalysisFile(command.file);
    if (!read.ok) {
        errors << "tessik: the analysis " << in << " could not be read: " << read.reason << '\n';
        return kExitFailure;
    }
    for (const QString &repair : read.repairs)
        errors << "tessik: " << in << ": repaired while reading: " << repair << '\n';
    const QFileInfo file(command.file);
    const ReportInput input{read.analysis,   DiagramColours(),    startupMapping(),
                            file.fileName(), file.lastModified(), QDateTime::currentDateTime()};
    const IoResult written = writeReport(command.reportTo, input);
    if (!written.ok) {
        errors << "tessik: the report " << QDir::toNativeSeparators(command.reportTo)
               << " could not be written: " << written.reason << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace tessik

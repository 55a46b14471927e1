#pragma once

#include "files/analysis.h"
#include "files/io_result.h"
#include "render/pixel_mapping.h"
#include "render/plot_diagram.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

class QTextStream;

namespace tessik {

struct CommandLine;

enum class ReportFormat { Pdf, Html, Odt };

// The label beside the e-mail box: the at-sign and the organisation's mail domain.
inline const QString kMailDomainLabel = QStringLiteral("@example.org");

// Everything a report shows. The analysis is read, never changed; it must outlive the call.
struct ReportInput {
    const Analysis &analysis;
    DiagramColours colours;             // the view the window shows
    PixelMapping mapping;               // the window's, so boxes and captions look as there
    QString fileName;                   // the analysis file's name; empty when never saved
    std::optional<QDateTime> lastSaved; // when that file was last written
    QDateTime madeAt;                   // when the report is made
    QLocale locale = QLocale::system(); // chooses A4 or Letter for the PDF
    QString mailDomainLabel = kMailDomainLabel;
};

// By the file name's ending, letter case ignored: .pdf, .html or .odt; nothing for any other.
std::optional<ReportFormat> reportFormatFor(const QString &path);

// The file dialog's filter for the three kinds of report, PDF first.
QString reportFileFilter();

// The file dialog's title.
inline const QString kReportDialogTitle = QStringLiteral(" Save a report of the analysis");

// The report's file in memory, in the given format.
EncodedFile encodeReport(ReportFormat format, const ReportInput &input);

// Encodes in the format the path's ending names and writes the file safely: a failure leaves
// any file of that name as it was and no partial file beside it.
IoResult writeReport(const QString &path, const ReportInput &input);

// The message box text for a report that could not be written.
QString reportFailureMessage(const QString &path, const QString &reason);

// The --report run: reads the analysis as Load does and writes its report. Reports on `errors`
// what went wrong or was repaired; returns the exit status.
int runReport(const CommandLine &command, QTextStream &errors);

} // namespace tessik

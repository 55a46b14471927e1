#include "app/core/command_line.h"

#include "app/core/picture_export.h"
#include "app/core/report/report_file.h"
#include "app/core/user_files.h"
#include "files/analysis_reader.h"
#include "files/paths.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cmath>

namespace tessik {

namespace {

const QString kDescription =
    QStringLiteral("Tessik: root cause analysis of an event.\n\n"
                   "With FILE, opens that analysis (*.rca.xml) at start-up.\n"
                   "With --export OUT IN, writes a picture of IN's diagram to OUT without opening a window;\n"
                   "OUT's ending chooses the format: .pdf, .svg or .png.\n"
                   "With --report OUT IN, writes a report of the analysis IN to OUT without opening a window;\n"
                   "OUT's ending chooses the format: .pdf, .html or .odt.");

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help and ends.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Shows the program's version and ends.")};
    QCommandLineOption exportTo{QStringLiteral("export"),
                                QStringLiteral("Writes a picture of the diagram of the analysis IN to OUT."),
                                QStringLiteral("OUT")};
    QCommandLineOption reportTo{QStringLiteral("report"),
                                QStringLiteral("Writes a report of the analysis IN to OUT: PDF, HTML or ODT."),
                                QStringLiteral("OUT")};
    QCommandLineOption scale{QStringLiteral("scale"),
                             QStringLiteral("With --export to a .png: pixels per pixel of the window (default 1)."),
                             QStringLiteral("N")};
};

void describe(QCommandLineParser &parser, const Options &options)
{
    parser.setApplicationDescription(kDescription);
    parser.addOption(options.help);
    parser.addOption(options.version);
    parser.addOption(options.exportTo);
    parser.addOption(options.reportTo);
    parser.addOption(options.scale);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("An analysis to open, or IN with --export or --report."),
                                 QStringLiteral("[FILE]"));
}

QString programName(const QStringList &arguments)
{
    const QString name = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    return name.isEmpty() ? QStringLiteral("tessik") : name;
}

// The parser names the program only once an application object exists; ours is parsed before.
QString usageOf(const QCommandLineParser &parser, const QString &program)
{
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), program);
    return text;
}

CommandLine printing(const QString &text, int exitCode)
{
    CommandLine command;
    command.action = CommandAction::PrintAndEnd;
    command.output = text;
    command.toErrorStream = exitCode != kExitOk;
    command.exitCode = exitCode;
    return command;
}

QString absolute(const QString &path)
{
    return absoluteFilePath(path);
}

// Why the export arguments cannot be used, or empty when they can.
QString exportProblem(const QCommandLineParser &parser, const Options &options, double *scale)
{
    const QStringList files = parser.positionalArguments();
    const QString out = parser.value(options.exportTo);
    if (files.isEmpty())
        return QStringLiteral("--export needs the analysis to draw: --export OUT IN");
    if (out.isEmpty())
        return QStringLiteral("--export needs the name of the picture to write.");
    if (!pictureFormatFor(out))
        return QStringLiteral("%1: the picture's name must end in .pdf, .svg or .png.").arg(out);
    if (!parser.isSet(options.scale))
        return QString();
    if (*pictureFormatFor(out) != PictureFormat::Png)
        return QStringLiteral("--scale is for .png pictures only: PDF and SVG pictures are drawn as lines and text.");
    bool number = false;
    const QString text = parser.value(options.scale);
    *scale = text.toDouble(&number);
    if (!number || !std::isfinite(*scale) || *scale <= 0 || *scale > kMaxExportScale)
        return QStringLiteral("--scale %1: give a number above 0 and at most %2.").arg(text).arg(kMaxExportScale);
    return QString();
}

// Why the report arguments cannot be used, or empty when they can.
QString reportProblem(const QCommandLineParser &parser, const Options &options)
{
    const QString out = parser.value(options.reportTo);
    if (parser.isSet(options.exportTo))
        return QStringLiteral("--report and --export go one at a time.");
    if (parser.isSet(options.scale))
        return QStringLiteral("--scale goes with --export.");
    if (parser.positionalArguments().isEmpty())
        return QStringLiteral("--report needs the analysis to report on: --report OUT IN");
    if (out.isEmpty())
        return QStringLiteral("--report needs the name of the report to write.");
    if (!reportFormatFor(out))
        return QStringLiteral("%1: the report's name must end in .pdf, .html or .odt.").arg(out);
    return QString();
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const QString program = programName(arguments);
    const Options options;
    QCommandLineParser parser;
    describe(parser, options);
    auto usageError = [&](const QString &problem) {
        return printing(program + QStringLiteral(": ") + problem + QStringLiteral("\n\n") + usageOf(parser, program),
                        kExitUsage);
    };

    if (!parser.parse(arguments.isEmpty() ? QStringList{program} : arguments))
        return usageError(parser.errorText());
    if (parser.isSet(options.help))
        return printing(usageOf(parser, program), kExitOk);
    if (parser.isSet(options.version))
        return printing(QStringLiteral("Tessik %1\n").arg(ProgramVersion), kExitOk);

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(QStringLiteral("Only one analysis at a time: %1").arg(files.join(QStringLiteral(", "))));

    CommandLine command;
    command.file = absolute(files.value(0));
    if (parser.isSet(options.reportTo)) {
        if (const QString problem = reportProblem(parser, options); !problem.isEmpty())
            return usageError(problem);
        command.action = CommandAction::Report;
        command.reportTo = absolute(parser.value(options.reportTo));
        return command;
    }
    if (!parser.isSet(options.exportTo)) {
        if (parser.isSet(options.scale))
            return usageError(QStringLiteral("--scale goes with --export."));
        return command;
    }
    if (const QString problem = exportProblem(parser, options, &command.scale); !problem.isEmpty())
        return usageError(problem);
    command.action = CommandAction::Export;
    command.exportTo = absolute(parser.value(options.exportTo));
    return command;
}

std::optional<Analysis> readCommandLineAnalysis(const QString &path, QTextStream &errors)
{
    const QString shown = QDir::toNativeSeparators(path);
    const ReadOutcome read = readAnalysisFile(path);
    if (!read.ok) {
        errors << "tessik: the analysis " << shown << " could not be read: " << read.reason << '\n';
        return std::nullopt;
    }
    for (const QString &repair : read.repairs)
        errors << "tessik: " << shown << ": repaired while reading: " << repair << '\n';
    return read.analysis;
}

int exitStatusOfWrite(const QString &what, const QString &path, const IoResult &written, QTextStream &errors)
{
    if (written.ok)
        return kExitOk;
    errors << "tessik: the " << what << ' ' << QDir::toNativeSeparators(path)
           << " could not be written: " << written.reason << '\n';
    return kExitFailure;
}

} // namespace tessik

#pragma once

#include "files/analysis.h"
#include "files/io_result.h"

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace tessik {

// What the program was asked to do on its command line.
enum class CommandAction {
    OpenWindow,  // the window, with `file` opened at start-up when it is given
    Export,      // a picture of `file`'s diagram written to `exportTo`, without a window
    Report,      // a report of `file` written to `reportTo`, without a window
    PrintAndEnd, // --help, --version or a wrong command line: print `output` and end
};

// Exit statuses: a picture that could not be made is a failure; a command line that cannot be
// understood is a usage error, as with other command-line tools.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A --scale above this would make pictures of hundreds of megabytes.
inline constexpr double kMaxExportScale = 16.0;

struct CommandLine {
    CommandAction action = CommandAction::OpenWindow;
    QString file;     // the analysis to open or draw, as an absolute path; may be empty
    QString exportTo; // the picture to write, as an absolute path
    QString reportTo; // the report to write, as an absolute path
    double scale = 1.0;
    QString output; // what to print before ending
    bool toErrorStream = false;
    int exitCode = kExitOk;
};

// Reads the command line (the program's name first). Knows [FILE], --export OUT IN,
// --scale N, --report OUT IN, --help and --version; anything else ends with the usage and kExitUsage.
// Relative paths are taken from the current folder.
CommandLine parseCommandLine(const QStringList &arguments);

// The analysis a run without a window works on, read as Load reads it: a damaged file is used as
// Load would show it. What went wrong or was repaired is said on `errors`; nothing comes back
// when the file cannot be read.
std::optional<Analysis> readCommandLineAnalysis(const QString &path, QTextStream &errors);
// The exit status of a run that wrote `what` ("picture", "report") to `path`; a failure is said on
// `errors`.
int exitStatusOfWrite(const QString &what, const QString &path, const IoResult &written, QTextStream &errors);

} // namespace tessik

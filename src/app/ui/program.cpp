#include "app/ui/program.h"

#include "app/core/command_line.h"
#include "app/core/picture_export.h"
#include "app/core/report/report_file.h"
#include "files/paths.h"
#include "render/fonts.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

namespace tessik {

Program::Program() : m_window(m_platform)
{
    m_platform.setDialogParent(&m_window);
}

void Program::start(const QString &file)
{
    m_window.show();
    if (!file.isEmpty())
        m_window.loadFile(file);
    m_window.offerRecovery();
}

QStringList commandLineArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << fileNameFromBytes(argv[i]);
    return arguments;
}

int runProgram(int argc, char *argv[])
{
    const CommandLine command = parseCommandLine(commandLineArguments(argc, argv));
    if (command.action == CommandAction::PrintAndEnd) {
        QTextStream(command.toErrorStream ? stderr : stdout) << command.output;
        return command.exitCode;
    }
    // The command line is ours alone: Qt sees only the program's name, so no file name is
    // taken for one of Qt's own options.
    int qtArgc = 1;
    if (command.action == CommandAction::Export || command.action == CommandAction::Report) {
        // A picture or a report needs no screen: without a chosen platform, none is looked for.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(qtArgc, argv);
        nameArialStandIn();
        QTextStream errors(stderr);
        return command.action == CommandAction::Report ? runReport(command, errors) : runExport(command, errors);
    }
    QApplication app(qtArgc, argv);
    nameArialStandIn();
    // Ties the window to the installed desktop entry, whose icon a Wayland desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSIK_APP_ID));
    Program program;
    program.start(command.file);
    return app.exec();
}

} // namespace tessik

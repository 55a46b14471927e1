#include "app/core/command_line.h"
#include "app/core/picture_export.h"
#include "app/ui/frm_kelvane.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const tessik::CommandLine command = tessik::parseCommandLine(arguments);
    if (command.action == tessik::CommandAction::PrintAndEnd) {
        QTextStream(command.toErrorStream ? stderr : stdout) << command.output;
        return command.exitCode;
    }
    // The command line is ours alone: Qt sees only the program's name, so no file name is
    // taken for one of Qt's own options.
    int qtArgc = 1;
    if (command.action == tessik::CommandAction::Export) {
        // A picture needs no screen: without a chosen platform, none is looked for.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(qtArgc, argv);
        QTextStream errors(stderr);
        return tessik::runExport(command, errors);
    }
    QApplication app(qtArgc, argv);
    // Ties the window to the installed desktop entry, whose icon a Wayland desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSIK_APP_ID));
    tessik::QtPlatform platform;
    tessik::frmKelvane window(platform);
    platform.setDialogParent(&window);
    window.show();
    if (!command.file.isEmpty())
        window.loadFile(command.file);
    return app.exec();
}

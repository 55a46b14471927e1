#pragma once

#include "app/ui/main_window.h"
#include "platform/qt/qt_platform.h"

namespace tessik {

// The program as the desktop starts it: the platform's real services and the one window.
class Program {
public:
    Program();

    QWidget &window() { return m_window; }
    // Shows the window, opens the file given at start-up (none when empty), then offers what a
    // run that did not end normally left behind: restoring it replaces a file that is on disk
    // anyway, never the other way round.
    void start(const QString &file = QString());

private:
    QtPlatform m_platform;
    MainWindow m_window;
};

// The command line as text; a file's name keeps its bytes, valid text or not (fileNameFromBytes).
QStringList commandLineArguments(int argc, char *argv[]);

// The whole run, for main(): reads the command line, then either prints, exports a picture, or
// builds the program, starts it and runs the event loop.
int runProgram(int argc, char *argv[]);

} // namespace tessik

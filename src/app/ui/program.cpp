#include "app/ui/program.h"

#include <QApplication>

namespace tessik {

Program::Program() : m_window(m_platform)
{
    m_platform.setDialogParent(&m_window);
}

void Program::start()
{
    m_window.show();
    m_window.offerRecovery();
}

int runProgram(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Program program;
    program.start();
    return app.exec();
}

} // namespace tessik

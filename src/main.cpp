#include "app/ui/frm_kelvane.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Ties the window to the installed desktop entry, whose icon a Wayland desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSIK_APP_ID));
    tessik::QtPlatform platform;
    tessik::frmKelvane window(platform);
    platform.setDialogParent(&window);
    window.show();
    return app.exec();
}

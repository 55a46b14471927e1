#include "app/ui/frm_kelvane.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Ties the window to the installed desktop entry, whose icon a Wayland desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSIK_APP_ID));
    tessik::QtPlatform platform;
    tessik::frmKelvane window(platform);
    platform.setDialogParent(&window);
    window.show();
    // The desktop entry passes the analysis a user opened in a file manager.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.openGivenFile(QDir::toNativeSeparators(QFileInfo(arguments[1]).absoluteFilePath()));
    return app.exec();
}

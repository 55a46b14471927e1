#include "app/ui/frm_kelvane.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tessik::QtPlatform platform;
    tessik::frmKelvane window(platform);
    platform.setDialogParent(&window);
    window.show();
    return app.exec();
}

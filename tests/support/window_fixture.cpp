#include "support/window_fixture.h"

#include <QTest>

namespace tessik::test {

frmKelvane &WindowFixture::start()
{
    window = std::make_unique<frmKelvane>(platform);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("window was not exposed");
    return *window;
}

} // namespace tessik::test
